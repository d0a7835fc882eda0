#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>

#include "config/config.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "dialogs/pagefields.h"
#include "dialogs/pages.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "support/dialogwatch.h"
#include "support/testenv.h"

namespace {

INT_PTR CALLBACK QuietPage(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// One page template made as the frame makes it: a child dialog of a hidden window.
class Page : public ::testing::Test {
protected:
    void Make(int templateId, DLGPROC procedure = QuietPage)
    {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
        InitCommonControlsEx(&controls);
        ASSERT_NE(nullptr, testenv::ProgramResources()) << "VARNOK_EXE";
        if (!parent_)
            parent_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 800, 800, nullptr, nullptr, nullptr, nullptr);
        if (page_)
            DestroyWindow(page_);
        page_ = CreateDialogParamA(testenv::ProgramResources(), MAKEINTRESOURCEA(templateId), parent_, procedure, 0);
        ASSERT_NE(nullptr, page_);
    }
    void TearDown() override
    {
        if (page_)
            DestroyWindow(page_);
        if (parent_)
            DestroyWindow(parent_);
    }

    std::string Text(int id) const { return testenv::DialogItemText(page_, id); }
    void Type(int id, const char* text) const { SetDlgItemTextA(page_, id, text); }

    HWND parent_ = nullptr;
    HWND page_ = nullptr;
};

struct PAGESIZE {
    int templateId;
    int width;
    int height;
};

const PAGESIZE PageSizes[] = {
    {IDD_PAGE_SETTINGS, 282, 294}, {IDD_PAGE_ALERT, 282, 220},       {IDD_PAGE_LABEL, 282, 294},
    {IDD_PAGE_COLOR, 282, 220},    {IDD_PAGE_GRAPH, 282, 294},       {IDD_PAGE_SKIN, 282, 220},
    {IDD_PAGE_INFORMATION, 284, 220}, {IDD_PAGE_VERSION, 284, 220},
};

bool HasClass(HWND window, const char* name)
{
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

struct CHECKS {
    int updowns = 0;
    int lists = 0;
};

// Every up-down has the number edit just before it (id - 1) as its buddy; every list is an unsorted
// drop-down list.
BOOL CALLBACK CheckControl(HWND control, LPARAM param)
{
    CHECKS& checks = *reinterpret_cast<CHECKS*>(param);
    LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
    if (HasClass(control, UPDOWN_CLASSA)) {
        ++checks.updowns;
        HWND buddy = reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0));
        EXPECT_EQ(GetDlgItem(GetParent(control), GetDlgCtrlID(control) - 1), buddy) << GetDlgCtrlID(control);
        EXPECT_TRUE(GetWindowLongPtrA(buddy, GWL_STYLE) & ES_NUMBER) << GetDlgCtrlID(control);
        EXPECT_EQ(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                  style & (UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS));
    } else if (HasClass(control, "ComboBox")) {
        ++checks.lists;
        EXPECT_EQ(CBS_DROPDOWNLIST, style & 3);
        EXPECT_FALSE(style & CBS_SORT);
    }
    return TRUE;
}

}  // namespace

TEST_F(Page, NumbersShowTheNearestLimitAndStoreOnlyValidPositions)
{
    Make(IDD_PAGE_SETTINGS);
    SetupNumber(page_, IDC_LIMIT_EDIT, IDC_LIMIT_UPDOWN, 100, 200, 160);
    EXPECT_EQ("160", Text(IDC_LIMIT_EDIT));
    Type(IDC_LIMIT_EDIT, "300");
    EXPECT_EQ(160, ReadNumber(page_, IDC_LIMIT_UPDOWN, -1));
    EXPECT_EQ("160", Text(IDC_LIMIT_EDIT));
    Type(IDC_LIMIT_EDIT, "abc");
    EXPECT_EQ(160, ReadNumber(page_, IDC_LIMIT_UPDOWN, -1));
    // The arrows move the last valid position; a refused text falls back to it.
    SendDlgItemMessageA(page_, IDC_LIMIT_EDIT, WM_KEYDOWN, VK_UP, 0);
    Type(IDC_LIMIT_EDIT, "");
    EXPECT_EQ(161, ReadNumber(page_, IDC_LIMIT_UPDOWN, -1));
    Type(IDC_LIMIT_EDIT, "175");
    EXPECT_EQ(175, ReadNumber(page_, IDC_LIMIT_UPDOWN, -1));

    SetupNumber(page_, IDC_LIMIT_EDIT, IDC_LIMIT_UPDOWN, 100, 200, 250);
    EXPECT_EQ("200", Text(IDC_LIMIT_EDIT));
    SetupNumber(page_, IDC_LIMIT_EDIT, IDC_LIMIT_UPDOWN, 100, 200, -5);
    EXPECT_EQ("100", Text(IDC_LIMIT_EDIT));
    // An unsigned record value beyond every int is the upper limit, not a negative number.
    SetupNumber(page_, IDC_LIMIT_EDIT, IDC_LIMIT_UPDOWN, 100, 200, 4294967295u);
    EXPECT_EQ("200", Text(IDC_LIMIT_EDIT));
    EXPECT_EQ(42, ReadNumber(page_, 9999, 42));
}

