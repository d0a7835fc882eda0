// WINIMG::Load: the choice of loader by content, failures, and what a load leaves behind.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "image/winimg.h"
#include "support/imagefiles.h"
#include "support/testenv.h"

namespace {

void ExpectEmpty(const WINIMG& image)
{
    EXPECT_EQ(nullptr, image.hdc);
    EXPECT_EQ(nullptr, image.hbm);
    EXPECT_EQ(nullptr, image.picture);
    EXPECT_EQ(0, image.bm.bmWidth);
    EXPECT_EQ(0, image.bm.bmHeight);
}

class ImageLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite = testenv::PathFromEnvironment("VARNOK_PNGSUITE");
        png = testenv::ReadFile(suite + "\\basn2c08.png");
        if (png.empty())
            GTEST_SKIP() << "VARNOK_PNGSUITE does not name libpng's test images";
    }

    std::string Write(const char* name, const std::string& contents)
    {
        std::string path = temp.File(name);
        EXPECT_TRUE(testenv::WriteFile(path, contents));
        return path;
    }

    std::string suite;
    std::string png;
    testenv::TempDir temp;
};

TEST_F(ImageLoad, PngNamedBmpIsDecodedAsPng)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("skin.BMP", png).c_str()));
    EXPECT_EQ(32, image.bm.bmWidth);
    EXPECT_EQ(24, image.bm.bmBitsPixel);
    EXPECT_NE(nullptr, image.bm.bmBits) << "the PNG loader makes a DIB section";
    EXPECT_EQ(nullptr, image.picture);
}

TEST_F(ImageLoad, BitmapNamedPngLoadsAsBitmap)
{
    const std::vector<COLORREF> pixels = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255),
                                          RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 0)};
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("skin.PNG", imagefiles::BitmapFile(3, 2, pixels)).c_str()));
    EXPECT_EQ(3, image.bm.bmWidth);
    EXPECT_EQ(2, image.bm.bmHeight);
    EXPECT_EQ(nullptr, image.picture);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pixels[static_cast<size_t>(y * 3 + x)], GetPixel(image.hdc, x, y)) << x << "," << y;
}

TEST_F(ImageLoad, MissingFileFailsAndLeavesNothing)
{
    WINIMG image;
    EXPECT_EQ(0, image.Load(temp.File("missing.png").c_str()));
    ExpectEmpty(image);
    EXPECT_EQ(0, image.Load(nullptr));
    ExpectEmpty(image);
}

TEST_F(ImageLoad, FilesTooShortForAnySignatureFail)
{
    const char* contents[] = {"", "B", "BM", "\x89PN", "\x89PNG"};
    int index = 0;
    for (const char* text : contents) {
        SCOPED_TRACE(index);
        WINIMG image;
        EXPECT_EQ(0, image.Load(Write(("short" + std::to_string(index++) + ".png").c_str(), text).c_str()));
        ExpectEmpty(image);
    }
}

TEST_F(ImageLoad, LoadingAgainReleasesTheFirstImage)
{
    std::string path = Write("a.png", png);
    WINIMG image;
    ASSERT_EQ(1, image.Load(path.c_str()));
    HDC firstDC = image.hdc;
    HBITMAP firstBitmap = image.hbm;
    ASSERT_EQ(1, image.Load(path.c_str()));
    EXPECT_EQ(0u, GetObjectType(firstDC));
    EXPECT_EQ(0u, GetObjectType(firstBitmap));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(image.hbm));
}

TEST_F(ImageLoad, FailedLoadReleasesTheImageBefore)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load(Write("a.png", png).c_str()));
    HBITMAP first = image.hbm;
    EXPECT_EQ(0, image.Load(temp.File("missing.png").c_str()));
    EXPECT_EQ(0u, GetObjectType(first));
    ExpectEmpty(image);
}

TEST_F(ImageLoad, CloseAndDestructionFreeEverythingOnce)
{
    std::string path = Write("a.png", png);
    HDC dc;
    HBITMAP bitmap;
    {
        WINIMG image;
        ASSERT_EQ(1, image.Load(path.c_str()));
        image.Close();
        ExpectEmpty(image);
        ASSERT_EQ(1, image.Load(path.c_str()));
        dc = image.hdc;
        bitmap = image.hbm;
    }
    EXPECT_EQ(0u, GetObjectType(dc));
    EXPECT_EQ(0u, GetObjectType(bitmap));
}

