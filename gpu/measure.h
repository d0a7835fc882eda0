#pragma once

#include <windows.h>

#include "base/logfile.h"
#include "gpu/cnvgf.h"

// The process-wide GPU object and measurement log.
extern CNVGF Gpu;
extern LOGFILE MeasureLog;

// One measurement: reads, checks, keeps statistics and history, alerts, logs, then refreshes
// the panel. A cycle that finds another one running is dropped.
void MeasureCycle(HWND window);
// Worker thread body for asynchronous measurement; the parameter is the main window.
DWORD WINAPI MeasureThread(LPVOID window);
// Starts one measurement worker; false when the tick is lost (no thread, or shutting down).
bool StartMeasureWorker(HWND window);
// Stops new workers and waits up to timeoutMs for running ones; true when none is left, so the
// sections they use may be deleted.
bool StopMeasureWorkers(DWORD timeoutMs);
// Allows workers again (a new main window).
void AllowMeasureWorkers();

// Lowers the temperature maxima to the current temperatures; waits for a running cycle.
void ResetMaximum(HWND window);
// Drives the board's LED brightness from the settings and the readings.
void UpdateIllumination();

// Demonstration readings: seeds the generator (0..32767 per draw) so runs can be repeated.
void SeedDemonstration(unsigned int seed);
