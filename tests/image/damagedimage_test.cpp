// Damaged image files of every format the panel loads: lying headers, huge declared sizes,
// truncations and random byte changes (fixed seeds, so every run sees the same files). Each goes
// through the skin loader, the render resources with one frame painted on them, and the mask
// builder; none may crash or hang. Files whose headers lie are refused, sound ones still load.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <string>
#include <vector>

#include "config/theme.h"
#include "image/imagecheck.h"
#include "image/imagelimits.h"
#include "image/winimg.h"
#include "render/panelres.h"
#include "shape/maskregion.h"
#include "support/damagedimages.h"
#include "support/panelfixture.h"

using damagedimages::CHECKED;
using damagedimages::EITHER;
using damagedimages::IMAGECASE;
using damagedimages::LOADS;
using damagedimages::REFUSED;

namespace {

class DamagedImages : public painttest::PictureTest {
protected:
    void Check(const IMAGECASE& image)
    {
        SCOPED_TRACE(image.name);
        const std::string path = dir.File(image.name + ".img");
        ASSERT_TRUE(testenv::WriteFile(path, image.bytes));

        if (image.outcome != EITHER) {
            EXPECT_EQ(image.outcome == REFUSED, CheckImageFile(path.c_str()) == IMAGE_REFUSED);
        }
        WINIMG skin;
        const int loaded = skin.Load(path.c_str());
        if (image.outcome == LOADS || image.outcome == REFUSED) {
            EXPECT_EQ(image.outcome == LOADS, loaded == 1);
        }
        if (loaded) {
            EXPECT_TRUE(IsDrawableImageSize(skin.bm.bmWidth, skin.bm.bmHeight));
        }
        skin.Close();

        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", path.c_str());
        Theme.Skin.Enable = 1;
        Rebuild();
        Compose();

        HRGN region = MaskRegionFromFile(PanelRes.clientRect, path.c_str());
        if (image.outcome == REFUSED) {
            EXPECT_EQ(nullptr, region);
        } else if (image.outcome == LOADS && image.bytes.compare(0, 2, "BM") == 0) {
            EXPECT_NE(nullptr, region);
        }
        if (region)
            DeleteObject(region);
    }
};

TEST_F(DamagedImages, SoundFilesOfEveryKindAndHeaderVersionLoad)
{
    for (const IMAGECASE& image : damagedimages::SoundFiles())
        Check(image);
}

TEST_F(DamagedImages, LyingHeadersAndHugeDeclaredSizesAreRefused)
{
    for (const IMAGECASE& image : damagedimages::LyingFiles())
        Check(image);
}

TEST_F(DamagedImages, RandomlyChangedFilesNeitherCrashNorHang)
{
    for (const IMAGECASE& image : damagedimages::ChangedFiles())
        Check(image);
}

}  // namespace
