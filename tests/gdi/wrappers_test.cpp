// Ownership rules of the GDI owners: free on re-creation, close and destruction, never twice.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

#include "gdi/gdiobjects.h"
#include "gdi/winbmp.h"
#include "gdi/winmemdc.h"
#include "image/winimg.h"

namespace {

static_assert(!std::is_copy_constructible<WINBMP>::value && !std::is_copy_assignable<WINBMP>::value, "");
static_assert(!std::is_copy_constructible<WINIMG>::value && !std::is_copy_assignable<WINIMG>::value, "");
static_assert(!std::is_copy_constructible<WINMEMDC>::value && !std::is_copy_assignable<WINMEMDC>::value, "");
static_assert(!std::is_copy_constructible<WINFONT>::value && !std::is_copy_assignable<WINFONT>::value, "");
static_assert(!std::is_copy_constructible<WINPEN>::value && !std::is_copy_assignable<WINPEN>::value, "");
static_assert(!std::is_copy_constructible<WINBRUSH>::value && !std::is_copy_assignable<WINBRUSH>::value, "");
// One virtual operation, the destructor: the object is its table pointer plus its fields.
static_assert(sizeof(WINPEN) == sizeof(void*) + sizeof(HPEN), "");
static_assert(sizeof(WINBRUSH) == sizeof(void*) + sizeof(HBRUSH), "");

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

// A plain top-level window to take device contexts from.
class SurfaceWindow {
public:
    SurfaceWindow()
        : window(CreateWindowExA(0, "STATIC", "surface", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr))
    {
    }
    ~SurfaceWindow() { DestroyWindow(window); }
    HWND window;
};

class BitmapOwner : public ::testing::Test {
protected:
    // Fills a WINBMP the way an image load does: a bitmap selected into its own DC.
    static void Fill(WINBMP& owner)
    {
        owner.hdc = CreateCompatibleDC(nullptr);
        owner.hbm = CreateBitmap(8, 4, 1, 32, nullptr);
        SelectObject(owner.hdc, owner.hbm);
        GetObjectA(owner.hbm, sizeof owner.bm, &owner.bm);
    }
};

TEST_F(BitmapOwner, StartsEmpty)
{
    WINBMP owner;
    BITMAP zero;
    memset(&zero, 0, sizeof zero);
    EXPECT_EQ(nullptr, owner.hdc);
    EXPECT_EQ(nullptr, owner.hbm);
    EXPECT_EQ(0, memcmp(&zero, &owner.bm, sizeof zero));
}

TEST_F(BitmapOwner, CloseFreesBothAndClears)
{
    WINBMP owner;
    Fill(owner);
    HDC dc = owner.hdc;
    HBITMAP bitmap = owner.hbm;
    ASSERT_EQ(8, owner.bm.bmWidth);
    owner.Close();
    EXPECT_FALSE(Alive(dc));
    EXPECT_FALSE(Alive(bitmap));
    EXPECT_EQ(nullptr, owner.hdc);
    EXPECT_EQ(nullptr, owner.hbm);
    EXPECT_EQ(0, owner.bm.bmWidth);
}

// Objects made after the first close may get recycled handle values; a second close or the
// destructor must not touch them.
TEST_F(BitmapOwner, SecondCloseAndDestructorFreeNothing)
{
    HDC laterDC;
    HBITMAP laterBitmap;
    {
        WINBMP owner;
        Fill(owner);
        owner.Close();
        laterDC = CreateCompatibleDC(nullptr);
        laterBitmap = CreateBitmap(2, 2, 1, 32, nullptr);
        owner.Close();
    }
    EXPECT_TRUE(Alive(laterDC));
    EXPECT_TRUE(Alive(laterBitmap));
    DeleteDC(laterDC);
    DeleteObject(laterBitmap);
}

TEST_F(BitmapOwner, DestructorFreesBoth)
{
    HDC dc;
    HBITMAP bitmap;
    {
        WINBMP owner;
        Fill(owner);
        dc = owner.hdc;
        bitmap = owner.hbm;
    }
    EXPECT_FALSE(Alive(dc));
    EXPECT_FALSE(Alive(bitmap));
}

TEST_F(BitmapOwner, ImageWithoutPictureFreesItsBitmap)
{
    HDC dc;
    HBITMAP bitmap;
    {
        WINIMG image;
        EXPECT_EQ(nullptr, image.picture);
        Fill(image);
        dc = image.hdc;
        bitmap = image.hbm;
    }
    EXPECT_FALSE(Alive(dc));
    EXPECT_FALSE(Alive(bitmap));
}

class MemoryDC : public ::testing::Test {
protected:
    SurfaceWindow surface;
};

TEST_F(MemoryDC, CreateMakesASurfaceOfTheWindowsFormat)
{
    WINMEMDC memory;
    EXPECT_EQ(0, memory.width);
    EXPECT_EQ(0, memory.height);
    ASSERT_TRUE(memory.Create(surface.window, 40, 30));
    EXPECT_EQ(40, memory.width);
    EXPECT_EQ(30, memory.height);
    EXPECT_EQ(memory.hbm, GetCurrentObject(memory.hdc, OBJ_BITMAP));
    BITMAP bm;
    ASSERT_TRUE(GetObjectA(memory.hbm, sizeof bm, &bm));
    EXPECT_EQ(40, bm.bmWidth);
    EXPECT_EQ(30, bm.bmHeight);
    HDC windowDC = GetDC(surface.window);
    EXPECT_EQ(GetDeviceCaps(windowDC, BITSPIXEL), bm.bmBitsPixel);
    ReleaseDC(surface.window, windowDC);
}

TEST_F(MemoryDC, RecreateFreesTheOldSurface)
{
    WINMEMDC memory;
    ASSERT_TRUE(memory.Create(surface.window, 40, 30));
    HDC oldDC = memory.hdc;
    HBITMAP oldBitmap = memory.hbm;
    ASSERT_TRUE(memory.Create(surface.window, 20, 10));
    EXPECT_FALSE(Alive(oldDC));
    EXPECT_FALSE(Alive(oldBitmap));
    EXPECT_EQ(20, memory.width);
}

TEST_F(MemoryDC, CloseTwiceAndDestructorFreeOnce)
{
    HDC dc;
    HBITMAP bitmap;
    HBRUSH later;
    {
        WINMEMDC memory;
        ASSERT_TRUE(memory.Create(surface.window, 16, 16));
        dc = memory.hdc;
        bitmap = memory.hbm;
        memory.Close();
        EXPECT_FALSE(Alive(dc));
        EXPECT_FALSE(Alive(bitmap));
        EXPECT_EQ(nullptr, memory.hdc);
        EXPECT_EQ(nullptr, memory.hbm);
        later = CreateSolidBrush(RGB(1, 2, 3));
        memory.Close();
    }
    EXPECT_TRUE(Alive(later));
    DeleteObject(later);
}

TEST_F(MemoryDC, DestructorFreesTheSurface)
{
    HDC dc;
    HBITMAP bitmap;
    {
        WINMEMDC memory;
        ASSERT_TRUE(memory.Create(surface.window, 16, 16));
        dc = memory.hdc;
        bitmap = memory.hbm;
    }
    EXPECT_FALSE(Alive(dc));
    EXPECT_FALSE(Alive(bitmap));
}

TEST_F(MemoryDC, InvalidWindowFails)
{
    WINMEMDC memory;
    EXPECT_FALSE(memory.Create(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7FFF0123)), 16, 16));
    EXPECT_EQ(nullptr, memory.hdc);
    EXPECT_EQ(nullptr, memory.hbm);
    EXPECT_EQ(0, memory.width);
}

