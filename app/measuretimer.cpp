#include "app/measuretimer.h"

#include "app/appstate.h"
#include "config/config.h"
#include "resources/resource.h"

void StartMeasureTimer(HWND window)
{
    if (App.timerId)
        return;
    App.timerId = SetTimer(window, MEASURE_TIMER_ID, Config.Global.Timer * 1000, nullptr);
}

void StopMeasureTimer(HWND window)
{
    if (!App.timerId)
        return;
    KillTimer(window, App.timerId);
    App.timerId = 0;
}
