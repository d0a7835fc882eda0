#include <gtest/gtest.h>

#include "shape/windowshape.h"
#include "shapewindow.h"

namespace {

// A skin surface whose top left pixel has its own colour, unlike the rest.
class SKINSURFACE {
public:
    SKINSURFACE(COLORREF corner, COLORREF rest) : dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 8;
        info.bmiHeader.biHeight = -8;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                SetPixel(dc_, x, y, rest);
        SetPixel(dc_, 0, 0, corner);
    }
    virtual ~SKINSURFACE()
    {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    SKINSURFACE(const SKINSURFACE&) = delete;
    SKINSURFACE& operator=(const SKINSURFACE&) = delete;

    HDC Dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

const COLORREF SKIN_COLOR = RGB(10, 20, 30);
const COLORREF MASK_COLOR = RGB(250, 0, 250);
const COLORREF CORNER = RGB(200, 100, 50);

class WindowShape : public ShapedPanel {
protected:
    void SetUp() override
    {
        ShapedPanel::SetUp();
        Theme.Skin.Color = SKIN_COLOR;
        Theme.Mask.Color = MASK_COLOR;
    }

    SKINSURFACE skin_{CORNER, RGB(90, 90, 90)};
};

RECT Box(HRGN region)
{
    RECT box = {};
    GetRgnBox(region, &box);
    return box;
}

}  // namespace

// The rounded shape is asked for one pixel past the client area's right and bottom edges; the
// system's rounded regions leave out their right and bottom edge, so the region covers exactly
// the client area (asked for the client area itself, it would lose the last column and row).
TEST_F(WindowShape, RoundedRegionCoversTheWholeClientArea)
{
    Theme.Mask.Mode = 1;
    Apply();
    RegionPtr region = WindowRegion();
    ASSERT_NE(nullptr, region.get());
    RECT box = Box(region.get());
    EXPECT_EQ(0, box.left);
    EXPECT_EQ(0, box.top);
    EXPECT_EQ(120, box.right);
    EXPECT_EQ(80, box.bottom);
    // The corners are cut off, the middle of each edge is not.
    EXPECT_FALSE(PtInRegion(region.get(), 0, 0));
    EXPECT_FALSE(PtInRegion(region.get(), 119, 79));
    EXPECT_TRUE(PtInRegion(region.get(), 60, 0));
    EXPECT_TRUE(PtInRegion(region.get(), 0, 40));
    EXPECT_TRUE(PtInRegion(region.get(), 119, 40));
    EXPECT_TRUE(PtInRegion(region.get(), 60, 79));
    EXPECT_EQ(1, Theme.Mask.Mode);
    EXPECT_TRUE(LayeredAndOpaque());
}

TEST_F(WindowShape, RoundedRegionRefusedTurnsTheModeOff)
{
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    DestroyWindow(gone);
    Theme.Mask.Mode = 1;
    ApplyWindowShape(requester_, gone, client_, nullptr, 96);
    EXPECT_EQ(0, Theme.Mask.Mode);
    EXPECT_EQ(0, ErrorBoxes());
}

TEST_F(WindowShape, AutomaticKeyWithoutSkinIsTheBackgroundColour)
{
    Theme.Mask.Mode = 2;
    Theme.Skin.Enable = 0;
    Apply(skin_.Dc());
    EXPECT_TRUE(KeyedOn(SKIN_COLOR));
    EXPECT_EQ(nullptr, WindowRegion().get());
}

TEST_F(WindowShape, AutomaticKeyWithSkinIsItsTopLeftPixel)
{
    Theme.Mask.Mode = 2;
    Theme.Skin.Enable = 1;
    Apply(skin_.Dc());
    EXPECT_TRUE(KeyedOn(CORNER));
}

// No colour at all would be a key no pixel has: the background colour serves instead.
TEST_F(WindowShape, AutomaticKeyWithUnreadableSkinIsTheBackgroundColour)
{
    Theme.Mask.Mode = 2;
    Theme.Skin.Enable = 1;
    Apply(nullptr);
    EXPECT_TRUE(KeyedOn(SKIN_COLOR));
}

TEST_F(WindowShape, ColourKeyIsTheMaskColour)
{
    Theme.Mask.Mode = 3;
    Theme.Skin.Enable = 1;
    Apply(skin_.Dc());
    EXPECT_TRUE(KeyedOn(MASK_COLOR));
    EXPECT_EQ(nullptr, WindowRegion().get());
}

TEST_F(WindowShape, LayeredStyleIsAddedWhenMissing)
{
    LONG_PTR style = GetWindowLongPtrA(window_, GWL_EXSTYLE);
    ASSERT_FALSE(style & WS_EX_LAYERED);
    Theme.Mask.Mode = 0;
    Apply();
    EXPECT_TRUE(LayeredAndOpaque());
}

class WindowShapeOff : public WindowShape, public ::testing::WithParamInterface<int> {};

// Every mode that is not a shape takes away whatever shape the window had before.
TEST_P(WindowShapeOff, RemovesRegionAndColourKey)
{
    Theme.Mask.Mode = 1;
    Apply();
    ASSERT_NE(nullptr, WindowRegion().get());
    Theme.Mask.Mode = GetParam();
    Apply();
    EXPECT_EQ(nullptr, WindowRegion().get());
    EXPECT_TRUE(LayeredAndOpaque());

    Theme.Mask.Mode = 3;
    Apply();
    ASSERT_TRUE(KeyedOn(MASK_COLOR));
    Theme.Mask.Mode = GetParam();
    Apply();
    EXPECT_TRUE(LayeredAndOpaque());
    EXPECT_EQ(GetParam(), Theme.Mask.Mode);
    EXPECT_EQ(0, ErrorBoxes());
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowShapeOff, ::testing::Values(0, -1, 5, 2147483647));