// A bitmap far too large to make: the DC exists, the bitmap does not. The window's DC must
// still go back (the cache hands out the same one again), and Close frees the lone DC.
TEST_F(MemoryDC, FailedBitmapReleasesTheWindowDCAndCloseFreesTheRest)
{
    HDC cached = GetDC(surface.window);
    ReleaseDC(surface.window, cached);
    WINMEMDC memory;
    EXPECT_FALSE(memory.Create(surface.window, 1 << 20, 1 << 20));
    EXPECT_EQ(0, memory.width);
    EXPECT_EQ(nullptr, memory.hbm);
    ASSERT_NE(nullptr, memory.hdc);
    HDC again = GetDC(surface.window);
    EXPECT_EQ(cached, again);
    ReleaseDC(surface.window, again);
    HDC partial = memory.hdc;
    memory.Close();
    EXPECT_FALSE(Alive(partial));
    EXPECT_EQ(nullptr, memory.hdc);
}

class DrawingObjects : public ::testing::Test {};

TEST_F(DrawingObjects, FontStartsAsSystemNormal)
{
    WINFONT font;
    EXPECT_EQ(nullptr, font.hfont);
    EXPECT_EQ(400, font.lf.lfWeight);
    EXPECT_STREQ("System", font.lf.lfFaceName);
    LOGFONTA expected;
    memset(&expected, 0, sizeof expected);
    expected.lfWeight = 400;
    strcpy(expected.lfFaceName, "System");
    EXPECT_EQ(0, memcmp(&expected, &font.lf, sizeof expected));
}

