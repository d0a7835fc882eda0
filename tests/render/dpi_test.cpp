// The panel at other DPIs than the test display's: laid out anew, and every length it draws with
// scaled by DPI / 96.
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>

#include "config/keyschema.h"
#include "config/theme.h"
#include "render/layout.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/panelfixture.h"

using namespace painttest;

namespace {

int Scaled(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), 96); }

LOGFONTA MadeFont(PANEL_FONT font)
{
    LOGFONTA made = {};
    EXPECT_TRUE(GetObjectA(PanelRes.fonts[font].hfont, sizeof made, &made));
    return made;
}

// The width of a plain pen, or of an extended one (the grid's).
int PenWidth(int pen)
{
    const HPEN handle = PanelRes.pens[pen].hpen;
    if (GetObjectType(handle) == OBJ_EXTPEN) {
        struct {
            EXTLOGPEN pen;
            DWORD pattern[4];
        } made = {};
        EXPECT_TRUE(GetObjectA(handle, sizeof made, &made));
        return static_cast<int>(made.pen.elpWidth);
    }
    LOGPEN plain = {};
    EXPECT_TRUE(GetObjectA(handle, sizeof plain, &plain));
    return plain.lopnWidth.x;
}

class RenderAtDpi : public PanelTest {};

}  // namespace

// Every pixel key of the theme reaches the panel scaled, each through the object or length it makes;
// a key the test cannot find in the panel fails it, as does a build that scales only some.
TEST_F(RenderAtDpi, EveryPixelKeyOfTheThemeIsScaledWhereItIsDrawn)
{
    Theme.Font.Title.lfHeight = -16;
    Theme.Font.Frame.lfHeight = -13;
    Theme.Font.Label.lfHeight = -17;
    Theme.Font.Label.lfWidth = 7;
    Theme.Font.Value.lfHeight = 15;
    Theme.Unit.Font.lfHeight = -11;
    Theme.Shadow.Offset = 3;
    Theme.Unit.Offset = 5;
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        Theme.Trace[trace].Width = trace % 6;
    const struct {
        const void* field;
        PANEL_FONT font;
    } fonts[] = {{&Theme.Font.Title, FONT_TITLE}, {&Theme.Font.Frame, FONT_FRAME}, {&Theme.Font.Label, FONT_LABEL},
                 {&Theme.Font.Value, FONT_VALUE}, {&Theme.Unit.Font, FONT_UNIT}};

    RebuildAt(96);
    const SIZE base = {PanelRes.clientW, PanelRes.clientH};
    for (UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        RebuildAt(dpi);
        const PANELMETRICS metrics = PanelMetrics();
        int keys = 0;
        for (const KEYSCHEMA& key : ThemeKeys()) {
            if (!key.pixels)
                continue;
            ++keys;
            SCOPED_TRACE(std::string(key.section) + " " + key.key);
            const int number = key.type == KEY_SIGNED ? *static_cast<const int*>(key.field) : 0;
            bool found = false;
            for (const auto& font : fonts) {
                if (font.field != key.field)
                    continue;
                const LOGFONTA& theme = *static_cast<const LOGFONTA*>(key.field);
                EXPECT_EQ(Scaled(theme.lfHeight, dpi), MadeFont(font.font).lfHeight);
                EXPECT_EQ(Scaled(theme.lfWidth, dpi), MadeFont(font.font).lfWidth);
                found = true;
            }
            for (int trace = 0; trace < TRACE_COUNT; ++trace) {
                if (key.field != &Theme.Trace[trace].Width)
                    continue;
                // Width 0 is the system's one-pixel pen until a 96-dpi pixel is two.
                const int expected = number ? Scaled(number, dpi) : Scaled(1, dpi) > 1 ? Scaled(1, dpi) : 0;
                EXPECT_EQ(expected, PenWidth(PEN_TRACE_FIRST + trace));
                found = true;
            }
            if (key.field == &Theme.Shadow.Offset)
                EXPECT_EQ(Scaled(number, dpi), metrics.shadowOffset);
            else if (key.field == &Theme.Unit.Offset)
                EXPECT_EQ(Scaled(number, dpi), metrics.unitOffset);
            else if (key.field == &Theme.Grid.Width)  // plays no part: the grid is one 96-dpi pixel
                EXPECT_EQ(Scaled(1, dpi), PenWidth(PEN_GRID));
            else if (!found)
                ADD_FAILURE() << "a pixel key the panel does not draw with";
        }
        EXPECT_EQ(17, keys);
        // The program's own lengths.
        EXPECT_EQ(Scaled(32, dpi), PenWidth(PEN_FAULT));
        EXPECT_EQ(Scaled(1, dpi), metrics.unitShadow);
        EXPECT_EQ(Scaled(8, dpi), metrics.blockDrop);
        EXPECT_EQ(Scaled(1, dpi), metrics.line);
        // The layout grows with the font of the template, within a few per cent of the DPI's share.
        EXPECT_NEAR(Scaled(base.cx, dpi), PanelRes.clientW, Scaled(base.cx, dpi) / 25);
        EXPECT_NEAR(Scaled(base.cy, dpi), PanelRes.clientH, Scaled(base.cy, dpi) / 25);
        EXPECT_EQ(PanelRes.clientW, PanelRes.backBuffer.width);
    }
}

