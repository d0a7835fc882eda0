#include "support/panelwindow.h"

#include "resources/resource.h"
#include "support/testenv.h"

namespace testenv {

namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

PanelWindow::PanelWindow() : module_(nullptr), window_(nullptr)
{
    const std::string program = PathFromEnvironment("VARNOK_EXE");
    module_ = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module_)
        return;
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(IDD_PANEL), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const void* dialog = loaded ? LockResource(loaded) : nullptr;
    if (dialog)
        window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialog),
                                             nullptr, QuietDialog, 0);
}

PanelWindow::~PanelWindow()
{
    if (window_)
        DestroyWindow(window_);
    if (module_)
        FreeLibrary(module_);
}

RECT PanelWindow::ClientRect() const
{
    RECT rect = {0, 0, 0, 0};
    GetClientRect(window_, &rect);
    return rect;
}

}  // namespace testenv