TEST_F(DrawingObjects, FontKeepsItsOwnCopyOfTheDescription)
{
    LOGFONTA theme;
    memset(&theme, 0, sizeof theme);
    theme.lfHeight = -12;
    theme.lfWeight = FW_BOLD;
    strcpy(theme.lfFaceName, "Tahoma");
    WINFONT font;
    ASSERT_TRUE(font.Create(theme));
    theme.lfHeight = -30;
    strcpy(theme.lfFaceName, "Courier New");
    EXPECT_EQ(-12, font.lf.lfHeight);
    EXPECT_STREQ("Tahoma", font.lf.lfFaceName);
    LOGFONTA made;
    ASSERT_TRUE(GetObjectA(font.hfont, sizeof made, &made));
    EXPECT_EQ(-12, made.lfHeight);
    EXPECT_EQ(FW_BOLD, made.lfWeight);
}

TEST_F(DrawingObjects, RecreatedFontFreesTheOldOne)
{
    LOGFONTA theme;
    memset(&theme, 0, sizeof theme);
    theme.lfHeight = -12;
    HFONT old;
    HFONT second;
    {
        WINFONT font;
        ASSERT_TRUE(font.Create(theme));
        old = font.hfont;
        theme.lfHeight = -20;
        ASSERT_TRUE(font.Create(theme));
        second = font.hfont;
        EXPECT_FALSE(Alive(old));
        EXPECT_EQ(-20, font.lf.lfHeight);
    }
    EXPECT_FALSE(Alive(second));
}

TEST_F(DrawingObjects, PenIsMadeAsAskedAndRecreationFreesTheOld)
{
    HPEN first;
    HPEN second;
    {
        WINPEN pen;
        EXPECT_EQ(nullptr, pen.hpen);
        ASSERT_TRUE(pen.Create(PS_SOLID, 3, RGB(10, 20, 30)));
        first = pen.hpen;
        LOGPEN made;
        ASSERT_TRUE(GetObjectA(pen.hpen, sizeof made, &made));
        EXPECT_EQ(static_cast<UINT>(PS_SOLID), made.lopnStyle);
        EXPECT_EQ(3, made.lopnWidth.x);
        EXPECT_EQ(RGB(10, 20, 30), made.lopnColor);
        ASSERT_TRUE(pen.CreateDotted(RGB(1, 2, 3)));
        second = pen.hpen;
        EXPECT_FALSE(Alive(first));
    }
    EXPECT_FALSE(Alive(second));
}

TEST_F(DrawingObjects, DottedPenIsCosmeticAlternateOnePixel)
{
    WINPEN pen;
    ASSERT_TRUE(pen.CreateDotted(RGB(200, 100, 50)));
    EXTLOGPEN made;
    // Without style entries the description ends where they would begin.
    ASSERT_EQ(static_cast<int>(offsetof(EXTLOGPEN, elpStyleEntry)), GetObjectA(pen.hpen, sizeof made, &made));
    EXPECT_EQ(static_cast<DWORD>(PS_COSMETIC | PS_ALTERNATE), made.elpPenStyle);
    EXPECT_EQ(1u, made.elpWidth);
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), made.elpBrushStyle);
    EXPECT_EQ(RGB(200, 100, 50), made.elpColor);
    EXPECT_EQ(0u, made.elpNumEntries);
}

TEST_F(DrawingObjects, DottedPenSetsEveryOtherPixel)
{
    WINPEN pen;
    ASSERT_TRUE(pen.CreateDotted(RGB(0, 0, 0)));
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = 20;
    header.bmiHeader.biHeight = 1;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, 20, 1, WHITENESS);
    HGDIOBJ oldPen = SelectObject(dc, pen.hpen);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 20, 0);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    const DWORD* row = static_cast<const DWORD*>(bits);
    int black = 0;
    for (int x = 0; x < 20; ++x) {
        bool set = (row[x] & 0xFFFFFF) == 0;
        black += set;
        if (x > 0) {
            EXPECT_NE(set, (row[x - 1] & 0xFFFFFF) == 0) << "pixel " << x;
        }
    }
    EXPECT_EQ(10, black);
    DeleteObject(bitmap);
}

