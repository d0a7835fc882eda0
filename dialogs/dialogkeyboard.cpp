#include "dialogs/dialogkeyboard.h"

namespace {

struct KEYBOARDHOOK {
    HHOOK hook;
    HWND dialog;
    PAGESWITCH switchPage;
};

KEYBOARDHOOK Keyboard;

bool IsKeyDown(int key) { return GetKeyState(key) < 0; }

bool BelongsToDialog(HWND window) { return window == Keyboard.dialog || IsChild(Keyboard.dialog, window); }

// The message is taken: whoever retrieved it dispatches a WM_NULL instead.
void Consume(MSG& message)
{
    message.message = WM_NULL;
    message.wParam = 0;
    message.lParam = 0;
}

LRESULT CALLBACK GetMessageHook(int code, WPARAM removal, LPARAM lParam)
{
    // Escape can destroy the dialog, and with it the hook, while the message is handled here.
    HHOOK hook = Keyboard.hook;
    MSG* message = reinterpret_cast<MSG*>(lParam);
    // A message only looked at (PM_NOREMOVE) comes back again; it is handled when it is taken.
    if (code == HC_ACTION && removal == PM_REMOVE && message && Keyboard.dialog &&
        message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && BelongsToDialog(message->hwnd)) {
        if (message->message == WM_KEYDOWN && message->wParam == VK_TAB && IsKeyDown(VK_CONTROL)) {
            HWND dialog = Keyboard.dialog;
            Consume(*message);
            Keyboard.switchPage(dialog, !IsKeyDown(VK_SHIFT));
        } else if (IsDialogMessageW(Keyboard.dialog, message)) {
            Consume(*message);
        }
    }
    return CallNextHookEx(hook, code, removal, lParam);
}

}  // namespace

bool InstallDialogKeyboard(HWND dialog, PAGESWITCH switchPage)
{
    RemoveDialogKeyboard();
    // The one place the program takes the Unicode form. The loops this hook watches (the dialog
    // box's, the menu's, the message box's) take their messages in it; Windows converts them for an
    // ANSI hook, Wine does not, and IsDialogMessageA would then read a UTF-16 character as a code
    // page 932 byte ("ｱ" typed would arrive as "q"). In the Unicode form both agree.
    Keyboard.hook = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    if (!Keyboard.hook)
        return false;
    Keyboard.dialog = dialog;
    Keyboard.switchPage = switchPage;
    return true;
}

void RemoveDialogKeyboard()
{
    if (Keyboard.hook)
        UnhookWindowsHookEx(Keyboard.hook);
    Keyboard = KEYBOARDHOOK{};
}
