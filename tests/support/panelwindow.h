#pragma once

#include <windows.h>

namespace testenv {

// The panel window as the program makes it, from the dialog template 200 of the built program
// (the test programs carry no resources of their own): a hidden modeless dialog whose controls
// give the layout. The program file stays loaded as data while the object lives, so its icons
// can be loaded from Resources().
class PanelWindow {
public:
    PanelWindow();
    ~PanelWindow();
    PanelWindow(const PanelWindow&) = delete;
    PanelWindow& operator=(const PanelWindow&) = delete;

    HWND Handle() const { return window_; }
    HMODULE Resources() const { return module_; }
    RECT ClientRect() const;

private:
    HMODULE module_;
    HWND window_;
};

}  // namespace testenv
