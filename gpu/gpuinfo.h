#pragma once

#include <cstddef>

class CNVGF;

// The identity of the watched GPU, as the Information tab and the window caption show it. The
// texts point into the GPU object or at constant texts; they are never null.
struct GPUINFO {
    const char* FullName;
    const char* BiosVersion;   // empty when the BIOS could not be read
    const char* DriverVersion;
    const char* DriverBranch;
    unsigned int BusType;
    const char* BusName;
    unsigned int BusRate;      // AGP rate, or the PCI Express lane count when that rate is 0
    unsigned int Aperture;     // MB
    unsigned int Memory;       // MB
};

extern GPUINFO GpuInfo;

// Empty texts and zero numbers.
void ClearGpuInfo(GPUINFO& info);

// "?" for no bus, "PCI", "AGP", "PCI-E", "FPCI", and the empty text for codes NVAPI does not know.
const char* BusName(unsigned int busType);

// The sensor text shown in demonstration mode when no GPU could be selected.
extern const char DUMMY_MODE_TEXT[];

// Selects the GPU named by [GLOBAL] Device and [GLOBAL] GPU, fills GpuInfo and writes the sensor
// text (one line per thermal sensor, at most SENSORTEXT_SIZE - 1 bytes) into sensorText. A
// failed selection is a success in demonstration mode; a failed thermal read never is.
bool ProbeGpu(CNVGF& gpu, char* sensorText, size_t size);