// A number field takes its range and its signedness from its record field's key.
TEST_F(Page, ANumberTableSetsUpAndStoresSignedAndUnsignedFields)
{
    Make(IDD_PAGE_SETTINGS);
    const int savedOffset = Theme.Shadow.Offset;
    const unsigned int savedTimer = Config.Global.Timer;
    Theme.Shadow.Offset = -7;
    Config.Global.Timer = 500;
    const NUMBERFIELD fields[] = {
        {IDC_MEMORY_RATE_EDIT, IDC_MEMORY_RATE_UPDOWN, &Theme.Shadow.Offset},
        {IDC_TIMER_EDIT, IDC_TIMER_UPDOWN, &Config.Global.Timer},
    };
    SetupNumbers(page_, fields);
    EXPECT_EQ("1", Text(IDC_MEMORY_RATE_EDIT));
    EXPECT_EQ("120", Text(IDC_TIMER_EDIT));
    Type(IDC_MEMORY_RATE_EDIT, "3");
    Type(IDC_TIMER_EDIT, "0");
    StoreNumbers(page_, fields);
    EXPECT_EQ(3, Theme.Shadow.Offset);
    EXPECT_EQ(120u, Config.Global.Timer);
    Theme.Shadow.Offset = savedOffset;
    Config.Global.Timer = savedTimer;
}

