#include "support/panelfixture.h"

#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "base/critsect.h"
#include "base/dpi.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/hover.h"
#include "render/layout.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "render/paneltitle.h"
#include "support/imagefiles.h"
#include "ui/resourcemodule.h"

namespace painttest {

COLORREF TraceColour(int trace)
{
    static const COLORREF colours[TRACE_COUNT] = {
        RGB(255, 128, 0), RGB(0, 128, 255), RGB(0, 255, 255), RGB(128, 0, 255), RGB(255, 0, 128),
        RGB(128, 255, 0), RGB(0, 255, 128), RGB(255, 128, 128), RGB(128, 128, 255),
    };
    return colours[trace];
}

void PanelTest::SetUp()
{
    snprintf(ConfigPath, sizeof ConfigPath, "%s", dir.File("none.cfg").c_str());
    LoadConfig();
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", dir.File("none.vkt").c_str());
    SetThemeStartupValues();
    LoadTheme();

    Theme.Skin.Enable = 0;
    snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", dir.File("noskin.bmp").c_str());
    Theme.Skin.Color = BACKGROUND;
    Theme.Color.Title = Theme.Color.Frame = Theme.Color.Label = Theme.Color.Value = TEXT_COLOUR;
    Theme.Shadow.Title = Theme.Shadow.Frame = Theme.Shadow.Label = Theme.Shadow.Value = SHADOW_COLOUR;
    Theme.Shadow.EnableTitle = Theme.Shadow.EnableFrame = Theme.Shadow.EnableLabel = Theme.Shadow.EnableValue = 0;
    Theme.Frame.Enable = 0;
    Theme.Frame.Color = FRAME_COLOUR;
    Theme.Unit.Enable = 0;
    Theme.Unit.Color = UNIT_COLOUR;
    Theme.Unit.Shadow = UNIT_SHADOW;
    Theme.Grid.Enable = 0;
    Theme.Grid.Color = GRID_COLOUR;
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        Theme.Trace[trace].Enable = 0;
        Theme.Trace[trace].Color = TraceColour(trace);
        Theme.Trace[trace].Width = 1;
    }
    Config.Global.Limit = 160;
    Config.Global.Usage = 1;

    memset(&Sample, 0, sizeof Sample);
    ClearHoverFlags();
    ForgetHoverPosition();
    SetPanelTitle("");

    CreateCritSect(UpdateSection, "UPDATE");
    panel.reset(new testenv::PanelWindow);
    ASSERT_NE(nullptr, panel->Handle()) << "no panel window from " << testenv::PathFromEnvironment("VARNOK_EXE");
    savedResources_ = ResourceModule;
    ResourceModule = panel->Resources();
    ASSERT_TRUE(LayOutPanel(WindowDpi(Window())));
    ASSERT_TRUE(BuildRenderResources(Window()));
}

void PanelTest::TearDown()
{
    FreeRenderResources();
    panel.reset();
    ResourceModule = savedResources_;
    DeleteCritSect(UpdateSection);
}

void PanelTest::RebuildAt(UINT dpi)
{
    ASSERT_TRUE(LayOutPanel(dpi));
    Rebuild();
}

HDC PanelTest::BackBuffer() const { return PanelRes.backBuffer.hdc; }

void PanelTest::Rebuild()
{
    FreeRenderResources();
    ASSERT_TRUE(BuildRenderResources(Window()));
}

void PanelTest::Compose() { ComposePanel(Window(), BackBuffer()); }

COLORREF PanelTest::Pixel(int x, int y) const { return GetPixel(BackBuffer(), x, y); }

int PanelTest::CountColour(const RECT& area, COLORREF colour) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += Pixel(x, y) == colour;
    return count;
}

int PanelTest::CountDrawn(const RECT& area) const
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += Pixel(x, y) != BACKGROUND;
    return count;
}

RECT PanelTest::Control(int id) const
{
    RECT rect = {0, 0, 0, 0};
    PanelControlRect(id, rect);
    return rect;
}

std::string PanelTest::Frame() const
{
    const int width = PanelRes.backBuffer.width;
    const int height = PanelRes.backBuffer.height;
    BITMAPINFO info = imagefiles::TopDown32(width, height);
    std::string pixels(static_cast<size_t>(width) * height * 4, '\0');
    GetDIBits(BackBuffer(), PanelRes.backBuffer.hbm, 0, height, &pixels[0], &info, DIB_RGB_COLORS);
    return pixels;
}

bool WriteBitmapFile(const std::string& path, int width, int height, int bitsPerPixel, COLORREF (*pixel)(int x, int y))
{
    const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
    const int paletteSize = bitsPerPixel == 1 ? 8 : 0;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + paletteSize;
    file.bfSize = file.bfOffBits + info.biSizeImage;

    std::string data(reinterpret_cast<const char*>(&file), sizeof file);
    data.append(reinterpret_cast<const char*>(&info), sizeof info);
    if (bitsPerPixel == 1) {
        const unsigned char palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
        data.append(reinterpret_cast<const char*>(palette), sizeof palette);
    }
    std::vector<unsigned char> rows(static_cast<size_t>(stride) * height, 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &rows[static_cast<size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const COLORREF colour = pixel(x, y);
            if (bitsPerPixel == 1) {
                if (colour != RGB(0, 0, 0))
                    row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            } else {
                row[x * 3] = GetBValue(colour);
                row[x * 3 + 1] = GetGValue(colour);
                row[x * 3 + 2] = GetRValue(colour);
            }
        }
    }
    data.append(reinterpret_cast<const char*>(rows.data()), rows.size());
    return testenv::WriteFile(path, data);
}

void PictureTest::SetUp()
{
    PanelTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
}

void PictureTest::TearDown()
{
    PanelTest::TearDown();
    OleUninitialize();
}

}  // namespace painttest
