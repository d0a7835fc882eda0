#pragma once

#include <windows.h>

#include "simgpu/functions.h"
#include "simgpu/scenario.h"

// The simulated driver's whole state. Every call runs under the lock, so the program's window
// thread and its measurement threads may call at the same time.
struct SIMSTATE {
    SRWLOCK lock = SRWLOCK_INIT;
    bool loaded = false;
    bool initialized = false;
    SCENARIO scenario;
    unsigned long long calls[SF_COUNT] = {};
};

extern SIMSTATE Sim;

// Reads the scenario afresh and forgets every count and reading; the caller holds the lock.
void ReloadScenario();
// False when the scenario hides the function with this ID. Takes the lock itself, and reads
// the scenario first when that has not happened yet (the query comes before NvAPI_Initialize).
bool IsOffered(NvU32 id);

// One call of a simulated function: holds the lock, counts the call, and writes the journal
// line with its arguments and status when it ends.
class SIMCALL {
public:
    explicit SIMCALL(SIMFUNCTION function);
    ~SIMCALL();
    SIMCALL(const SIMCALL&) = delete;
    SIMCALL& operator=(const SIMCALL&) = delete;

    // Adds " text" to the journal line.
    void Argument(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void ArgumentGpu(NvPhysicalGpuHandle gpu);
    void ArgumentDisplay(NvDisplayHandle display);

    // NVAPI_OK when the call may go on: the driver is started (unless this is the start itself)
    // and the scenario does not make this call fail.
    NvAPI_Status Admit() const;
    // The display or GPU behind a handle, or null with NVAPI_INVALID_HANDLE in status.
    SIMDISPLAY* FindDisplay(NvDisplayHandle display, NvAPI_Status& status) const;
    SIMGPU* FindGpu(NvPhysicalGpuHandle gpu, NvAPI_Status& status) const;

    // Journals the call and returns its status.
    NvAPI_Status Finish(NvAPI_Status status);

private:
    SIMFUNCTION function;
    unsigned long long number;
    std::string arguments;
};

// Handles are made of the display and GPU numbers, so that a stale or foreign one is recognised.
NvDisplayHandle MakeDisplayHandle(size_t display);
NvPhysicalGpuHandle MakeGpuHandle(size_t display, size_t gpu);

// Writes a driver text the way the driver does: cut to 63 bytes, the rest of the 64 zero.
void CopyDriverText(char* target, const std::string& text);

// The shape shared by every call that answers one number or text about a GPU.
template <typename VALUE, typename FILL>
NvAPI_Status GpuQuery(SIMFUNCTION function, NvPhysicalGpuHandle handle, VALUE* out, FILL fill)
{
    SIMCALL call(function);
    call.ArgumentGpu(handle);
    NvAPI_Status status = call.Admit();
    SIMGPU* gpu = status == NVAPI_OK ? call.FindGpu(handle, status) : nullptr;
    if (status == NVAPI_OK && !out)
        status = NVAPI_INVALID_ARGUMENT;
    if (status == NVAPI_OK)
        fill(*gpu, out);
    return call.Finish(status);
}
