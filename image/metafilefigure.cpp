// The outlines of drawing calls and of the path, measured as the player will fill and stroke them.
#include <cmath>
#include <cstring>
#include <new>

#include "image/metafileplay.h"

namespace {

// Rows written, remembered so that clearing a small figure costs no more than drawing it did.
const int CLEAR_LOG = 4096;

}  // namespace

AFFINE Combine(const AFFINE& first, const AFFINE& then)
{
    return {first.m11 * then.m11 + first.m12 * then.m21,         first.m11 * then.m12 + first.m12 * then.m22,
            first.m21 * then.m11 + first.m22 * then.m21,         first.m21 * then.m12 + first.m22 * then.m22,
            first.dx * then.m11 + first.dy * then.m21 + then.dx, first.dx * then.m12 + first.dy * then.m22 + then.dy};
}

FIGURE::FIGURE()
    : segments(0),
      crossings(0),
      pieces(0),
      length(0),
      clippedLength(0),
      rise(0),
      left(0),
      top(0),
      right(0),
      bottom(0),
      rowTop(0),
      rowCount(0),
      edgeRows(nullptr),
      pieceRows(nullptr),
      startX(0),
      startY(0),
      lastX(0),
      lastY(0),
      open(false),
      bounded(false),
      direction(0),
      pieceLow(0),
      pieceHigh(0),
      frameSpan(0),
      touchedLow(0),
      touchedHigh(-1),
      log(nullptr),
      logged(0)
{
}

FIGURE::~FIGURE()
{
    delete[] edgeRows;
    delete[] pieceRows;
    delete[] log;
}

bool FIGURE::Allocate(int64_t top_, int64_t rows, double span)
{
    rowTop = top_;
    rowCount = rows;
    frameSpan = span;
    edgeRows = new (std::nothrow) int64_t[static_cast<size_t>(rows) + 2]();
    pieceRows = new (std::nothrow) int64_t[static_cast<size_t>(rows) + 2]();
    log = new (std::nothrow) int64_t[CLEAR_LOG];
    return edgeRows && pieceRows && log;
}

void FIGURE::Clear()
{
    if (logged <= CLEAR_LOG) {
        for (int entry = 0; entry < logged; ++entry) {
            edgeRows[log[entry]] = 0;
            pieceRows[log[entry]] = 0;
        }
    } else if (touchedHigh >= touchedLow) {
        const size_t count = static_cast<size_t>(touchedHigh - touchedLow + 1);
        memset(edgeRows + touchedLow, 0, count * sizeof *edgeRows);
        memset(pieceRows + touchedLow, 0, count * sizeof *pieceRows);
    }
    logged = 0;
    touchedLow = 0;
    touchedHigh = -1;
    segments = crossings = pieces = 0;
    length = clippedLength = rise = 0;
    left = top = right = bottom = 0;
    open = false;
    bounded = false;
    direction = 0;
}

void FIGURE::Touch(int64_t index)
{
    if (logged < CLEAR_LOG)
        log[logged] = index;
    ++logged;
    if (touchedHigh < touchedLow) {
        touchedLow = touchedHigh = index;
    } else {
        touchedLow = index < touchedLow ? index : touchedLow;
        touchedHigh = index > touchedHigh ? index : touchedHigh;
    }
}

// Rows floor(y0) to floor(y1), both included, each counted `weight` more times. The points were
// held to the reach of the picture, which the rows cover.
int64_t FIGURE::Span(int64_t* counts, double y0, double y1, int64_t weight)
{
    int64_t first = static_cast<int64_t>(std::floor(std::fmin(y0, y1))) - rowTop;
    int64_t last = static_cast<int64_t>(std::floor(std::fmax(y0, y1))) - rowTop;
    first = first < 0 ? 0 : (first >= rowCount ? rowCount - 1 : first);
    last = last < 0 ? 0 : (last >= rowCount ? rowCount - 1 : last);
    counts[first] += weight;
    counts[last + 1] -= weight;
    Touch(first);
    Touch(last + 1);
    return last - first + 1;
}