// Each damaged file is a PNG by its first bytes, so libpng has to refuse it.
class CorruptPng : public ImageLoad {
protected:
    std::vector<imagefiles::PNGCHUNK> Chunks() { return imagefiles::ReadChunks(png); }

    static void SetHeader(std::vector<imagefiles::PNGCHUNK>& chunks, uint32_t width, uint32_t height, int depth,
                          int colorType)
    {
        std::string& ihdr = chunks[0].data;
        for (int i = 0; i < 4; ++i) {
            ihdr[static_cast<size_t>(i)] = static_cast<char>(width >> (24 - 8 * i));
            ihdr[static_cast<size_t>(4 + i)] = static_cast<char>(height >> (24 - 8 * i));
        }
        ihdr[8] = static_cast<char>(depth);
        ihdr[9] = static_cast<char>(colorType);
    }

    void ExpectRefused(const char* what, const std::string& contents)
    {
        SCOPED_TRACE(what);
        WINIMG image;
        EXPECT_EQ(0, image.Load(Write("corrupt.png", contents).c_str()));
        ExpectEmpty(image);
    }
};

TEST_F(CorruptPng, TruncatedFilesAreRefused)
{
    ExpectRefused("signature only", png.substr(0, 8));
    ExpectRefused("cut inside the header", png.substr(0, 20));
    ExpectRefused("cut inside the image data", png.substr(0, png.size() / 2));
    ExpectRefused("no end chunk", png.substr(0, png.size() - 12));
}

TEST_F(CorruptPng, DamagedChunksAreRefused)
{
    std::string badCrc = png;
    badCrc[29] ^= 0x55;
    ExpectRefused("header CRC", badCrc);

    std::vector<imagefiles::PNGCHUNK> chunks = Chunks();
    for (auto& chunk : chunks)
        if (chunk.type == "IDAT")
            for (size_t i = 2; i < chunk.data.size(); i += 3)
                chunk.data[i] = static_cast<char>(chunk.data[i] ^ 0xA5);
    ExpectRefused("compressed data", imagefiles::WriteChunks(chunks));

    std::vector<imagefiles::PNGCHUNK> noData;
    for (const auto& chunk : Chunks())
        if (chunk.type != "IDAT")
            noData.push_back(chunk);
    ExpectRefused("no image data", imagefiles::WriteChunks(noData));
}

TEST_F(CorruptPng, AbsurdHeadersAreRefused)
{
    std::vector<imagefiles::PNGCHUNK> chunks = Chunks();
    SetHeader(chunks, 0, 32, 8, 2);
    ExpectRefused("zero width", imagefiles::WriteChunks(chunks));
    SetHeader(chunks, 32, 32, 16, 3);
    ExpectRefused("16-bit palette", imagefiles::WriteChunks(chunks));
    SetHeader(chunks, 32, 32, 8, 7);
    ExpectRefused("unknown colour type", imagefiles::WriteChunks(chunks));
    SetHeader(chunks, 32, 32, 8, 3);
    ExpectRefused("palette image without palette", imagefiles::WriteChunks(chunks));
    SetHeader(chunks, 0x7FFFFFFF, 0x7FFFFFFF, 8, 2);
    ExpectRefused("beyond the PNG limits", imagefiles::WriteChunks(chunks));
    // Within libpng's limits but far beyond any bitmap GDI can make: refused before the rows
    // are allocated.
    SetHeader(chunks, 100000, 100000, 8, 6);
    ExpectRefused("larger than a bitmap", imagefiles::WriteChunks(chunks));
}

// Committed private memory of this process, counted region by region (the process memory
// counters read zero under Wine).
SIZE_T CommittedBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION info;
    const char* address = nullptr;
    while (VirtualQuery(address, &info, sizeof info) == sizeof info) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
        address = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    }
    return total;
}

// The rows (64 MB here) are allocated before the image data turns out to be short; the
// error return must free them and close the file.
TEST_F(CorruptPng, LargeHeaderWithLittleDataFreesItsRows)
{
    std::vector<imagefiles::PNGCHUNK> chunks = Chunks();
    SetHeader(chunks, 4000, 4000, 8, 6);
    std::string path = Write("large.png", imagefiles::WriteChunks(chunks));
    const SIZE_T rowsBytes = SIZE_T{4000} * 4000 * 4;
    WINIMG image;
    ASSERT_EQ(0, image.Load(path.c_str()));
    SIZE_T before = CommittedBytes();
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(0, image.Load(path.c_str())) << "round " << i;
    EXPECT_LT(CommittedBytes(), before + 2 * rowsBytes);
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "the file was left open";
}

}  // namespace
