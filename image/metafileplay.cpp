// What each drawing call costs the player, against the budget.
#include "image/metafileplay.h"

#include <cmath>

#include "image/imagelimits.h"

namespace {

// A rectangle of a region, as the player stores it.
const uint64_t REGION_RECT_BYTES = 16;

}  // namespace

// A point in picture pixels, false beyond the reach of the picture: the player builds outlines and
// regions of the whole shape before it clips them, so a shape far larger than the picture costs
// as much as one that large.
bool METAFILEPLAY::ToPicture(const AFFINE& t, double x, double y, double& px, double& py) const
{
    px = x * t.m11 + y * t.m21 + t.dx;
    py = x * t.m12 + y * t.m22 + t.dy;
    return px >= -reach && px <= width + reach && py >= -reach && py <= height + reach;
}

// The box of a rectangle's four corners in picture pixels.
bool METAFILEPLAY::Box(const AFFINE& through, double l, double t, double r, double b, double& pl, double& pt,
                       double& pr, double& pb) const
{
    const double xs[4] = {l, r, r, l};
    const double ys[4] = {t, t, b, b};
    for (int corner = 0; corner < 4; ++corner) {
        double px = 0, py = 0;
        if (!ToPicture(through, xs[corner], ys[corner], px, py))
            return false;
        pl = corner == 0 ? px : std::fmin(pl, px);
        pr = corner == 0 ? px : std::fmax(pr, px);
        pt = corner == 0 ? py : std::fmin(pt, py);
        pb = corner == 0 ? py : std::fmax(pb, py);
    }
    return true;
}

uint64_t METAFILEPLAY::ClippedArea(double l, double t, double r, double b) const
{
    const double w = std::fmin(r + 1, width) - std::fmax(l, 0);
    const double h = std::fmin(b + 1, height) - std::fmax(t, 0);
    return w > 0 && h > 0 ? static_cast<uint64_t>(w * h) : 0;
}

// The pen's width in pixels as the player computes it when the pen is selected, and whether it
// draws through a region. False for a pen wider than the picture.
bool METAFILEPLAY::PenWidth(double& pixelWidth, bool& region) const
{
    pixelWidth = state.pen.width == 0 ? 1 : std::fmax(1, std::floor(static_cast<double>(state.pen.width) * Scale()));
    region = state.pen.geometric || pixelWidth > 1;
    return pixelWidth <= static_cast<double>(METAFILE_STROKE_FRAMES) * (width > height ? width : height);
}

bool METAFILEPLAY::MoveTo(double x, double y)
{
    double px = 0, py = 0;
    state.x = x;
    state.y = y;
    if (!inPath)
        return true;
    if (!ToPicture(x, y, px, py))
        return false;
    path.MoveTo(px, py);
    return true;
}

void METAFILEPLAY::Moved(double x, double y)
{
    state.x = x;
    state.y = y;
}

FIGURE& METAFILEPLAY::Start()
{
    if (inPath) {
        target = &path;
    } else {
        scratch.Clear();
        target = &scratch;
    }
    return *target;
}

bool METAFILEPLAY::Point(double x, double y, bool move)
{
    double px = 0, py = 0;
    if (!ToPicture(x, y, px, py))
        return false;
    if (move)
        target->MoveTo(px, py);
    else
        target->LineTo(px, py);
    return true;
}

bool METAFILEPLAY::Curve(double x1, double y1, double x2, double y2, double x3, double y3)
{
    double p1x = 0, p1y = 0, p2x = 0, p2y = 0, p3x = 0, p3y = 0;
    if (!ToPicture(x1, y1, p1x, p1y) || !ToPicture(x2, y2, p2x, p2y) || !ToPicture(x3, y3, p3x, p3y))
        return false;
    target->CurveTo(p1x, p1y, p2x, p2y, p3x, p3y);
    return true;
}

// The player walks an ellipse pixel by pixel: about twice its width and height in points.
bool METAFILEPLAY::Loop(double l, double t, double r, double b)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    if (!Box(device, l, t, r, b, pl, pt, pr, pb))
        return false;
    target->Loop(pl, pt, pr, pb, static_cast<uint64_t>(2 * ((pr - pl) + (pb - pt))) + 4);
    return true;
}

