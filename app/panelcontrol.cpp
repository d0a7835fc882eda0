#include "app/panelcontrol.h"

#include <cstdio>

#include "app/measuretimer.h"
#include "app/panelshape.h"
#include "config/config.h"
#include "config/theme.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "ui/messageboxes.h"
#include "ui/texts.h"

namespace {

// The message and up to two paths of PATH_CAPACITY bytes, each on a line of its own.
constexpr size_t SAVE_ERROR_TEXT_SIZE = sizeof TEXT_SAVE_ERROR + 2 * (sizeof Config.Theme.File + 1);

void ReportUnsaved(HWND owner, const char* settingsPath, const char* themePath)
{
    if (!settingsPath && !themePath)
        return;
    char text[SAVE_ERROR_TEXT_SIZE];
    snprintf(text, sizeof text, "%s\n%s%s%s", TEXT_SAVE_ERROR, settingsPath ? settingsPath : "",
             settingsPath && themePath ? "\n" : "", themePath ? themePath : "");
    ShowErrorMessage(owner, text);
}

}  // namespace

MeasureTimerPause::MeasureTimerPause(HWND panel) : panel_(panel) { StopMeasureTimer(panel_); }

MeasureTimerPause::~MeasureTimerPause() { StartMeasureTimer(panel_); }

void RebuildPanel(HWND panel, HWND requester)
{
    FreeRenderResources();
    if (!BuildRenderResources(panel)) {
        // Intended: a font, pen or brush that could not be made is left out of the drawing, and a
        // surface that could not be made leaves nothing to draw on; the panel runs on with what
        // exists and the next rebuild tries again. Only start-up treats a failed build as fatal.
    }
    ReshapePanel(requester, panel);
    RefreshPanel(panel);
}

void RecordPanelPosition(HWND panel)
{
    RECT rect;
    if (!GetWindowRect(panel, &rect))
        return;
    Config.Global.X = rect.left;
    Config.Global.Y = rect.top;
}

bool SaveSettingsFiles(HWND owner)
{
    bool settingsSaved = SaveConfig();
    bool themeSaved = SaveTheme();
    ReportUnsaved(owner, settingsSaved ? nullptr : ConfigPath, themeSaved ? nullptr : Config.Theme.File);
    return settingsSaved && themeSaved;
}

bool SaveThemeFile(HWND owner)
{
    bool saved = SaveTheme();
    ReportUnsaved(owner, nullptr, saved ? nullptr : Config.Theme.File);
    return saved;
}
