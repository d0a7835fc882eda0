#pragma once

#include <windows.h>

#include "dialogs/progbar.h"

// The usage bars of the "情報" tab. They live for the whole run; the page attaches them to its
// placeholders each time it is made and detaches them when it goes. Their peaks start afresh from
// the recorded maxima at each opening.
enum INFORMATION_BAR { BAR_CORE_USAGE, BAR_MEMORY_USAGE, BAR_VIDEO_USAGE, BAR_MEMORY_USED, INFORMATION_BAR_COUNT };
extern CPROGBAR InformationBars[INFORMATION_BAR_COUNT];

// Refreshes the bars once a second, only while the page is shown.
constexpr UINT_PTR INFORMATION_TIMER_ID = 4097;
constexpr UINT INFORMATION_TIMER_MS = 1000;