bool METAFILEPLAY::RoundCorners(double l, double t, double r, double b, double cornerWidth, double cornerHeight)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    if (!Box(device, l, t, r, b, pl, pt, pr, pb))
        return false;
    // The player maps the corner's size as a point, which must stay an integer.
    const double scale = Scale();
    if (std::fabs(cornerWidth) * scale > reach || std::fabs(cornerHeight) * scale > reach)
        return false;
    const double cw = std::fmin(std::fabs(cornerWidth) * scale, pr - pl);
    const double ch = std::fmin(std::fabs(cornerHeight) * scale, pb - pt);
    target->Loop(pl, pt, pr, pb, static_cast<uint64_t>(2 * (cw + ch)) + 8);
    return true;
}

void METAFILEPLAY::CloseFigure() { target->Close(); }

bool METAFILEPLAY::IsWithinReach(double x, double y) const
{
    double px = 0, py = 0;
    return ToPicture(x, y, px, py);
}

// Filling builds a region of the outline, clipped to the picture, and paints it.
bool METAFILEPLAY::FillFigure(FIGURE& figure)
{
    if (figure.IsEmpty())
        return true;
    figure.CloseForFill();
    const double rows = std::fmin(figure.bottom + 1, height) - std::fmax(figure.top, 0);
    const double area = static_cast<double>(ClippedArea(figure.left, figure.top, figure.right, figure.bottom));
    const double cost =
        figure.SquaredCrossings(0, height) * COST_SCAN + static_cast<double>(figure.crossings) * COST_CROSSING +
        static_cast<double>(figure.segments) * COST_POINT + std::fmax(rows, 0) * COST_ROW + area * COST_FILL_PIXEL;
    return Transient(static_cast<uint64_t>(std::fmax(rows, 0) * 2 + static_cast<double>(figure.segments)) *
                     REGION_RECT_BYTES) &&
           Charge(cost, area);
}

// A one-pixel pen draws each line clipped to the picture. A wide pen builds the region of the
// whole stroke, unclipped: each line and join a piece of it, each piece merged into what the
// stroke has so far, whose size grows with the rows its y-monotone pieces cover (a row holds no
// more separate spans than pieces crossing it, nor more than fit across the stroke's width).
bool METAFILEPLAY::Stroke(FIGURE& figure)
{
    if (!state.pen.drawn || figure.segments == 0)
        return true;
    double pen = 1;
    bool region = false;
    if (!PenWidth(pen, region))
        return false;
    // A dashed wide pen adds every dash to the region on its own.
    const double segments =
        static_cast<double>(figure.segments) + (state.pen.dashed && region ? figure.length / pen : 0);
    if (!region)
        return Charge(segments * COST_POINT + figure.clippedLength * COST_LINE_PIXEL,
                      std::fmin(figure.clippedLength, frameArea));
    // A miter join reaches up to five widths from its point (the limit is held to 10).
    const double join = state.pen.mitred ? 10 * pen : pen;
    const double spans = (figure.right - figure.left + join) / (pen + 1) + 1;
    const double rects = figure.PieceRows(spans) + static_cast<double>(figure.pieces) * join;
    const double rows = figure.rise + segments * (join + 1);
    const double cost =
        pen * COST_CAP_ROW + rows * COST_ROW + 2 * segments * rects * COST_REGION_RECT + 2 * rows * COST_REGION_RECT;
    const double area = std::fmin((figure.length + segments * pen) * pen, frameArea);
    return Transient(static_cast<uint64_t>(rects + rows) * REGION_RECT_BYTES) &&
           Charge(cost + area * COST_FILL_PIXEL, area);
}

bool METAFILEPLAY::Draw(bool stroke, bool fill)
{
    if (inPath)
        return true;
    return (!fill || FillFigure(scratch)) && (!stroke || Stroke(scratch));
}

bool METAFILEPLAY::BeginPath()
{
    path.Clear();
    inPath = pathExists = true;
    target = &path;
    return true;
}

bool METAFILEPLAY::EndPath()
{
    inPath = false;
    target = &scratch;
    return true;
}

bool METAFILEPLAY::AbortPath()
{
    path.Clear();
    inPath = pathExists = false;
    target = &scratch;
    return true;
}

// Filling or stroking a path uses it up; one still open is refused by the player.
bool METAFILEPLAY::DrawPath(bool stroke, bool fill)
{
    if (inPath || !pathExists)
        return true;
    const bool drawn = (!fill || FillFigure(path)) && (!stroke || Stroke(path));
    path.Clear();
    pathExists = false;
    return drawn;
}

