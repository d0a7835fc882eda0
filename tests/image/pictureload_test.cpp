// Images that go through the system picture loader: GIF, JPEG and metafiles.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <cstdlib>
#include <string>

#include "image/winimg.h"
#include "support/imagefiles.h"
#include "support/testenv.h"

namespace {

const int METAFILE_UNITS_PER_INCH = 96;
const int METAFILE_WIDTH = 64;
const int METAFILE_HEIGHT = 32;

// Left half red, right half blue, drawn in METAFILE_WIDTH x METAFILE_HEIGHT logical units.
void DrawHalves(HDC dc)
{
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT left = {0, 0, METAFILE_WIDTH / 2, METAFILE_HEIGHT};
    RECT right = {METAFILE_WIDTH / 2, 0, METAFILE_WIDTH, METAFILE_HEIGHT};
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
}

void PutWord(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

// A Windows metafile with the placeable header that gives it a size.
std::string PlaceableMetafile()
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, METAFILE_WIDTH, METAFILE_HEIGHT, nullptr);
    DrawHalves(dc);
    HMETAFILE metafile = CloseMetaFile(dc);
    UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
    std::string records(size, '\0');
    GetMetaFileBitsEx(metafile, size, &records[0]);
    DeleteMetaFile(metafile);

    std::string header;
    const unsigned words[] = {0xCDD7, 0x9AC6, 0, 0, 0, METAFILE_WIDTH, METAFILE_HEIGHT, METAFILE_UNITS_PER_INCH, 0, 0};
    unsigned checksum = 0;
    for (unsigned word : words) {
        PutWord(header, word);
        checksum ^= word;
    }
    PutWord(header, checksum);
    return header + records;
}

// An enhanced metafile whose frame is the same physical size as the placeable one.
std::string EnhancedMetafile(const std::string& path)
{
    const int himetricPerInch = 2540;
    RECT frame = {0, 0, METAFILE_WIDTH * himetricPerInch / METAFILE_UNITS_PER_INCH,
                  METAFILE_HEIGHT * himetricPerInch / METAFILE_UNITS_PER_INCH};
    HDC dc = CreateEnhMetaFileA(nullptr, path.c_str(), &frame, nullptr);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, METAFILE_WIDTH, METAFILE_HEIGHT, nullptr);
    SetViewportExtEx(dc, METAFILE_WIDTH, METAFILE_HEIGHT, nullptr);
    DrawHalves(dc);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    return testenv::ReadFile(path);
}

bool Near(COLORREF actual, COLORREF expected, int tolerance)
{
    return abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
           abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
           abs(GetBValue(actual) - GetBValue(expected)) <= tolerance;
}

class PictureLoad : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }

    std::string Write(const char* name, const std::string& contents)
    {
        std::string path = temp.File(name);
        EXPECT_TRUE(testenv::WriteFile(path, contents));
        return path;
    }

    // Expected pixel size of the test metafiles on this screen.
    static void MetafileSize(int& width, int& height)
    {
        HDC screen = GetDC(nullptr);
        width = MulDiv(METAFILE_WIDTH, GetDeviceCaps(screen, LOGPIXELSX), METAFILE_UNITS_PER_INCH);
        height = MulDiv(METAFILE_HEIGHT, GetDeviceCaps(screen, LOGPIXELSY), METAFILE_UNITS_PER_INCH);
        ReleaseDC(nullptr, screen);
    }

    void ExpectRenderedHalves(const char* name, const std::string& contents)
    {
        SCOPED_TRACE(name);
        WINIMG image;
        ASSERT_EQ(1, image.Load(Write(name, contents).c_str()));
        int width = 0, height = 0;
        MetafileSize(width, height);
        EXPECT_NEAR(width, image.bm.bmWidth, 1);
        EXPECT_NEAR(height, image.bm.bmHeight, 1);
        // The bitmap is the image's own: no picture is kept, so Close deletes it.
        EXPECT_EQ(nullptr, image.picture);
        EXPECT_EQ(image.hbm, GetCurrentObject(image.hdc, OBJ_BITMAP));
        EXPECT_TRUE(Near(GetPixel(image.hdc, width / 4, height / 2), RGB(255, 0, 0), 0));
        EXPECT_TRUE(Near(GetPixel(image.hdc, width * 3 / 4, height / 2), RGB(0, 0, 255), 0));
        HBITMAP bitmap = image.hbm;
        image.Close();
        EXPECT_EQ(0u, GetObjectType(bitmap));
    }

    testenv::TempDir temp;
};

