#pragma once

#include <cstddef>

// The text of the panel's title band: the window caption as last set (at most 127 bytes).
constexpr size_t PANEL_TITLE_SIZE = 128;

// The caption may be set on a measurement worker while the window thread paints, so the text is
// only ever copied whole under its own lock; the lock is never held while taking another one.
void SetPanelTitle(const char* text);
void CopyPanelTitle(char* buffer, size_t size);
