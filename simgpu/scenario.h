#pragma once

#include <string>
#include <vector>

#include "gpu/nvapi.h"
#include "simgpu/sequence.h"

// What the simulated driver pretends to be: read from the scenario file, or one healthy
// PCI Express GPU when there is none. See README.md for the file's keys.

struct SIMSENSOR {
    int Controller = 1;
    int Target = NV_THERMAL_TARGET_GPU;
    NvU32 DefaultMinTemp = 0;
    NvU32 DefaultMaxTemp = 127;
    SIMSEQUENCE Temp;
};

struct SIMGPU {
    std::string FullName;
    std::string Bios;
    NvU32 BusType = NV_BUS_TYPE_PCI_EXPRESS;
    NvU32 AgpRate = 0;
    NvU32 PcieWidth = 16;
    NvU32 AgpApertureKB = 262144;
    NvU32 FrameBufferKB = 4194304;

    std::vector<SIMSENSOR> Sensors;
    NvU32 ReportedSensors = 0;  // the count word written into the record

    std::vector<NvU32> ClockDomains;
    SIMSEQUENCE ClockCore, ClockMemory, ClockShader;  // kHz
    SIMSEQUENCE BoostCore, BoostMemory, BoostShader;  // kHz

    std::vector<NvU32> PstateEntries;
    SIMSEQUENCE UsageCore, UsageMemory, UsageVideo;

    SIMSEQUENCE Tach;
    NvU32 Coolers = 1;
    SIMSEQUENCE FanLevel;

    bool Illumination = true;
    NvU32 IlluminationValue = 100;
};

struct SIMDISPLAY {
    std::string Adapter;
    std::vector<SIMGPU> Gpus;
    NvU32 ReportedGpus = 0;  // the count the GPU enumeration answers
    SIMSEQUENCE MemoryDedicated;  // KB
    SIMSEQUENCE MemoryAvailable;  // KB
};

// Failures scripted for one function: on every call, or on the listed call numbers (from 1).
struct SIMFAILURE {
    bool Always = false;
    std::vector<unsigned long long> Calls;
};

struct SCENARIO {
    // True when a scenario file was named but could not be read; the driver then refuses to start.
    bool Missing = false;
    std::string Path;
    std::string Journal;
    // Each journal line ends with the tick count of its call, " @<milliseconds>".
    bool JournalTimes = false;
    std::string InterfaceVersion;
    NvU32 DriverVersion = 34709;
    NvU32 ChangeList = 34709001;
    std::string Branch;
    std::vector<SIMDISPLAY> Displays;
    std::vector<NvU32> HiddenIds;
    std::vector<SIMFAILURE> Failures;  // by SIMFUNCTION
};

// The path of the scenario file: %VARNOK_SIMGPU%, else simgpu.ini beside the DLL when it exists,
// else empty.
std::string ScenarioPath();
// Reads the scenario at path (the built-in one for an empty path).
SCENARIO LoadScenario(const std::string& path);
