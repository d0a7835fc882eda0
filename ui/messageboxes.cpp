#include "ui/messageboxes.h"

#include "ui/texts.h"

void ShowErrorMessage(HWND owner, const char* text)
{
    MessageBoxA(owner, text, TEXT_TITLE_ERROR, MB_ICONHAND | MB_SETFOREGROUND | MB_TOPMOST);
}

void ShowConfirmMessage(HWND owner, const char* text)
{
    MessageBoxA(owner, text, TEXT_TITLE_CONFIRM, MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
}
