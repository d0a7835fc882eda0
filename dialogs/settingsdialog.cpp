#include "dialogs/settingsdialog.h"

#include "app/appstate.h"
#include "app/mainwindow.h"

void OpenSettingsDialog(HWND panel)
{
    if (App.settingsDialog)
        ForceForeground(App.settingsDialog);
}