bool METAFILEPLAY::ClipPath()
{
    if (inPath || !pathExists)
        return true;
    path.CloseForFill();
    const double rows = std::fmin(path.bottom + 1, height) - std::fmax(path.top, 0);
    const bool built =
        Charge(path.SquaredCrossings(0, height) * COST_SCAN + static_cast<double>(path.crossings) * COST_CROSSING +
                   static_cast<double>(path.segments) * COST_POINT + std::fmax(rows, 0) * COST_ROW,
               0);
    path.Clear();
    pathExists = false;
    return built;
}

bool METAFILEPLAY::Fill(double l, double t, double r, double b, uint64_t pixelCost)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    if (!Box(device, l, t, r, b, pl, pt, pr, pb))
        return false;
    const double area = static_cast<double>(ClippedArea(pl, pt, pr, pb));
    return Charge(area * static_cast<double>(pixelCost), area);
}

bool METAFILEPLAY::Bitmap(uint64_t bitmapWidth, uint64_t bitmapHeight, double l, double t, double r, double b)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    if (!IsDrawableImageSize(bitmapWidth, bitmapHeight) || !Box(device, l, t, r, b, pl, pt, pr, pb))
        return false;
    const double source = static_cast<double>(bitmapWidth) * static_cast<double>(bitmapHeight);
    const double area = static_cast<double>(ClippedArea(pl, pt, pr, pb));
    // The bitmap converted to the device's format, and once more on its way to the picture.
    return Transient(static_cast<uint64_t>(source) * 4 * 2) &&
           Charge(source * COST_SOURCE_PIXEL + area * COST_BLIT_PIXEL, area);
}

bool METAFILEPLAY::PatternBrush(uint64_t bitmapWidth, uint64_t bitmapHeight)
{
    if (!IsDrawableImageSize(bitmapWidth, bitmapHeight))
        return false;
    const double source = static_cast<double>(bitmapWidth) * static_cast<double>(bitmapHeight);
    return Hold(static_cast<uint64_t>(source) * 4 * 2) && Charge(source * COST_SOURCE_PIXEL, 0);
}

// Every character's glyph is rasterised whole, wherever it lands, and kept in the player's glyph
// cache: a box as wide as the font is high and as high, four bytes a pixel at most.
bool METAFILEPLAY::Text(double x, double y, uint64_t characters)
{
    double px = 0, py = 0;
    if (inPath || !ToPicture(x, y, px, py))
        return false;
    const double height_ = state.font.height == 0 ? static_cast<double>(METAFILE_DEFAULT_FONT_HEIGHT)
                                                  : std::fabs(static_cast<double>(state.font.height));
    const double size = std::fmax(height_, std::fabs(static_cast<double>(state.font.width))) * Scale();
    if (size > static_cast<double>(METAFILE_STROKE_FRAMES) * (width > height ? width : height))
        return false;
    const double count = static_cast<double>(characters);
    const double glyph = (size + 1) * (size + 1);
    return Hold(static_cast<uint64_t>(count * glyph * 4)) &&
           Charge(count * (COST_CHARACTER + glyph * COST_GLYPH_PIXEL), count * std::fmin(glyph, frameArea));
}

// Regions are built a rectangle at a time, each merged into those before it.
bool METAFILEPLAY::BuildRegion(uint64_t rects, double top_, double bottom_, double area)
{
    const double count = static_cast<double>(rects);
    return Transient(rects * REGION_RECT_BYTES * 2) &&
           Charge(count * count * COST_REGION_PAIR + count * COST_REGION_PIECE + (bottom_ - top_ + 1) * COST_ROW +
                      area * COST_FILL_PIXEL,
                  area);
}

bool METAFILEPLAY::Rects(uint64_t rects)
{
    const double count = static_cast<double>(rects);
    return Transient(rects * REGION_RECT_BYTES * 2) &&
           Charge(count * count * COST_REGION_PAIR + count * COST_REGION_PIECE, 0);
}

bool METAFILEPLAY::Region(uint64_t rects, double l, double t, double r, double b, bool fill)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    return Box(device, l, t, r, b, pl, pt, pr, pb) &&
           BuildRegion(rects, pt, pb, fill ? static_cast<double>(ClippedArea(pl, pt, pr, pb)) : 0);
}

bool METAFILEPLAY::ClipRegion(uint64_t rects, double l, double t, double r, double b)
{
    double pl = 0, pt = 0, pr = 0, pb = 0;
    return Box(start, l, t, r, b, pl, pt, pr, pb) && BuildRegion(rects, pt, pb, 0);
}
