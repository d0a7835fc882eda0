// Images that are honest about their size but not about their cost (tests/support/hostileimages):
// each goes through every path that loads an image, the skin loader, the render resources with a
// frame painted on them, and the mask builder. A refused file is refused by all of them, a sound
// one still loads; none may crash or hang. What each load costs is measured by the image benchmark.
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
#include "support/hostileimages.h"
#include "support/panelfixture.h"

namespace {

using hostileimages::HOSTILEIMAGE;

class HostileImages : public painttest::PictureTest {
protected:
    void Check(const HOSTILEIMAGE& image)
    {
        SCOPED_TRACE(image.name);
        const bool refused = image.outcome == hostileimages::REFUSED;
        const std::string path = dir.File(image.name + ".img");
        ASSERT_TRUE(testenv::WriteFile(path, image.bytes));

        EXPECT_EQ(refused, CheckImageFile(path.c_str()) == IMAGE_REFUSED);
        WINIMG skin;
        EXPECT_EQ(refused ? 0 : 1, skin.Load(path.c_str()));
        if (!refused) {
            EXPECT_TRUE(IsDrawableImageSize(skin.bm.bmWidth, skin.bm.bmHeight));
        }
        skin.Close();

        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", path.c_str());
        Theme.Skin.Enable = 1;
        Rebuild();
        EXPECT_EQ(!refused, PanelRes.skin.hbm != nullptr);
        Compose();

        // Only Windows bitmaps serve as masks: none of these makes a region.
        HRGN region = MaskRegionFromFile(PanelRes.clientRect, path.c_str());
        EXPECT_EQ(nullptr, region);
        if (region)
            DeleteObject(region);
    }
};

TEST_F(HostileImages, RasterFilesBeyondTheirBudgetAreRefusedAndSoundOnesLoad)
{
    const std::vector<HOSTILEIMAGE> cases = hostileimages::RasterCases();
    ASSERT_FALSE(cases.empty());
    for (const HOSTILEIMAGE& image : cases)
        Check(image);
}

TEST_F(HostileImages, MetafilesBeyondTheirBudgetAreRefusedAndSoundOnesLoad)
{
    const std::vector<HOSTILEIMAGE> cases = hostileimages::MetafileCases();
    ASSERT_FALSE(cases.empty());
    for (const HOSTILEIMAGE& image : cases)
        Check(image);
}

}  // namespace
