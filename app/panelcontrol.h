#pragma once

#include <windows.h>

// What the menu and the settings dialog do to the running panel: pause its measurements, rebuild
// and reshape it, record its place and save its files.

// Stops the measurement timer for its lifetime and starts it again when it goes, with the
// [GLOBAL] Timer of that moment: a period stored in between takes effect at once, and no tick runs
// against half-stored records. Started again even when it was not running before (a suspend in
// between is over once the user acts).
class MeasureTimerPause {
public:
    explicit MeasureTimerPause(HWND panel);
    virtual ~MeasureTimerPause();
    MeasureTimerPause(const MeasureTimerPause&) = delete;
    MeasureTimerPause& operator=(const MeasureTimerPause&) = delete;

private:
    HWND panel_;
};

// Rebuilds the render resources from the theme, reshapes the panel and repaints it. `requester` is
// the window kept disabled while a mask region is built: the panel itself, or the settings dialog.
void RebuildPanel(HWND panel, HWND requester);

// Stores the panel's top-left corner in [GLOBAL] X and [GLOBAL] Y.
void RecordPanelPosition(HWND panel);

// SaveConfig, then SaveTheme. A file that could not be written is named in one error message over
// `owner`; the result says whether both were written, for a caller that must not go on as if saved.
[[nodiscard]] bool SaveSettingsFiles(HWND owner);
// SaveTheme alone, reported the same way.
[[nodiscard]] bool SaveThemeFile(HWND owner);