// Absurd lengths are held to the panel before they are scaled: scaled first, they would overflow.
TEST_F(RenderAtDpi, AbsurdLengthsAreHeldToThePanelBeforeTheyAreScaled)
{
    Theme.Font.Title.lfHeight = INT_MIN;
    Theme.Font.Label.lfWidth = INT_MAX;
    Theme.Trace[TRACE_CORE_TEMP].Width = INT_MAX;
    Theme.Shadow.Offset = INT_MIN;
    RebuildAt(192);
    const PANELRES& res = PanelRes;
    EXPECT_NEAR(-res.clientH, MadeFont(FONT_TITLE).lfHeight, 2);
    EXPECT_NEAR(res.clientW, MadeFont(FONT_LABEL).lfWidth, 2);
    EXPECT_NEAR(res.graphW, PenWidth(PEN_TRACE_FIRST), 2);
    EXPECT_NEAR(-(res.clientW > res.clientH ? res.clientW : res.clientH), PanelMetrics().shadowOffset, 2);
}

// A template the layout cannot read lays nothing out and leaves the layout it had.
TEST_F(RenderAtDpi, DamagedTemplatesLayOutNothing)
{
    HRSRC found = FindResourceA(panel->Resources(), MAKEINTRESOURCEA(IDD_PANEL), RT_DIALOG);
    ASSERT_NE(nullptr, found);
    const std::string whole(static_cast<const char*>(LockResource(LoadResource(panel->Resources(), found))),
                            SizeofResource(panel->Resources(), found));
    auto changed = [&whole](size_t offset, const std::string& bytes) {
        std::string data = whole;
        data.replace(offset, bytes.size(), bytes);
        return data;
    };
    const std::string cases[] = {
        changed(2, std::string(2, '\0')),                 // no extended template
        changed(12, std::string(4, '\0')),                // no font of its own
        changed(16, std::string("\x41\x00", 2)),          // 65 controls
        whole.substr(0, whole.size() / 2),               // cut in a control
        std::string("\x01\x00\xff\xff", 4),              // only the signature
        "",
    };
    DIALOGLAYOUT layout = {};
    layout.count = -7;
    for (const std::string& data : cases) {
        EXPECT_FALSE(LayOutDialogTemplate(data.data(), data.size(), 96, layout)) << data.size();
        EXPECT_EQ(-7, layout.count);
    }
    for (size_t cut = 0; cut < whole.size(); cut += 7)
        EXPECT_FALSE(LayOutDialogTemplate(whole.data(), cut, 96, layout)) << cut;
    EXPECT_FALSE(LayOutDialogTemplate(whole.data(), whole.size(), 0, layout));
    EXPECT_EQ(-7, layout.count);
    EXPECT_TRUE(LayOutDialogTemplate(whole.data(), whole.size(), 144, layout));
    EXPECT_EQ(31, layout.count);
}