void FIGURE::Include(double x, double y)
{
    if (!bounded) {
        left = right = x;
        top = bottom = y;
        bounded = true;
        return;
    }
    left = std::fmin(left, x);
    right = std::fmax(right, x);
    top = std::fmin(top, y);
    bottom = std::fmax(bottom, y);
}

void FIGURE::EndPiece()
{
    if (open && direction != 0) {
        Span(pieceRows, pieceLow, pieceHigh, 1);
        ++pieces;
    }
    direction = 0;
    pieceLow = pieceHigh = lastY;
}

// Filling closes every figure, so each open one adds the edge back to its start.
void FIGURE::CloseForFill()
{
    if (open && std::floor(lastY) != std::floor(startY))
        crossings += static_cast<uint64_t>(Span(edgeRows, lastY, startY, 1));
    startY = lastY;
}

void FIGURE::MoveTo(double x, double y)
{
    CloseForFill();
    EndPiece();
    Include(x, y);
    startX = lastX = x;
    startY = lastY = y;
    pieceLow = pieceHigh = y;
    open = true;
}

void FIGURE::LineTo(double x, double y)
{
    if (!open) {
        MoveTo(x, y);
        return;
    }
    const double dx = x - lastX;
    const double dy = y - lastY;
    const double stretch = std::hypot(dx, dy);
    ++segments;
    length += stretch;
    clippedLength += std::fmin(stretch, frameSpan);
    rise += std::fabs(dy);
    // The edge table of a polygon leaves out horizontal edges.
    if (std::floor(y) != std::floor(lastY))
        crossings += static_cast<uint64_t>(Span(edgeRows, lastY, y, 1));
    const int heading = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    if (heading != 0 && direction != 0 && heading != direction)
        EndPiece();
    if (heading != 0)
        direction = heading;
    pieceLow = std::fmin(pieceLow, y);
    pieceHigh = std::fmax(pieceHigh, y);
    Include(x, y);
    lastX = x;
    lastY = y;
}

// A cubic Bézier crosses any row no more often than its control polygon does, and its rise is no
// more than the polygon's: the polygon stands for the curve, flattened into more lines.
void FIGURE::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3)
{
    const double FLATTENED_LIMIT = 256;
    const double control =
        std::hypot(x1 - lastX, y1 - lastY) + std::hypot(x2 - x1, y2 - y1) + std::hypot(x3 - x2, y3 - y2);
    const uint64_t before = segments;
    LineTo(x1, y1);
    LineTo(x2, y2);
    LineTo(x3, y3);
    segments = before + static_cast<uint64_t>(std::fmin(FLATTENED_LIMIT, 2 + control / 2));
}

void FIGURE::Loop(double l, double t, double r, double b, uint64_t points)
{
    EndPiece();
    open = false;
    Include(l, t);
    Include(r, b);
    const double perimeter = 2 * ((r - l) + (b - t));
    segments += points;
    length += perimeter;
    clippedLength += std::fmin(perimeter, 2 * frameSpan);
    rise += 2 * (b - t);
    crossings += 2 * static_cast<uint64_t>(Span(edgeRows, t, b, 2));
    Span(pieceRows, t, b, 2);
    pieces += 2;
}

void FIGURE::Close()
{
    if (open && (lastX != startX || lastY != startY))
        LineTo(startX, startY);
}

double FIGURE::SquaredCrossings(int64_t frameTop, int64_t frameBottom) const
{
    double sum = 0;
    int64_t count = 0;
    for (int64_t row = touchedLow; row <= touchedHigh && row < rowCount; ++row) {
        count += edgeRows[row];
        const int64_t y = row + rowTop;
        if (y >= frameTop && y < frameBottom)
            sum += static_cast<double>(count) * static_cast<double>(count);
    }
    return sum;
}

double FIGURE::PieceRows(double cap)
{
    EndPiece();
    double sum = 0;
    int64_t count = 0;
    for (int64_t row = touchedLow; row <= touchedHigh && row < rowCount; ++row) {
        count += pieceRows[row];
        sum += std::fmin(static_cast<double>(count), cap);
    }
    return sum;
}
