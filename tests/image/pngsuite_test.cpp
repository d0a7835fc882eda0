// The PNG loader against the test images that come with libpng's source.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/winimg.h"
#include "support/imagefiles.h"
#include "support/testenv.h"

namespace {

// Every image of the folder and its sub-folders, as paths relative to it; corrupt
// samples (x*.png) are left out.
void ListImages(const std::string& root, const std::string& relative, std::vector<std::string>& out)
{
    std::string folder = relative.empty() ? root : root + "\\" + relative;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = data.cFileName;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                ListImages(root, path, out);
        } else if (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".png") == 0 &&
                   name[0] != 'x' && name[0] != 'X') {
            out.push_back(path);
        }
    } while (FindNextFileA(find, &data));
    FindClose(find);
}

class PngSuite : public ::testing::Test {
protected:
    void SetUp() override
    {
        suite = testenv::PathFromEnvironment("VARNOK_PNGSUITE");
        if (suite.empty() || !testenv::FileExists(suite + "\\basn0g01.png"))
            GTEST_SKIP() << "VARNOK_PNGSUITE does not name libpng's test images";
        ListImages(suite, "", images);
        ASSERT_GE(images.size(), 30u) << "too few test images in " << suite;
    }

    std::string suite;
    std::vector<std::string> images;
    testenv::TempDir temp;
};

TEST_F(PngSuite, EveryImageLoadsWithItsSizeAndDepth)
{
    for (const std::string& name : images) {
        SCOPED_TRACE(name);
        imagefiles::PNGHEADER header = imagefiles::ReadHeader(testenv::ReadFile(suite + "\\" + name));
        WINIMG image;
        ASSERT_EQ(1, image.Load((suite + "\\" + name).c_str()));
        EXPECT_EQ(nullptr, image.picture);
        EXPECT_EQ(static_cast<LONG>(header.width), image.bm.bmWidth);
        EXPECT_EQ(static_cast<LONG>(header.height), image.bm.bmHeight);
        bool alpha = header.colorType == 4 || header.colorType == 6 || header.transparency;
        EXPECT_EQ(alpha ? 32 : 24, image.bm.bmBitsPixel);
        EXPECT_EQ(1, image.bm.bmPlanes);
        EXPECT_NE(nullptr, image.bm.bmBits) << "not a DIB section";
        EXPECT_EQ(static_cast<LONG>((image.bm.bmBitsPixel * header.width + 31) / 32 * 4), image.bm.bmWidthBytes);
        EXPECT_EQ(image.hbm, GetCurrentObject(image.hdc, OBJ_BITMAP));
    }
}

// The reference is decoded on the build host by tests/image/png_reference.py, which shares
// no code with libpng. Samples of 8 bits or fewer must match exactly: libpng's 8-bit gamma
// table rounds the same formula. For 16-bit samples libpng builds the 8-bit outputs from the
// boundaries between them (inverse gamma through a fixed-point reciprocal) rather than from
// each input, so a sample may land one step from the exact value: ±1 there, nothing more.
TEST_F(PngSuite, PixelsMatchAnIndependentDecoding)
{
    std::string reference = testenv::PathFromEnvironment("VARNOK_PNGREF");
    if (reference.empty() || !testenv::FileExists(reference + "\\stamp"))
        GTEST_SKIP() << "no reference decoding (the build step needs python3)";
    int compared = 0;
    for (const std::string& name : images) {
        SCOPED_TRACE(name);
        std::string file = testenv::ReadFile(suite + "\\" + name);
        const int tolerance = imagefiles::ReadHeader(file).depth == 16 ? 1 : 0;
        std::string expected = testenv::ReadFile(reference + "\\" + name + ".ref");
        ASSERT_FALSE(expected.empty()) << "no reference for " << name;
        int width = 0, height = 0, bits = 0, consumed = 0;
        ASSERT_EQ(3, sscanf(expected.c_str(), "%d %d %d\n%n", &width, &height, &bits, &consumed));
        WINIMG image;
        ASSERT_EQ(1, image.Load((suite + "\\" + name).c_str()));
        ASSERT_EQ(width, image.bm.bmWidth);
        ASSERT_EQ(height, image.bm.bmHeight);
        ASSERT_EQ(bits, image.bm.bmBitsPixel);
        std::vector<unsigned char> actual = imagefiles::DibRows(image.bm);
        ASSERT_EQ(expected.size() - static_cast<size_t>(consumed), actual.size());
        int worst = 0;
        size_t worstAt = 0;
        for (size_t i = 0; i < actual.size(); ++i) {
            int difference = abs(actual[i] - static_cast<unsigned char>(expected[static_cast<size_t>(consumed) + i]));
            if (difference > worst) {
                worst = difference;
                worstAt = i;
            }
        }
        EXPECT_LE(worst, tolerance) << "byte " << worstAt << " (pixel " << worstAt / (bits / 8) << ", channel "
                                    << worstAt % (bits / 8) << ")";
        ++compared;
    }
    EXPECT_EQ(static_cast<int>(images.size()), compared);
}

