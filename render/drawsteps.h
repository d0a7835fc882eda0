#pragma once

#include <windows.h>

// The steps of one frame, each drawing into dc at the rectangles of the panel's layout (LayOutPanel).
// A control the layout lacks is skipped; a missing font, pen or brush is not selected and drawing
// goes on with what the device context holds.

// The frame of a block's group box (its top moved down to the box's line) and its heading.
// headingId 0: the block has no heading.
void DrawBlockFrame(HDC dc, int groupId, int headingId, const char* heading);
// The title band's frame and the panel's title text.
void DrawTitle(HDC dc);
// One row of a block: the label left-aligned, the value right-aligned.
void DrawRow(HDC dc, int labelId, const char* label, int valueId, const char* valueText);
// The frame around the graph area.
void DrawGraphFrame(HDC dc);
// Grid, cursor line, traces, scale labels and the graph's frame.
void DrawGraph(HDC dc);
