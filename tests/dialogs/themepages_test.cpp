#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/appstate.h"
#include "base/dpi.h"
#include "config/theme.h"
#include "dialogs/pages.h"
#include "dialogs/settingsdialog.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/dialogwatch.h"
#include "support/mask_bitmap_file.h"
#include "support/panelwindow.h"
#include "support/testenv.h"
#include "ui/resourcemodule.h"

namespace {

// The pages over a panel window with its render resources, from the program's own templates, with
// a red 40 x 20 skin and a mask black on its left half in mode 4. Message boxes are counted and
// closed; the theme comes back as it was.
class ThemePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.reset(new THEMEDATA(Theme));
        ResourceModule = testenv::ProgramResources();
        ASSERT_NE(nullptr, ResourceModule) << "VARNOK_EXE";
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        App.mainWindow = panel_.Handle();
        ASSERT_TRUE(LayOutPanel(WindowDpi(panel_.Handle())));
        ASSERT_TRUE(BuildRenderResources(panel_.Handle()) && WriteImages(true));
        snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", skin_.c_str());
        snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "%s", mask_.c_str());
        Theme.Mask.Mode = 4;
        watch_.reset(new testenv::DialogWatch([this](HWND box) {
            ++boxes_;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        }));
    }
    void TearDown() override
    {
        watch_.reset();
        if (page_)
            DestroyWindow(page_);
        FreeRenderResources();
        Theme = *saved_;
    }

    // Images that load, or a skin that is no image and no mask file at all.
    bool WriteImages(bool loadable) const
    {
        std::vector<DWORD> red(40 * 20, 0xFF0000);
        std::vector<DWORD> mask(40 * 20, 0xFFFFFF);
        for (size_t i = 0; i < mask.size(); i += 40)
            std::fill_n(mask.begin() + i, 20, 0);
        if (!loadable)
            return testenv::WriteFile(skin_, "BM?") && (DeleteFileA(mask_.c_str()) || !testenv::FileExists(mask_));
        return WriteMaskBitmap(skin_.c_str(), red.data(), 40, 20) && WriteMaskBitmap(mask_.c_str(), mask.data(), 40, 20);
    }

    // The Skin page alone, as the frame makes it, for a panel of this size; the preview's place.
    RECT MakeSkinPage(int panelWidth, int panelHeight)
    {
        if (page_)
            DestroyWindow(page_);
        PanelRes.clientW = panelWidth;
        PanelRes.clientH = panelHeight;
        page_ = CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_PAGE_SKIN), panel_.Handle(), SkinPageProc, 0);
        RECT rect = {};
        GetWindowRect(GetDlgItem(page_, IDC_SKIN_PREVIEW), &rect);
        MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The preview as it paints itself (WM_PRINTCLIENT), one row across its middle.
    std::vector<COLORREF> PreviewRow() const
    {
        HWND preview = GetDlgItem(page_, IDC_SKIN_PREVIEW);
        RECT client;
        GetClientRect(preview, &client);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, client.right, client.bottom));
        SendMessageA(preview, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        std::vector<COLORREF> row;
        for (int x = 0; x < client.right; ++x)
            row.push_back(GetPixel(dc, x, client.bottom / 2));
        DeleteObject(SelectObject(dc, old));
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return row;
    }

    testenv::TempDir dir_;
    const std::string skin_ = dir_.File("SKIN.BMP");
    const std::string mask_ = dir_.File("MASK.BMP");
    testenv::PanelWindow panel_;
    HWND page_ = nullptr;
    int boxes_ = 0;

private:
    std::unique_ptr<THEMEDATA> saved_;
    std::unique_ptr<testenv::DialogWatch> watch_;
};

}  // namespace

TEST_F(ThemePages, ThePreviewShowsTheMaskBlackOverTheSkinInBitmapModeAndNothingItCannotLoad)
{
    MakeSkinPage(200, 100);
    std::vector<COLORREF> row = PreviewRow();
    ASSERT_GT(row.size(), 40u);
    EXPECT_EQ(RGB(0, 0, 0), row[row.size() / 4]);
    EXPECT_EQ(RGB(255, 0, 0), row[row.size() * 3 / 4]);
    HWND list = GetDlgItem(page_, IDC_MASK_MODE);
    SendMessageA(list, CB_SETCURSEL, 3, 0);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_MASK_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(RGB(255, 0, 0), PreviewRow()[row.size() / 4]);

    ASSERT_TRUE(WriteImages(false));
    MakeSkinPage(200, 100);
    EXPECT_EQ(std::vector<COLORREF>(row.size(), GetSysColor(COLOR_BTNFACE)), PreviewRow());
    EXPECT_EQ(0, boxes_);
}

