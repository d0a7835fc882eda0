#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "app/appstate.h"
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

const COLORREF Red = RGB(255, 0, 0);
const COLORREF Black = RGB(0, 0, 0);

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}

HWND PageWith(HWND dialog, int id)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, id))
            return child;
    return nullptr;
}

// A skin of one colour, and a mask black on its left half and white on its right, as bitmap files.
bool WriteImages(const std::string& skin, const std::string& mask)
{
    const int width = 40;
    const int height = 20;
    std::vector<DWORD> red(width * height, 0xFF0000);
    std::vector<DWORD> halves(width * height, 0xFFFFFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            halves[y * width + x] = 0;
    return WriteMaskBitmap(skin.c_str(), red.data(), width, height) &&
           WriteMaskBitmap(mask.c_str(), halves.data(), width, height);
}

// The pages over a panel window with its render resources, made from the program's own templates;
// every message box that appears is counted and closed. The theme comes back as it was.
class ThemePages : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_.reset(new THEMEDATA(Theme));
        savedModule_ = ResourceModule;
        ResourceModule = testenv::ProgramResources();
        ASSERT_NE(nullptr, ResourceModule) << "VARNOK_EXE";
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        ASSERT_NE(nullptr, panel_.Handle());
        App.mainWindow = panel_.Handle();
        PanelRes.clientRect = panel_.ClientRect();
        ASSERT_TRUE(BuildRenderResources(panel_.Handle()));
        ASSERT_TRUE(WriteImages(skin_, mask_));
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
        if (App.settingsDialog)
            DestroyWindow(App.settingsDialog);
        FreeRenderResources();
        App.mainWindow = nullptr;
        Theme = *saved_;
        ResourceModule = savedModule_;
    }

    // The Skin page alone, as the frame makes it, for a panel of this size.
    HWND MakeSkinPage(int panelWidth, int panelHeight)
    {
        if (page_)
            DestroyWindow(page_);
        PanelRes.clientW = panelWidth;
        PanelRes.clientH = panelHeight;
        page_ = CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_PAGE_SKIN), panel_.Handle(), SkinPageProc, 0);
        return page_;
    }

    // The preview as it paints itself, printed into a bitmap of its client area.
    std::vector<COLORREF> PrintPreview(SIZE& size) const
    {
        HWND preview = GetDlgItem(page_, IDC_SKIN_PREVIEW);
        RECT client;
        GetClientRect(preview, &client);
        size = SIZE{client.right, client.bottom};
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
        HGDIOBJ old = SelectObject(dc, bitmap);
        SendMessageA(preview, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return pixels;
    }

    COLORREF PreviewAt(double across) const
    {
        SIZE size;
        std::vector<COLORREF> pixels = PrintPreview(size);
        return pixels[(size.cy / 2) * size.cx + static_cast<int>(across * size.cx)];
    }

    // The preview field's place on the page.
    RECT PreviewRect() const
    {
        RECT rect;
        GetWindowRect(GetDlgItem(page_, IDC_SKIN_PREVIEW), &rect);
        MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    testenv::TempDir dir_;
    const std::string skin_ = dir_.File("SKIN.BMP");
    const std::string mask_ = dir_.File("MASK.BMP");
    testenv::PanelWindow panel_;
    HWND page_ = nullptr;
    int boxes_ = 0;

private:
    std::unique_ptr<THEMEDATA> saved_;
    HINSTANCE savedModule_ = nullptr;
    std::unique_ptr<testenv::DialogWatch> watch_;
};

}  // namespace

