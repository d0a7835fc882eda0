#pragma once

#include <windows.h>
#include <cstddef>

#include "dialogs/pagefields.h"
#include "gdi/gdiobjects.h"

// The colours one settings page edits (the Color, Graph and Skin pages), each a button that runs the
// colour chooser and the swatch beside it. The page keeps working copies: taken from THEMEDATA
// when the page opens, changed by the chooser, written back only by Store, so that Cancel discards
// them. Each swatch has a brush in the working colour for as long as the page lives.
class PAGECOLORS {
public:
    static constexpr size_t LIMIT = 12;

    PAGECOLORS() = default;
    virtual ~PAGECOLORS() = default;
    PAGECOLORS(const PAGECOLORS&) = delete;
    PAGECOLORS& operator=(const PAGECOLORS&) = delete;

    // Takes a working copy of `field` and makes its swatch's brush. A page adds its colours at
    // each opening, after Clear; beyond LIMIT a colour is not taken (the button then does nothing).
    void Add(int button, int swatch, COLORREF& field);
    // When `button` is one of the colour buttons: runs the chooser on its working colour (a
    // cancelled chooser keeps it), makes the brushes again and invalidates the page with erase.
    // False for any other control.
    bool Choose(HWND page, int button);
    // Writes every working colour back into its theme field.
    void Store() const;
    // Deletes the brushes and forgets the colours: on WM_DESTROY, and before a page adds its own.
    void Clear();
    // The answer to WM_CTLCOLORSTATIC: the swatches in their working colours, every other static
    // as the dialog (see ColorStatic).
    [[nodiscard]] INT_PTR Paint(WPARAM wParam, LPARAM lParam) const;

private:
    void MakeBrushes();

    size_t count_ = 0;
    int buttons_[LIMIT] = {};
    COLORREF* fields_[LIMIT] = {};
    COLORREF colors_[LIMIT] = {};
    WINBRUSH brushes_[LIMIT];
    SWATCH swatches_[LIMIT] = {};
};
