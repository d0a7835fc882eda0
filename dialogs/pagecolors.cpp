#include "dialogs/pagecolors.h"

#include "ui/commondialogs.h"

void PAGECOLORS::Add(int button, int swatch, COLORREF& field)
{
    if (count_ >= LIMIT)
        return;
    buttons_[count_] = button;
    fields_[count_] = &field;
    colors_[count_] = field;
    swatches_[count_] = SWATCH{swatch, &colors_[count_], &brushes_[count_]};
    // A brush that cannot be made leaves its swatch to the system's default background.
    brushes_[count_].Create(field);
    ++count_;
}

bool PAGECOLORS::Choose(HWND page, int button)
{
    for (size_t i = 0; i < count_; ++i) {
        if (buttons_[i] != button)
            continue;
        // The chooser is owned by the dialog, not the page: it is the dialog a modal chooser
        // must disable.
        colors_[i] = SelectColor(GetAncestor(page, GA_ROOT), colors_[i]);
        MakeBrushes();
        InvalidateRect(page, nullptr, TRUE);
        return true;
    }
    return false;
}

void PAGECOLORS::MakeBrushes()
{
    for (size_t i = 0; i < count_; ++i)
        brushes_[i].Create(colors_[i]);
}

void PAGECOLORS::Store() const
{
    for (size_t i = 0; i < count_; ++i)
        *fields_[i] = colors_[i];
}

void PAGECOLORS::Clear()
{
    for (size_t i = 0; i < count_; ++i)
        brushes_[i].Close();
    count_ = 0;
}

INT_PTR PAGECOLORS::Paint(WPARAM wParam, LPARAM lParam) const { return ColorStatic(wParam, lParam, swatches_, count_); }
