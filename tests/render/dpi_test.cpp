// The panel at other DPIs than the test display's: laid out anew, every length scaled by DPI / 96.
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include <vector>

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
    struct {
        EXTLOGPEN pen;
        DWORD pattern[4];
    } extended = {};
    LOGPEN plain = {};
    if (GetObjectType(handle) == OBJ_EXTPEN)
        return GetObjectA(handle, sizeof extended, &extended) ? static_cast<int>(extended.pen.elpWidth) : -1;
    return GetObjectA(handle, sizeof plain, &plain) ? plain.lopnWidth.x : -1;
}

using RenderAtDpi = PanelTest;

}  // namespace

// Every pixel key of the theme reaches the panel scaled, through the object or length it makes: a key
// the test cannot find there fails it, and so does a build that scales only some. The program's own
// lengths and the layout follow too.
TEST_F(RenderAtDpi, EveryPixelKeyOfTheThemeIsScaledWhereItIsDrawn)
{
    Theme.Font.Frame.lfHeight = -13;
    Theme.Font.Label.lfWidth = 7;
    Theme.Font.Value.lfHeight = 15;
    Theme.Shadow.Offset = 3;
    Theme.Unit.Offset = 5;
    for (int trace = 0; trace < TRACE_COUNT; ++trace)
        Theme.Trace[trace].Width = trace % 6;
    const void* fonts[] = {&Theme.Font.Title, &Theme.Font.Frame, &Theme.Font.Label, &Theme.Font.Value,
                           &Theme.Unit.Font};
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
            SCOPED_TRACE(std::string(key.section) + " " + key.key);
            const int number = key.type == KEY_SIGNED ? *static_cast<const int*>(key.field) : 0;
            const int found = keys;
            for (int font = 0; font < PANEL_FONTS_MADE; ++font) {
                if (fonts[font] != key.field)
                    continue;
                const LOGFONTA& theme = *static_cast<const LOGFONTA*>(key.field);
                EXPECT_EQ(Scaled(theme.lfHeight, dpi), MadeFont(static_cast<PANEL_FONT>(font)).lfHeight);
                EXPECT_EQ(Scaled(theme.lfWidth, dpi), MadeFont(static_cast<PANEL_FONT>(font)).lfWidth);
                ++keys;
            }
            for (int trace = 0; trace < TRACE_COUNT; ++trace) {
                if (key.field != &Theme.Trace[trace].Width)
                    continue;
                // Width 0 is the system's one-pixel pen until a 96-dpi pixel is two.
                const int pixel = Scaled(1, dpi) > 1 ? Scaled(1, dpi) : 0;
                EXPECT_EQ(number ? Scaled(number, dpi) : pixel, PenWidth(PEN_TRACE_FIRST + trace));
                ++keys;
            }
            if (key.field == &Theme.Shadow.Offset || key.field == &Theme.Unit.Offset) {
                const int offset = key.field == &Theme.Unit.Offset ? metrics.unitOffset : metrics.shadowOffset;
                EXPECT_EQ(Scaled(number, dpi), offset);
                ++keys;
            } else if (key.field == &Theme.Grid.Width) {  // plays no part: the grid is one 96-dpi pixel wide
                EXPECT_EQ(Scaled(1, dpi), PenWidth(PEN_GRID));
                ++keys;
            }
            EXPECT_EQ(found + 1, keys) << "a pixel key the panel does not draw with";
        }
        EXPECT_EQ(17, keys);
        EXPECT_EQ(Scaled(32, dpi), PenWidth(PEN_FAULT));
        EXPECT_EQ(Scaled(1, dpi), metrics.unitShadow);
        EXPECT_EQ(Scaled(8, dpi), metrics.blockDrop);
        EXPECT_EQ(Scaled(1, dpi), metrics.line);
        // The template's font grows with the DPI, not quite in proportion.
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
    EXPECT_NEAR(-res.clientW, PanelMetrics().shadowOffset, 2);
}

// A template the layout cannot read lays nothing out and leaves the layout it had.
TEST_F(RenderAtDpi, DamagedTemplatesLayOutNothing)
{
    HRSRC found = FindResourceA(panel->Resources(), MAKEINTRESOURCEA(IDD_PANEL), RT_DIALOG);
    ASSERT_NE(nullptr, found);
    const std::string whole(static_cast<const char*>(LockResource(LoadResource(panel->Resources(), found))),
                            SizeofResource(panel->Resources(), found));
    auto changed = [&whole](size_t offset, const char* bytes) {
        return std::string(whole).replace(offset, 2, bytes, 2);
    };
    // Not extended, no font of its own, 65 controls, only a signature, cut in a control.
    std::vector<std::string> cases = {changed(2, "\0\0"), changed(12, "\0\0"), changed(16, "\x41\0"),
                                      std::string("\x01\0\xff\xff", 4), whole.substr(0, whole.size() / 2)};
    for (size_t cut = 0; cut < whole.size(); cut += 7)
        cases.push_back(whole.substr(0, cut));
    DIALOGLAYOUT layout = {};
    layout.count = -7;
    for (const std::string& data : cases)
        EXPECT_FALSE(LayOutDialogTemplate(data.data(), data.size(), 96, layout)) << data.size();
    EXPECT_FALSE(LayOutDialogTemplate(whole.data(), whole.size(), 0, layout));
    EXPECT_EQ(-7, layout.count);
    EXPECT_TRUE(LayOutDialogTemplate(whole.data(), whole.size(), 144, layout));
    EXPECT_EQ(31, layout.count);
}
