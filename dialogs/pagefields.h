#pragma once

#include <windows.h>
#include <cstddef>

#include "base/textpolicy.h"
#include "gdi/gdiobjects.h"

// The field helpers every settings page uses, so no page handles a check box, a text field, a
// number or a colour swatch its own way. Each takes the page and a control id from
// resources/resource.h; a control the page does not have is left alone and changes no record.

// Check boxes. The records hold 0 or 1: any value but 0 ticks the box, and IsChecked answers
// 1 for a ticked box and 0 otherwise.
void SetCheck(HWND page, int id, int value);
[[nodiscard]] int IsChecked(HWND page, int id);

// A page with several check boxes lists them with the record flag each edits, and ticks them and
// stores them with one call each.
struct CHECKFIELD {
    int id;
    int* field;
};

void SetupChecks(HWND page, const CHECKFIELD* fields, size_t count);
void StoreChecks(HWND page, const CHECKFIELD* fields, size_t count);

template <size_t Count>
void SetupChecks(HWND page, const CHECKFIELD (&fields)[Count])
{
    SetupChecks(page, fields, Count);
}

template <size_t Count>
void StoreChecks(HWND page, const CHECKFIELD (&fields)[Count])
{
    StoreChecks(page, fields, Count);
}

// Text fields. ShowText limits typing to `limit` bytes (0 sets no limit) and shows `text`. The limit
// only stops typing; ReadText is what keeps a record's buffer whole: it copies at most size - 1
// bytes of the field into `field` (a record buffer of `size` bytes, at most PATH_CAPACITY) and
// ends the text before a double-byte character that would not fit whole. So a 16-byte caption
// field holds at most 15 bytes, and a cut at byte 15 through a double-byte character keeps 14.
void ShowText(HWND page, int id, const char* text, unsigned int limit);
void ReadText(HWND page, int id, char* field, size_t size);

// Numbers: an edit (digits only) and the up-down after it in the template, its buddy. SetupNumber
// gives the up-down its range and shows `value`, or the nearest limit when `value` is outside it
// (a signed or unsigned record field both fit `value`). ReadNumber answers the up-down's position
// once it has read its edit: a text that is no number within the range ("300" in a 100 to 200
// field, "abc", an empty field) yields the last valid position instead, the one shown at opening or
// last set with the arrows, so the answer is always within the range. `fallback` is answered only
// when the page has no such up-down.
void SetupNumber(HWND page, int edit, int updown, int minimum, int maximum, long long value);
[[nodiscard]] int ReadNumber(HWND page, int updown, int fallback);

// A number of a record: its edit, its up-down, and the record field it edits, whose key in the key
// schema (config/keyschema.h) gives the range the up-down offers and whether the field is signed.
// A page with several numbers describes them in a table and sets them up and stores them with one
// call each.
struct NUMBERFIELD {
    int edit;
    int updown;
    void* field;
};

void SetupNumber(HWND page, const NUMBERFIELD& field);
void StoreNumber(HWND page, const NUMBERFIELD& field);
void SetupNumbers(HWND page, const NUMBERFIELD* fields, size_t count);
void StoreNumbers(HWND page, const NUMBERFIELD* fields, size_t count);

template <size_t Count>
void SetupNumbers(HWND page, const NUMBERFIELD (&fields)[Count])
{
    SetupNumbers(page, fields, Count);
}

template <size_t Count>
void StoreNumbers(HWND page, const NUMBERFIELD (&fields)[Count])
{
    StoreNumbers(page, fields, Count);
}

// Colour swatches: sunken statics painted in a page's working colour. The Color, Graph and Skin
// pages list theirs, each with the working colour and the brush the page keeps for it (remade
// whenever the colour changes), and answer WM_CTLCOLORSTATIC with
//     return ColorStatic(wParam, lParam, Swatches);
// A swatch gets its colour as background and its brush (none while the brush could not be made:
// the system then paints its default); every other static of the page gets the button-face
// background, the button-text colour and the face brush of PanelRes, so the page's own labels
// match the dialog.
struct SWATCH {
    int id;
    const COLORREF* color;
    const WINBRUSH* brush;
};

[[nodiscard]] INT_PTR ColorStatic(WPARAM wParam, LPARAM lParam, const SWATCH* swatches, size_t count);

template <size_t Count>
[[nodiscard]] INT_PTR ColorStatic(WPARAM wParam, LPARAM lParam, const SWATCH (&swatches)[Count])
{
    return ColorStatic(wParam, lParam, swatches, Count);
}
