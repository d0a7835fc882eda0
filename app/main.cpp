#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstring>

#include "app/appstate.h"
#include "app/integrity.h"
#include "app/mainwindow.h"
#include "app/mutex.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "gpu/sound.h"
#include "ui/messageboxes.h"
#include "ui/resourcemodule.h"
#include "ui/texts.h"

namespace {

// Exit codes of starts that never reach the panel because the program itself is unfit; a
// normal run and a refused second instance end with 1.
const int EXIT_PROGRAM_MODIFIED = 2;
const int EXIT_BAD_COMMAND_LINE = 2;

void LoadIcons(HINSTANCE instance)
{
    for (int i = 0; i < IDI_COUNT; ++i)
        App.icons[i] = LoadIconA(instance, MAKEINTRESOURCEA(IDI_FIRST + i));
}

const void* LoadFaultAlarm(HINSTANCE instance)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDW_FAULT_ALARM), "WAVE");
    if (!found)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, found);
    return loaded ? LockResource(loaded) : nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    if (!VerifyOwnProgramFile()) {
        ShowErrorMessage(nullptr, TEXT_INTEGRITY_ERROR);
        return EXIT_PROGRAM_MODIFIED;
    }
    memset(&App, 0, sizeof App);
    App.instance = instance;
    ResourceModule = instance;
    LoadIcons(instance);
    Sample.HistoryCount = 0;
    FaultAlarmSound = LoadFaultAlarm(instance);

    if (!SetConfigPath(commandLine)) {
        ShowErrorMessage(nullptr, TEXT_COMMAND_LINE_TOO_LONG);
        return EXIT_BAD_COMMAND_LINE;
    }
    SetConfigStartupValues();
    SetThemeStartupValues();
    LoadConfig();
    LoadTheme();

    MUTEX instanceMutex;
    if (!instanceMutex.Acquire(Config.Global.Device, Config.Global.GPU)) {
        ShowConfirmMessage(nullptr, TEXT_ALREADY_RUNNING);
        return 1;
    }

    // The tooltip and the picture loader need these before the panel is made.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_PANEL), nullptr, MainDialogProc, 0);

    instanceMutex.Release();
    if (App.workersLeft)
        ExitProcess(1);
    OleUninitialize();
    return 1;
}