TEST_F(DrawingObjects, BrushIsMadeAsAskedAndRecreationFreesTheOld)
{
    HBRUSH first;
    HBRUSH second;
    {
        WINBRUSH brush;
        EXPECT_EQ(nullptr, brush.hbrush);
        ASSERT_TRUE(brush.Create(RGB(5, 6, 7)));
        first = brush.hbrush;
        LOGBRUSH made;
        ASSERT_TRUE(GetObjectA(brush.hbrush, sizeof made, &made));
        EXPECT_EQ(static_cast<UINT>(BS_SOLID), made.lbStyle);
        EXPECT_EQ(RGB(5, 6, 7), made.lbColor);
        ASSERT_TRUE(brush.Create(RGB(8, 9, 10)));
        second = brush.hbrush;
        EXPECT_FALSE(Alive(first));
    }
    EXPECT_FALSE(Alive(second));
}

// Freeing the render resources closes each owner; objects made afterwards may reuse the freed
// handle values and must survive a second close.
TEST_F(DrawingObjects, CloseFreesOnceAndClears)
{
    WINFONT font;
    WINPEN pen;
    WINBRUSH brush;
    LOGFONTA description = font.lf;
    description.lfHeight = -13;
    ASSERT_TRUE(font.Create(description));
    ASSERT_TRUE(pen.Create(PS_SOLID, 2, RGB(1, 2, 3)));
    ASSERT_TRUE(brush.Create(RGB(4, 5, 6)));
    const HGDIOBJ made[] = {font.hfont, pen.hpen, brush.hbrush};
    font.Close();
    pen.Close();
    brush.Close();
    for (HGDIOBJ object : made)
        EXPECT_FALSE(Alive(object));
    EXPECT_EQ(nullptr, font.hfont);
    EXPECT_EQ(nullptr, pen.hpen);
    EXPECT_EQ(nullptr, brush.hbrush);
    EXPECT_EQ(-13, font.lf.lfHeight);

    HPEN later = CreatePen(PS_SOLID, 1, RGB(7, 8, 9));
    HBRUSH laterBrush = CreateSolidBrush(RGB(7, 8, 9));
    font.Close();
    pen.Close();
    brush.Close();
    EXPECT_TRUE(Alive(later));
    EXPECT_TRUE(Alive(laterBrush));
    DeleteObject(later);
    DeleteObject(laterBrush);
}

// Rebuilding the render resources re-creates every owner; a thousand rebuilds must leave
// exactly the last objects alive. GDI recycles handle values (a slot's reuse counter wraps),
// so an earlier object counts as leaked only when its value is alive and is not one of the
// objects of the current round.
TEST(HandleAccounting, RecreatingManyTimesLeavesOnlyTheLastObjects)
{
    SurfaceWindow surface;
    LOGFONTA theme;
    memset(&theme, 0, sizeof theme);
    theme.lfHeight = -11;
    const size_t count = 6;
    std::vector<HGDIOBJ> current;
    int leaked = 0;
    {
        WINFONT font;
        WINPEN pen;
        WINPEN grid;
        WINBRUSH brush;
        WINMEMDC memory;
        for (int i = 0; i < 1000; ++i) {
            std::vector<HGDIOBJ> previous = current;
            ASSERT_TRUE(font.Create(theme));
            ASSERT_TRUE(pen.Create(PS_SOLID, i % 5, RGB(i & 255, 0, 0)));
            ASSERT_TRUE(grid.CreateDotted(RGB(0, i & 255, 0)));
            ASSERT_TRUE(brush.Create(RGB(0, 0, i & 255)));
            ASSERT_TRUE(memory.Create(surface.window, 8, 8));
            current = {font.hfont, pen.hpen, grid.hpen, brush.hbrush, memory.hdc, memory.hbm};
            for (HGDIOBJ object : previous)
                if (Alive(object) && std::find(current.begin(), current.end(), object) == current.end())
                    ++leaked;
        }
        EXPECT_EQ(0, leaked) << "objects of earlier rounds still alive";
        ASSERT_EQ(count, current.size());
        for (HGDIOBJ object : current)
            EXPECT_TRUE(Alive(object));
    }
    for (HGDIOBJ object : current)
        EXPECT_FALSE(Alive(object));
}

}  // namespace
