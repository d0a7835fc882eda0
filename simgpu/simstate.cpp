#include "simgpu/simstate.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "simgpu/journal.h"

SIMSTATE Sim;

namespace {

const uintptr_t DISPLAY_TAG = 0x0D150000;
const uintptr_t GPU_TAG = 0x06B00000;

bool DecodeDisplay(NvDisplayHandle handle, size_t& display)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < DISPLAY_TAG || value - DISPLAY_TAG >= Sim.scenario.Displays.size())
        return false;
    display = value - DISPLAY_TAG;
    return true;
}

bool DecodeGpu(NvPhysicalGpuHandle handle, size_t& display, size_t& gpu)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value < GPU_TAG || value - GPU_TAG > 0xFFFF)
        return false;
    display = (value - GPU_TAG) >> 8;
    gpu = (value - GPU_TAG) & 0xFF;
    return display < Sim.scenario.Displays.size() && gpu < Sim.scenario.Displays[display].Gpus.size();
}

}  // namespace

NvDisplayHandle MakeDisplayHandle(size_t display) { return reinterpret_cast<NvDisplayHandle>(DISPLAY_TAG + display); }

NvPhysicalGpuHandle MakeGpuHandle(size_t display, size_t gpu)
{
    return reinterpret_cast<NvPhysicalGpuHandle>(GPU_TAG + (display << 8) + gpu);
}

void ReloadScenario()
{
    Sim.scenario = LoadScenario(ScenarioPath());
    Sim.loaded = true;
    Sim.initialized = false;
    for (unsigned long long& count : Sim.calls)
        count = 0;
}

bool IsOffered(NvU32 id)
{
    AcquireSRWLockExclusive(&Sim.lock);
    if (!Sim.loaded)
        ReloadScenario();
    bool offered = true;
    for (NvU32 hidden : Sim.scenario.HiddenIds)
        if (hidden == id)
            offered = false;
    ReleaseSRWLockExclusive(&Sim.lock);
    return offered;
}

SIMCALL::SIMCALL(SIMFUNCTION function) : function(function), number(0)
{
    AcquireSRWLockExclusive(&Sim.lock);
    // The start reads the scenario afresh, so that each test (and each start of the program)
    // sees its own scenario even when the library stayed loaded.
    if (function == SF_INITIALIZE || !Sim.loaded)
        ReloadScenario();
    number = ++Sim.calls[function];
}

SIMCALL::~SIMCALL() { ReleaseSRWLockExclusive(&Sim.lock); }

void SIMCALL::Argument(const char* format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    arguments += ' ';
    arguments += text;
}

void SIMCALL::ArgumentGpu(NvPhysicalGpuHandle gpu)
{
    size_t display, index;
    if (DecodeGpu(gpu, display, index))
        Argument("gpu=%u.%u", static_cast<unsigned>(display), static_cast<unsigned>(index));
    else
        Argument("gpu=%p", static_cast<void*>(gpu));
}

void SIMCALL::ArgumentDisplay(NvDisplayHandle display)
{
    size_t index;
    if (DecodeDisplay(display, index))
        Argument("display=%u", static_cast<unsigned>(index));
    else
        Argument("display=%p", static_cast<void*>(display));
}

NvAPI_Status SIMCALL::Admit() const
{
    if (function != SF_INITIALIZE && !Sim.initialized)
        return NVAPI_API_NOT_INITIALIZED;
    const SIMFAILURE& failure = Sim.scenario.Failures[function];
    if (failure.Always)
        return NVAPI_ERROR;
    for (unsigned long long call : failure.Calls)
        if (call == number)
            return NVAPI_ERROR;
    return NVAPI_OK;
}

SIMDISPLAY* SIMCALL::FindDisplay(NvDisplayHandle display, NvAPI_Status& status) const
{
    size_t index;
    if (!DecodeDisplay(display, index)) {
        status = NVAPI_INVALID_HANDLE;
        return nullptr;
    }
    return &Sim.scenario.Displays[index];
}

SIMGPU* SIMCALL::FindGpu(NvPhysicalGpuHandle gpu, NvAPI_Status& status) const
{
    size_t display, index;
    if (!DecodeGpu(gpu, display, index)) {
        status = NVAPI_INVALID_HANDLE;
        return nullptr;
    }
    return &Sim.scenario.Displays[display].Gpus[index];
}

NvAPI_Status SIMCALL::Finish(NvAPI_Status status)
{
    char result[48];
    if (Sim.scenario.JournalTimes)
        snprintf(result, sizeof result, " -> %d @%lu", status, GetTickCount());
    else
        snprintf(result, sizeof result, " -> %d", status);
    AppendJournalLine(Sim.scenario.Journal, FunctionEntry(function).Name + arguments + result);
    return status;
}

void CopyDriverText(char* target, const std::string& text)
{
    memset(target, 0, NVAPI_SHORT_STRING_MAX);
    memcpy(target, text.data(), text.size() < NVAPI_SHORT_STRING_MAX ? text.size() : NVAPI_SHORT_STRING_MAX - 1);
}
