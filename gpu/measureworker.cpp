#include <windows.h>

#include "gpu/measure.h"

namespace {

// Workers are counted so that teardown can wait for the last one before the sections it uses
// are deleted; the event is set whenever no worker runs.
volatile LONG RunningWorkers = 0;
volatile LONG WorkersStopped = 0;
HANDLE NoWorkersEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);

void WorkerStarted()
{
    if (InterlockedIncrement(&RunningWorkers) == 1)
        ResetEvent(NoWorkersEvent);
}

void WorkerEnded()
{
    if (InterlockedDecrement(&RunningWorkers) == 0)
        SetEvent(NoWorkersEvent);
}

}  // namespace

DWORD WINAPI MeasureThread(LPVOID window)
{
    MeasureCycle(static_cast<HWND>(window));
    WorkerEnded();
    return 0;
}

bool StartMeasureWorker(HWND window)
{
    if (WorkersStopped)
        return false;
    WorkerStarted();
    HANDLE thread = CreateThread(nullptr, 0, MeasureThread, window, 0, nullptr);
    if (!thread) {
        WorkerEnded();
        return false;
    }
    CloseHandle(thread);
    return true;
}

bool StopMeasureWorkers(DWORD timeoutMs)
{
    InterlockedExchange(&WorkersStopped, 1);
    return WaitForSingleObject(NoWorkersEvent, timeoutMs) == WAIT_OBJECT_0;
}

void AllowMeasureWorkers() { InterlockedExchange(&WorkersStopped, 0); }