// Every up-down of the real pages offers the range of a key, and every range the key schema
// offers is on a page: no page keeps a range of its own.
TEST_F(Page, UpDownsOfferTheKeySchemasRanges)
{
    const struct {
        int templateId;
        DLGPROC procedure;
    } pages[] = {{IDD_PAGE_SETTINGS, SettingsPageProc}, {IDD_PAGE_ALERT, AlertPageProc},
                 {IDD_PAGE_COLOR, ColorPageProc},       {IDD_PAGE_GRAPH, GraphPageProc}};
    ASSERT_TRUE(PanelRes.faceBrush.Create(GetSysColor(COLOR_BTNFACE)));
    std::multiset<std::pair<int, int>> onPages;
    for (const auto& page : pages) {
        Make(page.templateId, page.procedure);
        EnumChildWindows(
            page_,
            [](HWND child, LPARAM ranges) {
                char name[32] = "";
                GetClassNameA(child, name, sizeof name);
                int low = 0, high = 0;
                if (lstrcmpiA(name, UPDOWN_CLASSA) == 0) {
                    SendMessageA(child, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
                    reinterpret_cast<std::multiset<std::pair<int, int>>*>(ranges)->insert({low, high});
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&onPages));
    }
    std::multiset<std::pair<int, int>> offered;
    for (const KEYTABLE& table : {SettingKeys(), ThemeKeys()})
        for (const KEYSCHEMA& key : table)
            if (key.offered.IsSet())
                offered.insert({key.offered.low, key.offered.high});
    EXPECT_EQ(offered, onPages);
    EXPECT_EQ(19u, onPages.size());
    PanelRes.faceBrush.Close();
}

TEST_F(Page, TextsAreCutToTheRecordWithoutSplittingACharacter)
{
    Make(IDD_PAGE_LABEL);
    ShowText(page_, IDC_LABEL_CORE, "Core", 16);
    EXPECT_EQ(16, SendDlgItemMessageA(page_, IDC_LABEL_CORE, EM_GETLIMITTEXT, 0, 0));
    EXPECT_EQ("Core", Text(IDC_LABEL_CORE));
    ShowText(page_, IDC_LABEL_AMBIENT, "Ambient", 0);
    EXPECT_NE(16, SendDlgItemMessageA(page_, IDC_LABEL_AMBIENT, EM_GETLIMITTEXT, 0, 0));

    char field[16] = "unchanged";
    Type(IDC_LABEL_CORE, "ABCDEFGHIJKLMNOP");
    ReadText(page_, IDC_LABEL_CORE, field, sizeof field);
    EXPECT_STREQ("ABCDEFGHIJKLMNO", field);
    // "あ" (two bytes) would end at byte 16: the text ends before it.
    Type(IDC_LABEL_CORE, "ABCDEFGHIJKLMN\x82\xA0");
    ReadText(page_, IDC_LABEL_CORE, field, sizeof field);
    EXPECT_STREQ("ABCDEFGHIJKLMN", field);
    Type(IDC_LABEL_CORE, "\x82\xA0\x82\xA2");
    ReadText(page_, IDC_LABEL_CORE, field, sizeof field);
    EXPECT_STREQ("\x82\xA0\x82\xA2", field);
    ReadText(page_, 9999, field, sizeof field);
    EXPECT_STREQ("\x82\xA0\x82\xA2", field);

    static char path[2048];
    Type(IDC_LABEL_CORE, std::string(3000, 'x').c_str());
    ReadText(page_, IDC_LABEL_CORE, path, sizeof path);
    EXPECT_EQ(2047u, strlen(path));
}

TEST_F(Page, SwatchesGetTheirColourOtherStaticsTheFace)
{
    Make(IDD_PAGE_COLOR);
    ASSERT_TRUE(PanelRes.faceBrush.Create(GetSysColor(COLOR_BTNFACE)));
    COLORREF frame = RGB(1, 2, 3);
    COLORREF title = RGB(4, 5, 6);
    WINBRUSH frameBrush;
    ASSERT_TRUE(frameBrush.Create(frame));
    WINBRUSH unmade;
    const SWATCH swatches[] = {
        {IDC_FRAME_COLOR_SWATCH, &frame, &frameBrush},
        {IDC_COLOR_TITLE_SWATCH, &title, &unmade},
    };
    HDC dc = GetDC(page_);
    WPARAM dcParam = reinterpret_cast<WPARAM>(dc);
    auto control = [&](int id) { return reinterpret_cast<LPARAM>(GetDlgItem(page_, id)); };

    EXPECT_EQ(reinterpret_cast<INT_PTR>(frameBrush.hbrush),
              ColorStatic(dcParam, control(IDC_FRAME_COLOR_SWATCH), swatches));
    EXPECT_EQ(frame, GetBkColor(dc));
    // A swatch without its brush is left to the system.
    EXPECT_EQ(0, ColorStatic(dcParam, control(IDC_COLOR_TITLE_SWATCH), swatches));
    SetTextColor(dc, RGB(9, 9, 9));
    EXPECT_EQ(reinterpret_cast<INT_PTR>(PanelRes.faceBrush.hbrush),
              ColorStatic(dcParam, control(IDC_COLOR_LABEL_SWATCH), swatches));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
    EXPECT_EQ(GetSysColor(COLOR_BTNTEXT), GetTextColor(dc));
    ReleaseDC(page_, dc);
    PanelRes.faceBrush.Close();
}

TEST_F(Page, TemplatesAreControlParentsOfTheirSizeWithPairedNumbers)
{
    CHECKS checks;
    for (const PAGESIZE& size : PageSizes) {
        Make(size.templateId);
        HWND page = page_;
        LONG_PTR style = GetWindowLongPtrA(page, GWL_STYLE);
        EXPECT_TRUE((style & WS_CHILD) && !(style & WS_CAPTION) && !(style & WS_VISIBLE)) << size.templateId;
        EXPECT_TRUE(GetWindowLongPtrA(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) << size.templateId;
        RECT expected = {0, 0, size.width, size.height};
        MapDialogRect(page, &expected);
        RECT client;
        GetClientRect(page, &client);
        EXPECT_EQ(expected.right, client.right) << size.templateId;
        EXPECT_EQ(expected.bottom, client.bottom) << size.templateId;
        EnumChildWindows(page, CheckControl, reinterpret_cast<LPARAM>(&checks));
    }
    // Six on the Settings page, two on the Alert page, one on the Color page, ten on the Graph page.
    EXPECT_EQ(19, checks.updowns);
    EXPECT_EQ(2, checks.lists);
}
