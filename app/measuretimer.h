#pragma once

#include <windows.h>

// The measurement timer runs only once: starting a running timer changes nothing.
void StartMeasureTimer(HWND window);
void StopMeasureTimer(HWND window);
