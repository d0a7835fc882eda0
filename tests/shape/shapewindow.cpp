#include <cstdio>
#include <cstring>

#include "resources/resource.h"
#include "shape/windowshape.h"
#include "shapewindow.h"
#include "ui/messagedialog.h"
#include "ui/resourcemodule.h"
#include "ui/texts.h"

namespace {

COMPLETIONLOG Log;
HWND LoggedRequester;
RECT AppliedRect;

LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == CMD_MASK_BUILT) {
        ++Log.count;
        Log.result = lParam;
        HWND wait = MessageRequest.window;
        Log.waitDialogShown = wait && IsWindowVisible(wait);
        if (wait) {
            Log.waitTitle = testenv::WindowText(wait);
            for (int i = 0; i < 4; ++i)
                Log.waitLines[i] = testenv::DialogItemText(wait, IDC_MESSAGE_LINE1 + i);
        }
        Log.requesterEnabled = IsWindowEnabled(LoggedRequester) != FALSE;
        OnMaskRegionBuilt(window, lParam);
        return 0;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == APPLY_SHAPE_COMMAND) {
        ApplyWindowShape(LoggedRequester, window, AppliedRect, nullptr, 96);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void ShapedPanel::SetUp()
{
    savedTheme_.reset(new THEMEDATA(Theme));
    savedInstance_ = ResourceModule;
    ResourceModule = testenv::ProgramResources();
    ASSERT_NE(nullptr, ResourceModule) << "VARNOK_EXE";

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VarnokShapedPanel";
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, "VarnokShapedPanel", "", WS_POPUP, 100, 100, client_.right, client_.bottom,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    requester_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, window_);
    ASSERT_NE(nullptr, requester_);
    Log = COMPLETIONLOG{};
    LoggedRequester = requester_;
    AppliedRect = client_;

    watch_.reset(new testenv::DialogWatch([this](HWND dialog) {
        std::string title = testenv::WindowText(dialog);
        if (title == TEXT_TITLE_ERROR) {
            std::string text = testenv::MessageBoxText(dialog);
            size_t used = strlen(errorTexts_);
            snprintf(errorTexts_ + used, sizeof errorTexts_ - used, "%s|", text.c_str());
            ++errorBoxes_;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        } else if (title != "メッセージ" && MessageRequest.window != dialog && IsWindow(dialog)) {
            // Nothing else should appear; close it so the test ends and reports. Message dialogs
            // are ended by their owner (a wait dialog that went while its title was read gives an
            // empty title and is no window now).
            snprintf(otherTitle_, sizeof otherTitle_, "%s", title.c_str());
            ++otherDialogs_;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }));
}

void ShapedPanel::TearDown()
{
    watch_.reset();
    EXPECT_EQ(0, otherDialogs_.load()) << otherTitle_;
    if (window_)
        DestroyWindow(window_);
    if (requester_)
        DestroyWindow(requester_);
    Theme = *savedTheme_;
    ResourceModule = savedInstance_;
}

void ShapedPanel::Apply(HDC skinSurface) { ApplyWindowShape(requester_, window_, client_, skinSurface, 96); }

RegionPtr ShapedPanel::WindowRegion() const
{
    RegionPtr region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window_, region.get()) == ERROR)
        return RegionPtr();
    return region;
}

::testing::AssertionResult ShapedPanel::LayeredAndOpaque() const
{
    if (!(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_LAYERED))
        return ::testing::AssertionFailure() << "not layered";
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window_, &key, &alpha, &flags))
        return ::testing::AssertionFailure() << "no layered attributes";
    if (alpha != 255 || flags != LWA_ALPHA)
        return ::testing::AssertionFailure() << "alpha " << int(alpha) << ", flags " << flags;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult ShapedPanel::KeyedOn(COLORREF expected) const
{
    if (!(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_LAYERED))
        return ::testing::AssertionFailure() << "not layered";
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!GetLayeredWindowAttributes(window_, &key, &alpha, &flags))
        return ::testing::AssertionFailure() << "no layered attributes";
    if (flags != (LWA_COLORKEY | LWA_ALPHA) || alpha != 255 || key != expected)
        return ::testing::AssertionFailure() << "key " << std::hex << key << ", alpha " << std::dec << int(alpha)
                                             << ", flags " << flags;
    return ::testing::AssertionSuccess();
}

std::string ShapedPanel::ErrorTexts() const { return errorTexts_; }

const COMPLETIONLOG& ShapedPanel::Completion() const { return Log; }
