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

// What a cycle and a maximum reset end with: the shell installs the panel's refresh, which ends
// with the LED update. Without one (null, or measurement runs without a panel) they only update
// the LED. May be called by measurement workers at any time, so it is swapped atomically.
using PANELREFRESH = void (*)(HWND window);
void SetPanelRefresh(PANELREFRESH refresh);
// The body of a measurement worker: one cycle, then the thread ends. Start workers only through
// StartMeasureWorker, which counts them for teardown.
DWORD WINAPI MeasureThread(LPVOID window);
// Starts one counted measurement worker; false when the tick is lost (no thread, or workers are
// stopped).
bool StartMeasureWorker(HWND window);
// Teardown, before the sections are deleted: refuses new workers, then waits up to timeoutMs for
// the running ones (handling messages sent to the calling thread meanwhile, as a worker's panel
// refresh may send to the window). True when none is left: the sections may be deleted. False
// when a worker is still inside its cycle (a driver call that hangs): it will still take and
// release the Probe and Update sections and write to the process-wide records, so the sections
// must then NOT be deleted (they live on until the process ends, which frees them), and the
// process should end through ExitProcess, which stops such a thread before anything is torn down,
// rather than by running the static objects' destructors beneath it.
bool StopMeasureWorkers(DWORD timeoutMs);
// Allows workers again (a new main window).
void AllowMeasureWorkers();

// Lowers the temperature maxima to the current temperatures; waits for a running cycle.
void ResetMaximum(HWND window);
// Whether the watched GPU's logo LED brightness can be driven; false when the query fails.
[[nodiscard]] bool IlluminationSupported();
// Drives the board's LED brightness from the settings and the readings.
void UpdateIllumination();

// Demonstration readings: seeds the generator (0..32767 per draw) so runs can be repeated.
void SeedDemonstration(unsigned int seed);