// The panel's proportions, centred; a panel without height keeps the template's size, and one of
// absurd proportions still gives a preview within the page.
TEST_F(ThemePages, ThePreviewTakesThePanelsProportionsWithinThePage)
{
    const RECT field = MakeSkinPage(0, 0);
    RECT page;
    GetClientRect(page_, &page);
    const LONG width = field.right - field.left;
    const LONG height = field.bottom - field.top;
    for (SIZE panel : {SIZE{200, 100}, SIZE{200, 0}, SIZE{1000000, 1}, SIZE{1, 1000000}}) {
        const RECT rect = MakeSkinPage(panel.cx, panel.cy);
        const SIZE expected = panel.cx == 200 ? SIZE{panel.cy ? 2 * height : width, height}
                                              : panel.cx == 1 ? SIZE{1, height} : SIZE{page.right, 1};
        EXPECT_EQ((std::vector<LONG>{page.right / 2 - expected.cx / 2, field.top, expected.cx, expected.cy}),
                  (std::vector<LONG>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}))
            << panel.cx << " x " << panel.cy;
    }
}

// Under Wine the process's GDI counters read 0. So: the fonts and brushes the pages hand to their
// samples and swatches are gone with the dialog, and the room left in the GDI handle table does not
// shrink over many openings. The dialog is made as the menu makes it but not shown (closing a shown
// one waits for a window manager the test display lacks), from the program mapped as an image as it
// runs: only then does the system share the Version page's icon between openings.
TEST_F(ThemePages, OpeningAndClosingTheDialogManyTimesKeepsNoGdiObject)
{
    const int ROUNDS = 40;
    HMODULE program = LoadLibraryExA(testenv::PathFromEnvironment("VARNOK_EXE").c_str(), nullptr,
                                     DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, ResourceModule = program);
    auto freeHandles = [] {
        std::vector<HRGN> regions;
        for (HRGN region; regions.size() < 1000000 && (region = CreateRectRgn(0, 0, 1, 1)) != nullptr;)
            regions.push_back(region);
        for (HRGN region : regions)
            DeleteObject(region);
        return static_cast<long long>(regions.size());
    };
    auto open = [&] {
        return CreateDialogParamA(program, MAKEINTRESOURCEA(IDD_SETTINGS), panel_.Handle(), SettingsDialogProc, 0);
    };
    auto close = [](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return dialog && !IsWindow(dialog);
    };

    HWND dialog = open();
    std::vector<HGDIOBJ> handed;
    HDC dc = CreateCompatibleDC(nullptr);
    for (HWND page = GetWindow(dialog, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(control);
            if (!(GetWindowLongPtrA(control, GWL_STYLE) & SS_SUNKEN) || id == IDC_SKIN_PREVIEW || id >= IDC_INFO_ADAPTER)
                continue;
            // A font sample, or a swatch.
            const bool sample = id < IDC_FRAME_ENABLE || id == IDC_UNIT_FONT_SAMPLE;
            handed.push_back(reinterpret_cast<HGDIOBJ>(
                sample ? SendMessageA(control, WM_GETFONT, 0, 0)
                       : SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control))));
        }
    }
    DeleteDC(dc);
    ASSERT_EQ(4u + 9u + 13u + 2u, handed.size());  // Label, Color, Graph (12 swatches, 1 sample), Skin
    for (HGDIOBJ object : handed)
        EXPECT_NE(0u, GetObjectType(object));
    ASSERT_TRUE(close(dialog));
    for (HGDIOBJ object : handed)
        EXPECT_EQ(0u, GetObjectType(object));

    // One object kept per opening would take ROUNDS handles; images kept past the closing show
    // between the last opening without images and the last one with them.
    const long long room = freeHandles();
    for (int round = 0; round < ROUNDS; ++round)
        ASSERT_TRUE(WriteImages(round % 2 == 0) && close(open()));
    const long long withoutImages = freeHandles();
    ASSERT_TRUE(WriteImages(true) && close(open()));
    const long long withImages = freeHandles();
    EXPECT_LT(room - withImages, ROUNDS / 4);
    EXPECT_LE(withoutImages - withImages, 1);
    EXPECT_EQ(0, boxes_);
    ResourceModule = testenv::ProgramResources();
    FreeLibrary(program);
}
