#include "dialogs/pagefields.h"

#include <windows.h>
#include <commctrl.h>
#include <cstring>

#include "base/textpolicy.h"
#include "config/keyschema.h"
#include "render/panelres.h"

namespace {

long long Clamp(long long value, int minimum, int maximum)
{
    if (value < minimum)
        return minimum;
    if (value > maximum)
        return maximum;
    return value;
}

}  // namespace

void SetCheck(HWND page, int id, int value)
{
    CheckDlgButton(page, id, value ? BST_CHECKED : BST_UNCHECKED);
}

int IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0; }

void SetupChecks(HWND page, const CHECKFIELD* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SetCheck(page, fields[i].id, *fields[i].field);
}

void StoreChecks(HWND page, const CHECKFIELD* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (GetDlgItem(page, fields[i].id))
            *fields[i].field = IsChecked(page, fields[i].id);
}

void ShowText(HWND page, int id, const char* text, unsigned int limit)
{
    if (limit)
        SendDlgItemMessageA(page, id, EM_LIMITTEXT, limit, 0);
    SetDlgItemTextA(page, id, text);
}

void ReadText(HWND page, int id, char* field, size_t size)
{
    if (!GetDlgItem(page, id) || size == 0)
        return;
    if (size > PATH_CAPACITY)
        size = PATH_CAPACITY;
    // Two bytes more than the field: wherever the system cuts a longer text, the first size - 1
    // bytes arrive whole, and the cut below decides where the text ends.
    char scratch[PATH_CAPACITY + 2] = {};
    GetDlgItemTextA(page, id, scratch, static_cast<int>(size + 2));
    scratch[size + 1] = '\0';
    size_t length = WholeCharacterLength(scratch, strnlen(scratch, size - 1));
    memcpy(field, scratch, length);
    field[length] = '\0';
}

void SetupNumber(HWND page, int edit, int updown, int minimum, int maximum, long long value)
{
    HWND control = GetDlgItem(page, updown);
    if (!control)
        return;
    // The template pairs them (UDS_AUTOBUDDY); pairing again would narrow the edit a second time.
    HWND buddy = GetDlgItem(page, edit);
    if (buddy && reinterpret_cast<HWND>(SendMessageA(control, UDM_GETBUDDY, 0, 0)) != buddy)
        SendMessageA(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageA(control, UDM_SETRANGE32, minimum, maximum);
    SendMessageA(control, UDM_SETPOS32, 0, static_cast<LPARAM>(Clamp(value, minimum, maximum)));
}

int ReadNumber(HWND page, int updown, int fallback)
{
    HWND control = GetDlgItem(page, updown);
    if (!control)
        return fallback;
    // Reading the position makes the up-down parse its edit; a text it refuses leaves its last
    // valid position in place and sets the error flag. That position is the answer either way,
    // held to the range in case a platform answers something else with the flag.
    BOOL refused = FALSE;
    LRESULT position = SendMessageA(control, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&refused));
    int minimum = 0;
    int maximum = 0;
    SendMessageA(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&minimum), reinterpret_cast<LPARAM>(&maximum));
    int number = static_cast<int>(Clamp(static_cast<int>(position), minimum, maximum));
    // After an Apply the field then shows what was stored, not the refused text.
    if (refused)
        SendMessageA(control, UDM_SETPOS32, 0, number);
    return number;
}

void SetupNumber(HWND page, const NUMBERFIELD& field)
{
    const KEYSCHEMA* key = FindKey(field.field);
    if (!key || !key->offered.IsSet())
        return;
    const long long value = key->type == KEY_UNSIGNED
                                ? static_cast<long long>(*static_cast<const unsigned int*>(field.field))
                                : static_cast<long long>(*static_cast<const int*>(field.field));
    SetupNumber(page, field.edit, field.updown, key->offered.low, key->offered.high, value);
}

void StoreNumber(HWND page, const NUMBERFIELD& field)
{
    const KEYSCHEMA* key = FindKey(field.field);
    if (!key || !key->offered.IsSet())
        return;
    if (key->type == KEY_UNSIGNED) {
        unsigned int& value = *static_cast<unsigned int*>(field.field);
        value = static_cast<unsigned int>(ReadNumber(page, field.updown, static_cast<int>(value)));
    } else {
        int& value = *static_cast<int*>(field.field);
        value = ReadNumber(page, field.updown, value);
    }
}

void SetupNumbers(HWND page, const NUMBERFIELD* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SetupNumber(page, fields[i]);
}

void StoreNumbers(HWND page, const NUMBERFIELD* fields, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        StoreNumber(page, fields[i]);
}

INT_PTR ColorStatic(WPARAM wParam, LPARAM lParam, const SWATCH* swatches, size_t count)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    for (size_t i = 0; i < count; ++i) {
        if (swatches[i].id == id) {
            SetBkColor(dc, *swatches[i].color);
            return reinterpret_cast<INT_PTR>(swatches[i].brush->hbrush);
        }
    }
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    return reinterpret_cast<INT_PTR>(PanelRes.faceBrush.hbrush);
}
