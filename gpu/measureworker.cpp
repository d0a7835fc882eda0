#include <windows.h>

#include "base/scopeguards.h"
#include "gpu/measure.h"

namespace {

// Teardown must know that no worker is left before it deletes the sections a worker uses. The
// count, the stop flag and the event change together under one lock: a worker is counted in
// only while workers are allowed, and once StopMeasureWorkers has set the flag the count can only
// fall, so an event seen set under the flag means no worker can run any more. (A bare
// interlocked count with an event is not enough: a worker ending late could set the event after
// a new one had already been counted in.)
SRWLOCK WorkerLock = SRWLOCK_INIT;
unsigned int RunningWorkers = 0;
bool WorkersStopped = false;
// Manual-reset, set while no worker runs. Made with the first worker and kept for the life of
// the process, so a waiter's copy of the handle stays valid.
HANDLE NoWorkersEvent = nullptr;

bool CountWorkerIn()
{
    EXCLUSIVELOCKGUARD lock(WorkerLock);
    if (WorkersStopped)
        return false;
    if (!NoWorkersEvent)
        NoWorkersEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    if (!NoWorkersEvent)
        return false;
    if (RunningWorkers++ == 0)
        ResetEvent(NoWorkersEvent);
    return true;
}

void CountWorkerOut()
{
    EXCLUSIVELOCKGUARD lock(WorkerLock);
    if (--RunningWorkers == 0)
        SetEvent(NoWorkersEvent);
}

// The worker is counted out only after its whole cycle, the panel refresh and the LED update
// included; what is left of the thread then touches nothing that teardown frees.
DWORD WINAPI CountedMeasureThread(LPVOID window)
{
    MeasureThread(window);
    CountWorkerOut();
    return 0;
}

// Waits for the event, but keeps handling messages sent to this thread's windows meanwhile: a
// worker's panel refresh may set the caption of the main window, which is a message sent to the
// very thread that waits here in its teardown.
void WaitHandlingSentMessages(HANDLE event, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        // Peeking is what delivers messages sent from other threads; nothing is taken off the queue.
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD elapsed = GetTickCount() - start;
        const DWORD remaining = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        const DWORD woken =
            MsgWaitForMultipleObjectsEx(1, &event, remaining, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken != WAIT_OBJECT_0 + 1 || remaining == 0)
            return;
    }
}

}  // namespace

DWORD WINAPI MeasureThread(LPVOID window)
{
    MeasureCycle(static_cast<HWND>(window));
    return 0;
}

bool StartMeasureWorker(HWND window)
{
    if (!CountWorkerIn())
        return false;
    HANDLE thread = CreateThread(nullptr, 0, CountedMeasureThread, window, 0, nullptr);
    if (!thread) {
        CountWorkerOut();
        return false;
    }
    CloseHandle(thread);
    return true;
}

bool StopMeasureWorkers(DWORD timeoutMs)
{
    HANDLE event;
    {
        EXCLUSIVELOCKGUARD lock(WorkerLock);
        WorkersStopped = true;
        event = NoWorkersEvent;
    }
    if (event)
        WaitHandlingSentMessages(event, timeoutMs);
    EXCLUSIVELOCKGUARD lock(WorkerLock);
    return RunningWorkers == 0;
}

void AllowMeasureWorkers()
{
    EXCLUSIVELOCKGUARD lock(WorkerLock);
    WorkersStopped = false;
}
