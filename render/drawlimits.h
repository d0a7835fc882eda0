#pragma once

#include <windows.h>

// The theme keeps its numbers as the user wrote them; where one reaches GDI it is held to what the
// panel can show. Every value a user could sensibly set passes unchanged.

// A trace pen no wider than the graph, and no narrower than the one-pixel pen of width 0. Under
// Wine a polyline with a pen a million pixels wide takes fifteen seconds, so a frame of nine
// traces would hang the panel.
int HeldPenWidth(int width, int graphWidth);

// An offset (of a shadow, of the scale labels) of at most `extent` pixels either way: text moved
// further would leave the panel, and the sum with a coordinate could overflow.
int HeldOffset(int offset, int extent);

// A font no taller than the panel and no wider than it, keeping the sign that says how the size is
// measured. Under Wine a glyph 60,000 pixels high takes two seconds to draw, though clipped.
LOGFONTA HeldFont(const LOGFONTA& font, int panelWidth, int panelHeight);
