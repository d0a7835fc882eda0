#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>

#include "support/panelwindow.h"
#include "support/testenv.h"

namespace painttest {

// Colours no theme default uses, so that each drawn thing can be told apart by its pixels.
constexpr COLORREF BACKGROUND = RGB(0, 0, 0);
constexpr COLORREF TEXT_COLOUR = RGB(255, 255, 255);
constexpr COLORREF SHADOW_COLOUR = RGB(128, 128, 128);
constexpr COLORREF FRAME_COLOUR = RGB(255, 255, 0);
constexpr COLORREF GRID_COLOUR = RGB(0, 255, 0);
constexpr COLORREF UNIT_COLOUR = RGB(255, 0, 255);
constexpr COLORREF UNIT_SHADOW = RGB(0, 0, 255);
constexpr COLORREF FAULT_COLOUR = RGB(255, 0, 0);
// One colour per trace, in the theme's trace order.
COLORREF TraceColour(int trace);

// A panel window from template 200 with the render resources built from a theme in which
// everything is switched off but the blocks' texts: a black background, white text, no shadow,
// frame, grid, scale, skin or trace. Each test switches on what it looks at and rebuilds.
class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Window() const { return panel->Handle(); }
    HDC BackBuffer() const;
    void Rebuild();
    // Lays the panel out and builds its objects at `dpi`, as if it had moved to a monitor of that DPI.
    void RebuildAt(UINT dpi);
    void Compose();

    COLORREF Pixel(int x, int y) const;
    int CountColour(const RECT& area, COLORREF colour) const;
    // Pixels that are not the background colour.
    int CountDrawn(const RECT& area) const;
    // Where the painting draws control `id`: its rectangle in the panel's layout.
    RECT Control(int id) const;
    // Every pixel of the back buffer, for comparing whole frames.
    std::string Frame() const;

    testenv::TempDir dir;
    std::unique_ptr<testenv::PanelWindow> panel;

private:
    HINSTANCE savedResources_ = nullptr;
};

// The same panel with COM initialised, for tests that load images through the system picture
// loader.
class PictureTest : public PanelTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

// Writes a bitmap file of width x height pixels with the given bits per pixel (1 or 24);
// pixel(x, y) gives each pixel's colour (for 1 bit: black or anything else for white).
bool WriteBitmapFile(const std::string& path, int width, int height, int bitsPerPixel,
                     COLORREF (*pixel)(int x, int y));

}  // namespace painttest