TEST_F(PictureLoad, GifIsDecodedByThePictureLoader)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("skin.gif", imagefiles::Gif5x3()).c_str()));
    EXPECT_NE(nullptr, image.picture);
    EXPECT_EQ(5, image.bm.bmWidth);
    EXPECT_EQ(3, image.bm.bmHeight);
    EXPECT_EQ(image.hbm, GetCurrentObject(image.hdc, OBJ_BITMAP));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(image.hdc, 0, 0));
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(image.hdc, 4, 1));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(image.hdc, 2, 2));
}

TEST_F(PictureLoad, JpegNamedPngIsDecodedByThePictureLoader)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("skin.png", imagefiles::Jpeg16x8()).c_str()));
    EXPECT_NE(nullptr, image.picture);
    EXPECT_EQ(16, image.bm.bmWidth);
    EXPECT_EQ(8, image.bm.bmHeight);
    // JPEG is lossy: a flat colour comes back within a few steps.
    EXPECT_TRUE(Near(GetPixel(image.hdc, 8, 4), RGB(0, 128, 255), 6)) << std::hex << GetPixel(image.hdc, 8, 4);
}

TEST_F(PictureLoad, JapanesePathIsWidenedFromTheSystemCodePage)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("背景画像.gif", imagefiles::Gif5x3()).c_str()));
    EXPECT_EQ(5, image.bm.bmWidth);
}

// Close must release the picture exactly once and leave its bitmap to it: with one extra
// reference of ours the bitmap survives Close, and our release is the last one.
TEST_F(PictureLoad, CloseReleasesThePictureOnceAndLeavesItsBitmapToIt)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("skin.gif", imagefiles::Gif5x3()).c_str()));
    IPicture* picture = image.picture;
    HBITMAP bitmap = image.hbm;
    picture->AddRef();
    image.Close();
    EXPECT_EQ(nullptr, image.picture);
    EXPECT_EQ(nullptr, image.hbm);
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(bitmap)) << "the picture's bitmap was deleted";
    EXPECT_EQ(0u, picture->Release());
    EXPECT_EQ(0u, GetObjectType(bitmap));
    image.Close();
}

TEST_F(PictureLoad, LoadingAgainReleasesThePicture)
{
    std::string path = Write("skin.gif", imagefiles::Gif5x3());
    WINIMG image;
    ASSERT_EQ(1, image.Load(path.c_str()));
    IPicture* first = image.picture;
    first->AddRef();
    ASSERT_EQ(1, image.Load(path.c_str()));
    EXPECT_NE(first, image.picture);
    EXPECT_EQ(0u, first->Release());
}

TEST_F(PictureLoad, DestructionReleasesThePicture)
{
    IPicture* picture = nullptr;
    {
        WINIMG image;
        ASSERT_EQ(1, image.Load(Write("skin.gif", imagefiles::Gif5x3()).c_str()));
        picture = image.picture;
        picture->AddRef();
    }
    EXPECT_EQ(0u, picture->Release());
}

TEST_F(PictureLoad, UnknownContentFails)
{
    const char text[] = "[GLOBAL]\r\nTimer=1\r\n";
    WINIMG image;
    EXPECT_EQ(0, image.Load(Write("skin.jpg", std::string(text, sizeof text - 1)).c_str()));
    EXPECT_EQ(nullptr, image.picture);
    EXPECT_EQ(nullptr, image.hbm);
    // A GIF cut after its header.
    EXPECT_EQ(0, image.Load(Write("cut.gif", imagefiles::Gif5x3().substr(0, 13)).c_str()));
    EXPECT_EQ(nullptr, image.picture);
    EXPECT_EQ(nullptr, image.hbm);
}

TEST_F(PictureLoad, PlaceableMetafileIsRenderedAtItsSize)
{
    ExpectRenderedHalves("skin.wmf", PlaceableMetafile());
}

TEST_F(PictureLoad, EnhancedMetafileIsRenderedAtItsSize)
{
    ExpectRenderedHalves("skin.emf", EnhancedMetafile(temp.File("made.emf")));
}

}  // namespace
