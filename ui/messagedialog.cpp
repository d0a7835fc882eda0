#include "ui/messagedialog.h"

#include "resources/resource.h"

MESSAGEREQUEST MessageRequest;

namespace {

constexpr int MESSAGE_LINE_COUNT = 4;

void CentreOnScreen(HWND dialog)
{
    RECT frame;
    if (!GetWindowRect(dialog, &frame))
        return;
    int left = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    int top = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR OnInitDialog(HWND dialog)
{
    MessageRequest.window = dialog;
    HICON icon = MessageRequest.icon ? MessageRequest.icon : LoadIconA(nullptr, IDI_EXCLAMATION);
    SendDlgItemMessageA(dialog, IDC_MESSAGE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (MessageRequest.title)
        SetWindowTextA(dialog, MessageRequest.title);
    for (int i = 0; MessageRequest.lines && i < MESSAGE_LINE_COUNT && MessageRequest.lines[i]; ++i)
        SetDlgItemTextA(dialog, IDC_MESSAGE_LINE1 + i, MessageRequest.lines[i]);
    CentreOnScreen(dialog);
    SetForegroundWindow(dialog);
    ShowWindow(dialog, SW_SHOW);
    return TRUE;
}

INT_PTR OnDestroy()
{
    MessageRequest = MESSAGEREQUEST{};
    return FALSE;
}

}  // namespace

// No command is handled: Escape and the close request reach no EndDialog, so the user cannot end
// a wait the program is still in.
INT_PTR CALLBACK MessageDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DESTROY:
        return OnDestroy();
    default:
        return FALSE;
    }
}

INT_PTR ShowMessageDialog(HINSTANCE instance, HWND parent, HICON icon, const char* title, const char* const* lines)
{
    if (MessageRequest.window)
        return -1;
    MessageRequest = MESSAGEREQUEST{instance, parent, nullptr, icon, title, lines};
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MESSAGE), parent, MessageDialog, 0);
    // A dialog that never started leaves the request filled.
    if (result == -1)
        MessageRequest = MESSAGEREQUEST{};
    return result;
}

bool EndMessageDialog(INT_PTR result)
{
    if (!MessageRequest.window)
        return false;
    return EndDialog(MessageRequest.window, result) != FALSE;
}