TEST_F(ThemePages, ThePreviewShowsTheMaskBlackOverTheSkinInBitmapModeOnly)
{
    ASSERT_NE(nullptr, MakeSkinPage(200, 100));
    EXPECT_EQ(Black, PreviewAt(0.25));
    EXPECT_EQ(Red, PreviewAt(0.75));

    HWND list = GetDlgItem(page_, IDC_MASK_MODE);
    SendMessageA(list, CB_SETCURSEL, 3, 0);
    SendMessageA(page_, WM_COMMAND, MAKEWPARAM(IDC_MASK_MODE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(Red, PreviewAt(0.25));
    EXPECT_EQ(Red, PreviewAt(0.75));
}

TEST_F(ThemePages, ImagesThatDoNotLoadLeaveThePreviewPlainWithoutAMessage)
{
    ASSERT_TRUE(testenv::WriteFile(skin_, "BM but no bitmap at all"));
    snprintf(Theme.Mask.File, sizeof Theme.Mask.File, "%s", dir_.File("MISSING.BMP").c_str());
    ASSERT_NE(nullptr, MakeSkinPage(200, 100));
    Pump();
    SIZE size;
    for (COLORREF pixel : PrintPreview(size))
        ASSERT_EQ(GetSysColor(COLOR_BTNFACE), pixel);
    EXPECT_GT(size.cx * size.cy, 0);
    EXPECT_EQ(0, boxes_);
}

TEST_F(ThemePages, ThePreviewTakesThePanelsProportionsWithinThePage)
{
    ASSERT_NE(nullptr, MakeSkinPage(0, 0));
    const RECT field = PreviewRect();  // the template's own size
    RECT page;
    GetClientRect(page_, &page);

    struct {
        int panelWidth;
        int panelHeight;
    } panels[] = {{200, 100}, {200, 0}, {0, 100}, {-5, 100}, {1000000, 1}, {1, 1000000}};
    for (const auto& panel : panels) {
        MakeSkinPage(panel.panelWidth, panel.panelHeight);
        RECT rect = PreviewRect();
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        SCOPED_TRACE(std::to_string(panel.panelWidth) + " x " + std::to_string(panel.panelHeight));
        EXPECT_EQ(field.top, rect.top);
        EXPECT_EQ(page.right / 2 - width / 2, rect.left);
        EXPECT_TRUE(width >= 1 && width <= page.right && height >= 1 && height <= field.bottom - field.top);
        if (panel.panelWidth == 200 && panel.panelHeight == 100) {
            EXPECT_EQ(2 * height, width);
        } else if (panel.panelWidth <= 0 || panel.panelHeight <= 0) {
            EXPECT_EQ(field.right - field.left, width);
        }
    }
    EXPECT_EQ(0, boxes_);
}

// Under Wine the process's GDI counters read 0, so what the pages keep is shown in two other ways:
// the fonts and brushes the pages hand to their samples and swatches are gone once the dialog is,
// and the room left in the process's GDI handle table does not shrink over many openings, with
// images that load and images that do not. The dialog is made as the menu makes it but not shown:
// closing a shown one waits for a window manager that the test display does not have.
TEST_F(ThemePages, OpeningAndClosingTheDialogManyTimesKeepsNoGdiObject)
{
    const int ROUNDS = 40;
    const size_t TABLE_LIMIT = 1000000;
    // The program mapped as an image, as it runs: the system shares the Version page's icon between
    // openings only for such a module, and would load it anew each time from a data file.
    HMODULE program = LoadLibraryExA(testenv::PathFromEnvironment("VARNOK_EXE").c_str(), nullptr,
                                     DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, program);
    ResourceModule = program;
    auto freeHandles = [&] {
        std::vector<HRGN> regions;
        for (HRGN region; regions.size() < TABLE_LIMIT && (region = CreateRectRgn(0, 0, 1, 1)) != nullptr;)
            regions.push_back(region);
        for (HRGN region : regions)
            DeleteObject(region);
        return static_cast<long long>(regions.size());
    };
    auto open = [&] {
        CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_SETTINGS), panel_.Handle(), SettingsDialogProc, 0);
        Pump();
        return App.settingsDialog;
    };
    auto close = [&](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        Pump();
        return !IsWindow(dialog);
    };

    HWND dialog = open();
    ASSERT_NE(nullptr, dialog);
    std::vector<HGDIOBJ> handed;
    for (int id : {IDC_FONT_TITLE_SAMPLE, IDC_FONT_FRAME_SAMPLE, IDC_FONT_LABEL_SAMPLE, IDC_FONT_VALUE_SAMPLE,
                   IDC_UNIT_FONT_SAMPLE})
        handed.push_back(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(PageWith(dialog, id), id, WM_GETFONT, 0, 0)));
    HDC dc = CreateCompatibleDC(nullptr);
    for (int id = IDC_FRAME_ENABLE; id <= IDC_MASK_FILE; ++id) {
        HWND page = PageWith(dialog, id);
        HWND swatch = GetDlgItem(page, id);
        if (swatch && (GetWindowLongPtrA(swatch, GWL_STYLE) & SS_SUNKEN) && id != IDC_SKIN_PREVIEW &&
            id != IDC_UNIT_FONT_SAMPLE)
            handed.push_back(reinterpret_cast<HGDIOBJ>(SendMessageA(
                page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(swatch))));
    }
    DeleteDC(dc);
    ASSERT_EQ(5u + 9u + 12u + 2u, handed.size());
    for (size_t i = 0; i < handed.size(); ++i)
        EXPECT_EQ(static_cast<DWORD>(i < 5 ? OBJ_FONT : OBJ_BRUSH), GetObjectType(handed[i])) << i;
    ASSERT_TRUE(close(dialog));
    for (HGDIOBJ object : handed)
        EXPECT_EQ(0u, GetObjectType(object));

    // Every other opening finds a skin that is no image and no mask at all. A single object kept per
    // opening would take ROUNDS handles; images kept past the closing would show between the last
    // opening without images and the last one with them.
    auto openWithImages = [&](bool loadable) {
        return WriteImages(skin_, mask_) &&
               (loadable || (testenv::WriteFile(skin_, "BM?") && DeleteFileA(mask_.c_str()))) && close(open());
    };
    const long long room = freeHandles();
    ASSERT_LT(room, static_cast<long long>(TABLE_LIMIT)) << "the handle table never refused a region";
    for (int round = 0; round < ROUNDS; ++round)
        ASSERT_TRUE(openWithImages(round % 2 == 0));
    const long long withoutImages = freeHandles();
    ASSERT_TRUE(openWithImages(true));
    const long long withImages = freeHandles();
    EXPECT_LT(room - withImages, ROUNDS / 4);
    EXPECT_LE(withoutImages - withImages, 1);
    EXPECT_EQ(0, boxes_);
    FreeLibrary(program);
}