// The interlaced samples have no gAMA chunk while most of their twins have one; both are
// compared without it so that only the decoding differs.
TEST_F(PngSuite, InterlacedImageEqualsItsTwin)
{
    int pairs = 0;
    for (const std::string& name : images) {
        std::string interlaced = testenv::ReadFile(suite + "\\" + name);
        if (imagefiles::ReadHeader(interlaced).interlace != 1)
            continue;
        size_t slash = name.rfind('\\');
        std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
        std::string twin = testenv::ReadFile(suite + "\\" + base.substr(1));
        if (twin.empty() || imagefiles::ReadHeader(twin).interlace != 0)
            continue;
        SCOPED_TRACE(name);
        std::string first = temp.File("interlaced.png");
        std::string second = temp.File("plain.png");
        ASSERT_TRUE(testenv::WriteFile(first, imagefiles::WithoutChunk(interlaced, "gAMA")));
        ASSERT_TRUE(testenv::WriteFile(second, imagefiles::WithoutChunk(twin, "gAMA")));
        WINIMG a, b;
        ASSERT_EQ(1, a.Load(first.c_str()));
        ASSERT_EQ(1, b.Load(second.c_str()));
        ASSERT_EQ(b.bm.bmWidth, a.bm.bmWidth);
        ASSERT_EQ(b.bm.bmHeight, a.bm.bmHeight);
        ASSERT_EQ(b.bm.bmBitsPixel, a.bm.bmBitsPixel);
        EXPECT_TRUE(imagefiles::DibRows(a.bm) == imagefiles::DibRows(b.bm));
        ++pairs;
    }
    EXPECT_GE(pairs, 20);
}

TEST_F(PngSuite, SixteenBitGrayWithTransparencyBecomesGrayBgra)
{
    std::string path = suite + "\\ftbwn0g16.png";
    imagefiles::PNGHEADER header = imagefiles::ReadHeader(testenv::ReadFile(path));
    ASSERT_EQ(16, header.depth);
    ASSERT_EQ(0, header.colorType);
    ASSERT_TRUE(header.transparency);
    WINIMG image;
    ASSERT_EQ(1, image.Load(path.c_str()));
    ASSERT_EQ(32, image.bm.bmBitsPixel);
    std::vector<unsigned char> pixels = imagefiles::DibRows(image.bm);
    int transparent = 0, opaque = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        EXPECT_EQ(pixels[i], pixels[i + 1]);
        EXPECT_EQ(pixels[i], pixels[i + 2]);
        EXPECT_TRUE(pixels[i + 3] == 0 || pixels[i + 3] == 255);
        (pixels[i + 3] ? opaque : transparent)++;
    }
    EXPECT_GT(transparent, 0);
    EXPECT_GT(opaque, 0);
}

TEST_F(PngSuite, PaletteWithoutTransparencyIsTwentyFourBit)
{
    WINIMG image;
    ASSERT_EQ(1, image.Load((suite + "\\basn3p08.png").c_str()));
    EXPECT_EQ(24, image.bm.bmBitsPixel);
}

}  // namespace
