#pragma once

#include <cstddef>

#include "gpu/gpuinfo.h"

// The window caption is at most 127 characters; each " value unit" part of the readings at
// most 15. Longer texts are cut, never split inside a double-byte character.
constexpr size_t CAPTION_SIZE = 128;
constexpr size_t CAPTION_PART_SIZE = 16;

// "name bus memoryMB" of the watched GPU.
void BuildIdentityText(char* buffer, size_t size, const GPUINFO& info);

// The two temperatures through [TASKBAR] Format, then one " value unit" part for each
// [TASKBAR] switch that is set: core, memory and video usage, memory in use, fan level.
// temperatures holds core and ambient, usages core, memory and video.
void BuildReadingsText(char* buffer, size_t size, const unsigned int temperatures[2], const unsigned int usages[3],
                       unsigned int memoryUsed, unsigned int fanLevel);
