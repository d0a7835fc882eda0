#include "render/drawlimits.h"

namespace {

int Hold(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

int HoldMagnitude(int value, int extent)
{
    const int limit = extent > 0 ? extent : 0;
    return Hold(value, -limit, limit);
}

}  // namespace

int HeldPenWidth(int width, int graphWidth) { return Hold(width, 0, graphWidth > 0 ? graphWidth : 0); }

int HeldOffset(int offset, int extent) { return HoldMagnitude(offset, extent); }

LOGFONTA HeldFont(const LOGFONTA& font, int panelWidth, int panelHeight)
{
    LOGFONTA held = font;
    held.lfHeight = HoldMagnitude(font.lfHeight, panelHeight);
    held.lfWidth = HoldMagnitude(font.lfWidth, panelWidth);
    return held;
}
