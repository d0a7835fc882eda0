#pragma once

#include <windows.h>

#include "resources/resource.h"

// The value fields that show another reading while the mouse rests on them, in the order the
// mouse-over handler tests them.
enum HOVER_FIELD {
    HOVER_USAGE_CORE,
    HOVER_USAGE_MEMORY,
    HOVER_USAGE_VIDEO,
    HOVER_MEMORY_USED,
    HOVER_CLOCK_CORE,
    HOVER_CLOCK_MEMORY,
    HOVER_CLOCK_SHADER,
    HOVER_FAN,
    HOVER_FIELD_COUNT
};

constexpr int HoverFieldIds[HOVER_FIELD_COUNT] = {
    IDC_USAGE_CORE_VALUE,   IDC_USAGE_MEMORY_VALUE, IDC_USAGE_VIDEO_VALUE,  IDC_MEMORY_USED_VALUE,
    IDC_CLOCK_CORE_VALUE,   IDC_CLOCK_MEMORY_VALUE, IDC_CLOCK_SHADER_VALUE, IDC_FAN_VALUE,
};

// Kept by the main window's mouse handling, read by the painting: one flag per value field, set
// while the cursor is inside it, and the last cursor position over the panel in client
// coordinates, (-1, -1) when there is none. Painting may run on a measurement worker; a frame
// that sees a flag change half way only shows the old value once more.
extern bool HoverFlags[HOVER_FIELD_COUNT];
extern POINT HoverPosition;

void ClearHoverFlags();
void ForgetHoverPosition();
