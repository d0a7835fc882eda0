#pragma once

#include <windows.h>

// The program's message boxes: an error ("エラー情報", error icon) or a confirmation ("確認情報"),
// both set to the foreground and topmost so that they are seen over the borderless panel.
void ShowErrorMessage(HWND owner, const char* text);
void ShowConfirmMessage(HWND owner, const char* text);
