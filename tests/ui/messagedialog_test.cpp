#include "ui/messagedialog.h"

#include "resources/resource.h"
#include "support/dialogwatch.h"
#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Commands the owner window answers while the message dialog runs.
const WORD END_MESSAGE = 0x7001;
const WORD SHOW_SECOND = 0x7002;

struct OWNERLOG {
    bool dialogAliveAtEnd;
    INT_PTR secondResult;
    MESSAGEREQUEST requestDuringSecond;
};
OWNERLOG OwnerLog;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == END_MESSAGE) {
        OwnerLog.dialogAliveAtEnd = MessageRequest.window && IsWindow(MessageRequest.window);
        EndDialog(MessageRequest.window, lParam);
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == SHOW_SECOND) {
        const char* const lines[] = {"SECOND", nullptr};
        OwnerLog.secondResult = ShowMessageDialog(testenv::ProgramResources(), window, nullptr, "SECOND", lines);
        OwnerLog.requestDuringSecond = MessageRequest;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// What the user sees of a shown message dialog.
struct SHOWN {
    HWND window = nullptr;
    bool requestHoldsWindow = false;
    std::string title;
    std::string lines[4];
    HICON icon = nullptr;
    RECT frame = {};
    int count = 0;
};

class MessageDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, testenv::ProgramResources()) << "VARNOK_EXE";
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VarnokMessageOwner";
        RegisterClassA(&windowClass);
        owner_ = CreateWindowExA(0, "VarnokMessageOwner", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, owner_);
        OwnerLog = OWNERLOG{};
    }
    void TearDown() override { DestroyWindow(owner_); }

    // Runs the dialog; the watcher reads it, then lets the owner end it with `result`.
    INT_PTR Run(HICON icon, const char* title, const char* const* lines, INT_PTR result = 77)
    {
        HWND owner = owner_;
        SHOWN& shown = shown_;
        testenv::DialogWatch watch([owner, result, &shown](HWND dialog) {
            ++shown.count;
            shown.window = dialog;
            shown.requestHoldsWindow = MessageRequest.window == dialog;
            shown.title = testenv::WindowText(dialog);
            for (int i = 0; i < 4; ++i)
                shown.lines[i] = testenv::DialogItemText(dialog, IDC_MESSAGE_LINE1 + i);
            shown.icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_MESSAGE_ICON, STM_GETICON, 0, 0));
            GetWindowRect(dialog, &shown.frame);
            PostMessageA(owner, WM_COMMAND, END_MESSAGE, result);
        });
        return ShowMessageDialog(testenv::ProgramResources(), owner_, icon, title, lines);
    }

    HWND owner_ = nullptr;
    SHOWN shown_;
};

bool RequestIsClear()
{
    MESSAGEREQUEST clear = {};
    return memcmp(&clear, &MessageRequest, sizeof clear) == 0;
}

}  // namespace

TEST_F(MessageDialogTest, TwoLinesLeaveTheOtherTwoEmpty)
{
    const char* const lines[] = {"マスク情報を生成しています。", "しばらくお待ち下さい。", nullptr};
    EXPECT_EQ(77, Run(nullptr, nullptr, lines));
    ASSERT_EQ(1, shown_.count);
    EXPECT_EQ("マスク情報を生成しています。", shown_.lines[0]);
    EXPECT_EQ("しばらくお待ち下さい。", shown_.lines[1]);
    EXPECT_EQ("", shown_.lines[2]);
    EXPECT_EQ("", shown_.lines[3]);
}

TEST_F(MessageDialogTest, ShowsAtMostFourLines)
{
    const char* const lines[] = {"ONE", "TWO", "THREE", "FOUR", "FIVE", nullptr};
    EXPECT_EQ(77, Run(nullptr, nullptr, lines));
    EXPECT_EQ("ONE", shown_.lines[0]);
    EXPECT_EQ("TWO", shown_.lines[1]);
    EXPECT_EQ("THREE", shown_.lines[2]);
    EXPECT_EQ("FOUR", shown_.lines[3]);
}

TEST_F(MessageDialogTest, WithoutIconOrTitleShowsTheExclamationAndTheTemplateTitle)
{
    const char* const lines[] = {"A", nullptr};
    Run(nullptr, nullptr, lines);
    EXPECT_EQ(LoadIconA(nullptr, IDI_EXCLAMATION), shown_.icon);
    EXPECT_EQ("メッセージ", shown_.title);
}

TEST_F(MessageDialogTest, GivenIconAndTitleAreShown)
{
    const char* const lines[] = {"A", nullptr};
    HICON question = LoadIconA(nullptr, IDI_QUESTION);
    Run(question, "確認", lines);
    EXPECT_EQ(question, shown_.icon);
    EXPECT_EQ("確認", shown_.title);
}

TEST_F(MessageDialogTest, IsCentredOnTheScreen)
{
    const char* const lines[] = {"A", nullptr};
    Run(nullptr, nullptr, lines);
    const RECT& frame = shown_.frame;
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2, frame.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, frame.top);
}

TEST_F(MessageDialogTest, OwnerEndsItThroughTheStoredWindowAndTheRequestIsCleared)
{
    const char* const lines[] = {"A", nullptr};
    EXPECT_EQ(12345, Run(nullptr, "T", lines, 12345));
    EXPECT_TRUE(shown_.requestHoldsWindow);
    EXPECT_TRUE(OwnerLog.dialogAliveAtEnd);
    EXPECT_FALSE(IsWindow(shown_.window));
    EXPECT_TRUE(RequestIsClear());
}

// Cancel and close requests reach the dialog before the owner's command (one queue, in order);
// the dialog must still be there when the owner ends it.
TEST_F(MessageDialogTest, UserCannotCloseIt)
{
    const char* const lines[] = {"A", nullptr};
    HWND owner = owner_;
    testenv::DialogWatch watch([owner](HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        PostMessageA(owner, WM_COMMAND, END_MESSAGE, 5);
    });
    EXPECT_EQ(5, ShowMessageDialog(testenv::ProgramResources(), owner_, nullptr, nullptr, lines));
    EXPECT_TRUE(OwnerLog.dialogAliveAtEnd);
}

// Two dialogs would share the one request, and the first could then never be ended.
TEST_F(MessageDialogTest, SecondDialogIsRefusedWhileOneIsShown)
{
    const char* const lines[] = {"FIRST", nullptr};
    HWND owner = owner_;
    int shownCount = 0;
    testenv::DialogWatch watch([owner, &shownCount](HWND dialog) {
        ++shownCount;
        PostMessageA(owner, WM_COMMAND, SHOW_SECOND, 0);
        PostMessageA(owner, WM_COMMAND, END_MESSAGE, 9);
    });
    EXPECT_EQ(9, ShowMessageDialog(testenv::ProgramResources(), owner_, nullptr, "FIRST", lines));
    EXPECT_EQ(-1, OwnerLog.secondResult);
    EXPECT_STREQ("FIRST", OwnerLog.requestDuringSecond.title);
    EXPECT_EQ(1, shownCount);
    EXPECT_TRUE(RequestIsClear());
}

TEST_F(MessageDialogTest, MissingTemplateLeavesNoRequestBehind)
{
    const char* const lines[] = {"A", nullptr};
    EXPECT_EQ(-1, ShowMessageDialog(GetModuleHandleA(nullptr), owner_, nullptr, nullptr, lines));
    EXPECT_TRUE(RequestIsClear());
}
