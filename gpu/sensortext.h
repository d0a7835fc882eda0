#pragma once

#include <cstddef>

#include "gpu/nvapi.h"

// The sensor text's buffer size, terminator included.
enum : size_t { SENSORTEXT_SIZE = 384 };

// Names by the codes the driver reports; unknown codes give the empty text. The spellings are
// the ones users have always seen and stay as they are.
const char* ThermalControllerName(int controller);
const char* ThermalTargetName(int target);

// Writes one line per reported sensor, formatted with `format` (index, target name, controller
// name) and joined by line feeds. The text never exceeds SENSORTEXT_SIZE - 1 bytes nor size - 1:
// a line that does not fit is left out whole, with every line after it.
void BuildSensorText(const NV_THERMAL_SETTINGS& settings, const char* format, char* text, size_t size);
