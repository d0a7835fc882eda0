#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e/panelprocess.h"

// Drives the settings dialog of a running panel from outside, as a user would: for the end-to-end
// tests of the dialog and of its pages.
namespace e2e {

// A panel on the Device/GPU pair `pair` (see GpuPair: each test file its own display, each test its
// own GPU; the settings dialog's tests use display 3, a page test file takes the next free one),
// with the theme file `themeFile` named in its settings, a journal of the driver's calls and a
// one-second timer. `extra` is appended to the settings file.
struct SettingsPanel : RunningPanel {
    std::string themeFile = folder.File("theme.vkt");

    bool Start(const GpuPair& pair, const std::string& extra = "", const char* name = "VARNOK.CFG");
    // Chooses "設定画面..." (sent: returns once the panel has handled it) and waits for the dialog.
    HWND OpenDialog() const;
    // Measurements so far, counted in the driver's journal.
    size_t Measurements() const;
    // Two more measurements arrive: the timer runs.
    void ExpectMeasuring() const;
};

// Presses a button of the frame (IDOK, IDCANCEL, IDC_APPLY); sent, so it returns once handled.
// A button that opens a message box does not return until the box is gone: post instead.
void Press(HWND dialog, int button);
bool WaitGone(HWND window);

// The tab labels, in tab order.
std::vector<std::string> TabLabels(DWORD processId, HWND tabs);
// The eight page windows (children of the frame), in no particular order.
std::vector<HWND> Pages(HWND dialog);
// The page that holds control `id`; null when none does.
HWND PageWith(HWND dialog, int id);
// The shown page, named by a control only it has (IDC_DEVICE_EDIT, IDC_ALERT_ENABLE,
// IDC_LABEL_CORE, IDC_FRAME_ENABLE, IDC_UNIT_ENABLE, IDC_SKIN_ENABLE, IDC_INFO_ADAPTER,
// IDC_VERSION_FILE); 0 when none or several are shown.
int ShownPage(HWND dialog);

// The control with the keyboard focus in `window`, read with the window the foreground one: another
// program may have taken the foreground, and the window gets its focus back with it.
HWND FocusOf(HWND window);
// An edit's text, asked of the control: its window text seen from another process is not it.
std::string EditText(HWND edit);

// Real key strokes (SendInput) to `window`, until `done` holds: {VK_CONTROL, VK_TAB} is Ctrl+Tab,
// the keys pressed in order and released in reverse. Other programs on the same display (the tests
// run side by side) can take the foreground at any moment, and strokes sent then go to them: so the
// window is made the foreground before each try, held modifiers are released, and a try whose
// effect does not come is made again. `done` must name the state the strokes lead to, so that a
// stroke that arrived twice shows as a failure.
bool TypeUntil(HWND window, std::vector<WORD> keys, const std::function<bool()>& done);
// The same, starting every try from the same state (`beforeTry` restores it): a stroke delivered
// twice then shows as a wrong result instead of passing for a right one.
bool TypeFromUntil(HWND window, std::vector<WORD> keys, const std::function<void()>& beforeTry,
                   const std::function<bool()>& done);
// Characters as an input method hands them over, whatever the keyboard layout, into the focused
// edit `edit` of `window`, until it holds `expected` (code page 932); the edit is emptied before
// each try.
bool TypeTextUntil(HWND window, HWND edit, const wchar_t* text, const std::string& expected);

}  // namespace e2e
