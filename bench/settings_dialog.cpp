// Time from the menu command to the settings dialog shown with all its pages made, and time of its
// OK (store every page, rebuild, shape, repaint, restart the timer, save both files, close), over
// many openings; Cancel shows what closing alone costs. A user notices anything above about 100 ms.
// Under Wine on a display without a window manager, hiding a window with a caption waits about two
// seconds for the manager's answer: there OK and Cancel both carry that wait, and OK minus Cancel
// is the program's own work.
// The templates are read from VARNOK.exe: $VARNOK_EXE, or the program beside bench/.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/appstate.h"
#include "app/measuretimer.h"
#include "app/menu.h"
#include "app/panelcontrol.h"
#include "base/critsect.h"
#include "base/dpi.h"
#include "benchclock.h"
#include "benchprogram.h"
#include "config/config.h"
#include "config/theme.h"
#include "render/panelres.h"
#include "resources/resource.h"
#include "ui/resourcemodule.h"

namespace {

const int ROUNDS = 10;

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Handles what is waiting (paints above all), as the panel's loop would before the user sees it.
void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

struct SPAN {
    double total = 0;
    double worst = 0;
    void Add(double seconds)
    {
        total += seconds;
        if (seconds > worst)
            worst = seconds;
    }
    void Print(const char* what) const
    {
        printf("%s: mean %.2f ms, worst %.2f ms\n", what, 1000.0 * total / ROUNDS, 1000.0 * worst);
    }
};

}  // namespace

int main()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string base = std::string(temp) + "varnok-settings-" + std::to_string(GetCurrentProcessId());
    snprintf(ConfigPath, sizeof ConfigPath, "%s.cfg", base.c_str());
    SetThemeStartupValues();
    LoadConfig();
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s.vkt", base.c_str());
    LoadTheme();

    const std::string program = ProgramPath();
    ResourceModule = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND panel = ResourceModule ? CreateDialogParamA(ResourceModule, MAKEINTRESOURCEA(IDD_PANEL), nullptr,
                                                     QuietDialog, 0)
                                : nullptr;
    if (!panel) {
        fprintf(stderr, "no templates in %s\n", program.c_str());
        return 1;
    }
    App.mainWindow = panel;
    CreateCritSect(UpdateSection, "UPDATE");
    if (!LayOutPanel(WindowDpi(panel)) || !BuildRenderResources(panel)) {
        fprintf(stderr, "the render resources could not be made\n");
        return 1;
    }
    ShowWindow(panel, SW_SHOW);
    Pump();

    SPAN opening;
    SPAN ok;
    SPAN cancel;
    SPAN rebuild;
    SPAN save;
    for (int round = 0; round < 2 * ROUNDS; ++round) {
        double start = Seconds();
        RunCommand(panel, CMD_SETTINGS, 0);
        Pump();
        if (round % 2 == 0)
            opening.Add(Seconds() - start);
        HWND dialog = App.settingsDialog;
        if (!dialog || !IsWindowVisible(dialog)) {
            fprintf(stderr, "the dialog did not open\n");
            return 1;
        }
        start = Seconds();
        SendMessageA(dialog, WM_COMMAND, round % 2 ? IDCANCEL : IDOK, 0);
        Pump();
        (round % 2 ? cancel : ok).Add(Seconds() - start);
        if (App.settingsDialog) {
            fprintf(stderr, "the dialog did not close (a save failed?)\n");
            return 1;
        }
        if (round % 2)
            continue;
        // The two halves of OK on their own.
        start = Seconds();
        RebuildPanel(panel, panel);
        Pump();
        rebuild.Add(Seconds() - start);
        start = Seconds();
        if (!SaveSettingsFiles(panel))
            return 1;
        save.Add(Seconds() - start);
    }
    printf("settings dialog, %d rounds\n", ROUNDS);
    opening.Print("menu command to dialog shown");
    ok.Print("OK (store, rebuild, shape, save)");
    cancel.Print("Cancel (closing alone)");
    rebuild.Print("OK's rebuild, shape and repaint");
    save.Print("OK's save of both files, key by key");

    StopMeasureTimer(panel);
    DestroyWindow(panel);
    FreeRenderResources();
    DeleteCritSect(UpdateSection);
    DeleteFileA(ConfigPath);
    DeleteFileA(Config.Theme.File);
    return 0;
}
