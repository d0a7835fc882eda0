// The records of an enhanced metafile that draw or make objects: what each asks of the player,
// checked against the record and the object table, and what it costs.
#include "image/emfrecords.h"

#include <algorithm>
#include <cmath>

#include "image/dibfields.h"
#include "image/imagelimits.h"

namespace {

const uint32_t REGION_HEADER = 32;  // RGNDATAHEADER
const uint32_t DIB_PAL_MONO = 2;    // monochrome brush bits without a colour table

// A device-independent bitmap of a record: its header and colour table in one stretch, its rows
// in another. `rows` is how many rows the record's bits must hold (all of them, unless given).
bool ReadDib(const EMFRECORD& r, uint32_t info, uint32_t infoBytes, uint32_t bits, uint32_t bitsBytes, uint32_t usage,
             uint64_t& width, uint64_t& height, int64_t rows = -1, uint32_t* bitCount = nullptr)
{
    static const uint32_t INFO_SIZES[] = {40, 52, 56, 108, 124, 0};
    unsigned char header[40] = {};
    DIBFIELDS dib;
    if (usage > DIB_PAL_MONO || !r.Holds(info, infoBytes) || !r.Holds(bits, bitsBytes) || infoBytes < 12 ||
        !r.Read(info, header, infoBytes < sizeof header ? infoBytes : sizeof header) ||
        !ReadDibFields(header, INFO_SIZES, dib) || dib.size > infoBytes)
        return false;
    width = dib.width;
    height = dib.height;
    if (bitCount)
        *bitCount = dib.depth;
    const uint32_t size = dib.size, depth = dib.depth, compression = dib.compression, colours = dib.colours;
    const uint32_t most = dib.mostColours;
    const uint64_t masks = compression == BI_BITFIELDS && size == 40 ? 12 : 0;
    const uint64_t table = usage == DIB_PAL_MONO ? 0 : (colours ? colours : (depth <= 8 ? most : 0)) * 4;
    const uint64_t stride = (width * depth + 31) / 32 * 4;
    const uint64_t needed = rows < 0 ? height : static_cast<uint64_t>(rows);
    return size + masks + table <= infoBytes && stride * needed <= bitsBytes;
}

}  // namespace

// `count` points from `at`, as longs or shorts; from the current position for the "To" records;
// each three points a Bézier where `curves`.
bool EMFCHECK::Points(const EMFRECORD& r, uint32_t at, uint64_t count, bool shortPoints, bool fromCurrent, bool curves,
                      bool closed)
{
    const size_t CHUNK = 512;
    const uint64_t pointBytes = shortPoints ? 4 : 8;
    if (!r.Holds(at, count * pointBytes))
        return false;
    play.Start();
    if (fromCurrent && !play.Point(play.X(), play.Y(), true))
        return false;
    double curve[6] = {};
    int pending = 0;
    double x = play.X(), y = play.Y();
    unsigned char chunk[CHUNK * 8];
    for (uint64_t done = 0; done < count;) {
        const size_t take = count - done < CHUNK ? static_cast<size_t>(count - done) : CHUNK;
        if (!r.Read(at + done * pointBytes, chunk, take * pointBytes))
            return false;
        for (size_t point = 0; point < take; ++point) {
            const unsigned char* p = chunk + point * pointBytes;
            x = shortPoints ? static_cast<int16_t>(LittleEndian16(p)) : static_cast<int32_t>(LittleEndian32(p));
            y = shortPoints ? static_cast<int16_t>(LittleEndian16(p + 2)) : static_cast<int32_t>(LittleEndian32(p + 4));
            const bool first = done + point == 0 && !fromCurrent;
            if (!curves || first) {
                if (!play.Point(x, y, first))
                    return false;
                continue;
            }
            curve[2 * pending] = x;
            curve[2 * pending + 1] = y;
            if (++pending == 3) {
                pending = 0;
                if (!play.Curve(curve[0], curve[1], curve[2], curve[3], curve[4], curve[5]))
                    return false;
            }
        }
        done += take;
    }
    if (closed)
        play.CloseFigure();
    if (fromCurrent && count > 0)
        play.Moved(x, y);
    return true;
}

bool EMFCHECK::Poly(const EMFRECORD& r, bool shortPoints)
{
    const uint64_t count = r.Dword(24);
    const uint32_t type = shortPoints ? r.type - (EMR_POLYBEZIER16 - EMR_POLYBEZIER) : r.type;
    const bool closed = type == EMR_POLYGON;
    const bool curves = type == EMR_POLYBEZIER || type == EMR_POLYBEZIERTO;
    const bool fromCurrent = type == EMR_POLYBEZIERTO || type == EMR_POLYLINETO;
    return Points(r, 28, count, shortPoints, fromCurrent, curves, closed) && play.Draw(true, closed);
}

// Polygons or polylines, their counts first: the player takes the counts as they are, so they
// must add up to the points the record holds.
bool EMFCHECK::PolyPoly(const EMFRECORD& r, bool shortPoints)
{
    const uint64_t polys = r.Dword(24);
    const uint64_t total = r.Dword(28);
    const bool closed = r.type == EMR_POLYPOLYGON || r.type == EMR_POLYPOLYGON16;
    const uint64_t pointBytes = shortPoints ? 4 : 8;
    if (polys > total || !r.Holds(32, polys * 4 + total * pointBytes))
        return false;
    uint64_t sum = 0;
    for (uint64_t poly = 0; poly < polys; ++poly)
        sum += r.Dword(static_cast<uint32_t>(32 + 4 * poly));
    if (sum != total)
        return false;
    play.Start();
    uint64_t at = 32 + polys * 4;
    for (uint64_t poly = 0; poly < polys; ++poly) {
        const uint64_t count = r.Dword(static_cast<uint32_t>(32 + 4 * poly));
        for (uint64_t point = 0; point < count; ++point, at += pointBytes) {
            unsigned char p[8];
            if (!r.Read(at, p, pointBytes))
                return false;
            const double x =
                shortPoints ? static_cast<int16_t>(LittleEndian16(p)) : static_cast<int32_t>(LittleEndian32(p));
            const double y =
                shortPoints ? static_cast<int16_t>(LittleEndian16(p + 2)) : static_cast<int32_t>(LittleEndian32(p + 4));
            if (!play.Point(x, y, point == 0))
                return false;
        }
        if (closed)
            play.CloseFigure();
    }
    return play.Draw(true, closed);
}

bool EMFCHECK::Shape(const EMFRECORD& r)
{
    const double l = r.Long(8), t = r.Long(12), rr = r.Long(16), b = r.Long(20);
    const bool radial = r.type == EMR_ARC || r.type == EMR_CHORD || r.type == EMR_PIE || r.type == EMR_ARCTO;
    if (radial && (!play.IsWithinReach(r.Long(24), r.Long(28)) || !play.IsWithinReach(r.Long(32), r.Long(36))))
        return false;
    play.Start();
    switch (r.type) {
    case EMR_RECTANGLE:
        if (!play.Point(l, t, true) || !play.Point(rr, t, false) || !play.Point(rr, b, false) ||
            !play.Point(l, b, false))
            return false;
        play.CloseFigure();
        return play.Draw(true, true);
    case EMR_ROUNDRECT:
        return play.RoundCorners(l, t, rr, b, r.Long(24), r.Long(28)) && play.Draw(true, true);
    case EMR_ARCTO:
        // A line from the current position to the arc, and the position moves along it.
        if (!play.Point(play.X(), play.Y(), true) || !play.Point((l + rr) / 2, (t + b) / 2, false) ||
            !play.Loop(l, t, rr, b) || !play.Draw(true, false))
            return false;
        play.Moved((l + rr) / 2, (t + b) / 2);
        return true;
    default:
        return play.Loop(l, t, rr, b) && play.Draw(true, r.type != EMR_ARC);
    }
}

bool EMFCHECK::Select(uint32_t index)
{
    if (index & EMF_STOCK_OBJECT)
        return play.SelectStockObject(index & ~EMF_STOCK_OBJECT);
    return Slot(index) && play.SelectObjectAt(index);
}

// Slot 0 holds the metafile itself; the player would delete it while it plays.
bool EMFCHECK::Delete(uint32_t index) { return Slot(index) && play.DeleteObject(index); }

// A pen as Windows writes it (EXTLOGPEN32 at 28) and as Wine's 64-bit player reads the same bytes
// (its EXTLOGPEN, at 32, with a pointer-sized hatch): both readings must be harmless, and the
// wider of the two is the pen in effect. A brush style naming a bitmap makes the player follow
// the hatch as a handle or a pointer.
bool EMFCHECK::CreatePen(const EMFRECORD& r)
{
    OBJECTMODEL pen = {};
    pen.kind = OBJECT_PEN;
    const uint32_t index = r.Dword(8);
    if (r.type == EMR_CREATEPEN) {
        const uint32_t style = r.Dword(12);
        if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME)
            return false;
        const int64_t width = r.Long(16);
        pen.pen = {width < 0 ? -width : width, (style & PS_STYLE_MASK) != PS_NULL, (style & PS_GEOMETRIC) != 0,
                   (style & PS_STYLE_MASK) >= PS_DASH && (style & PS_STYLE_MASK) <= PS_DASHDOTDOT,
                   (style & PS_JOIN_MASK) == PS_JOIN_MITER};
        return Slot(index) && play.PutObject(index, pen);
    }
    const uint32_t style = r.Dword(28), wineStyle = r.Dword(32);
    const uint32_t brush = r.Dword(36), wineBrush = r.Dword(40);
    const bool dangerous = wineBrush == BS_PATTERN || wineBrush == BS_DIBPATTERN || wineBrush == BS_DIBPATTERNPT ||
                           wineBrush == BS_PATTERN8X8;
    if ((style & PS_STYLE_MASK) > PS_INSIDEFRAME || r.Dword(48) != 0 || brush > BS_HATCHED || dangerous ||
        (wineStyle & PS_STYLE_MASK) == PS_USERSTYLE || !r.Holds(r.Dword(12), r.Dword(16)) ||
        !r.Holds(r.Dword(20), r.Dword(24)))
        return false;
    const bool geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    const bool wineGeometric = (wineStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
    const int64_t width = geometric ? r.Dword(32) : 0;
    const int64_t wineWidth = wineGeometric ? r.Dword(36) : 0;
    pen.pen = {std::max(width, wineWidth), (style & PS_STYLE_MASK) != PS_NULL || (wineStyle & PS_STYLE_MASK) != PS_NULL,
               geometric || wineGeometric,
               (style & PS_STYLE_MASK) != PS_SOLID || (wineStyle & PS_STYLE_MASK) != PS_SOLID,
               (style & PS_JOIN_MASK) == PS_JOIN_MITER || (wineStyle & PS_JOIN_MASK) == PS_JOIN_MITER};
    return Slot(index) && play.PutObject(index, pen);
}

bool EMFCHECK::CreateBrush(const EMFRECORD& r)
{
    const uint32_t style = r.Dword(12);
    if (style != BS_SOLID && style != BS_NULL && !(style == BS_HATCHED && r.Dword(20) <= HS_DIAGCROSS))
        return false;
    OBJECTMODEL brush = {};
    brush.kind = OBJECT_BRUSH;
    return Slot(r.Dword(8)) && play.PutObject(r.Dword(8), brush);
}

bool EMFCHECK::CreatePatternBrush(const EMFRECORD& r)
{
    const uint32_t usage = r.Dword(12);
    uint64_t width = 0, height = 0;
    uint32_t depth = 0;
    if (!ReadDib(r, r.Dword(16), r.Dword(20), r.Dword(24), r.Dword(28), usage, width, height, -1, &depth))
        return false;
    // A monochrome brush's bits are read as one bit a pixel, whatever the header says.
    if (r.type == EMR_CREATEDIBPATTERNBRUSHPT ? usage > DIB_PAL_COLORS : depth != 1)
        return false;
    OBJECTMODEL brush = {};
    brush.kind = OBJECT_BRUSH;
    return Slot(r.Dword(8)) && play.PatternBrush(width, height) && play.PutObject(r.Dword(8), brush);
}

// Region data: its header, then as many rectangles as the header counts. The player reads the
// header wherever the record has room for it and then that many rectangles, whatever the record
// says its data holds; a header shorter than its own size makes no region.
bool EMFCHECK::RegionData(const EMFRECORD& r, uint32_t at, uint32_t bytes, uint64_t& rects, double box[4], bool& empty)
{
    empty = true;
    rects = 0;
    if (!r.Holds(at, bytes) || !r.Holds(at, REGION_HEADER))
        return false;
    if (r.Dword(at) < REGION_HEADER)
        return true;
    rects = r.Dword(at + 8);
    if (!r.Holds(at + REGION_HEADER, rects * 16))
        return false;
    for (uint64_t rect = 0; rect < rects; ++rect) {
        unsigned char edges[16];
        if (!r.Read(at + REGION_HEADER + 16 * rect, edges, sizeof edges))
            return false;
        for (int edge = 0; edge < 4; ++edge) {
            const double value = static_cast<int32_t>(LittleEndian32(edges + 4 * edge));
            box[edge] = rect == 0 ? value : (edge < 2 ? std::min(box[edge], value) : std::max(box[edge], value));
        }
    }
    empty = rects == 0;
    return true;
}

bool EMFCHECK::PaintRegion(const EMFRECORD& r)
{
    uint64_t rects = 0;
    double box[4] = {};
    bool empty = false;
    if (r.type == EMR_EXTSELECTCLIPRGN) {
        // The player reads a region only from a record with room for a header and more.
        const uint32_t mode = r.Dword(12);
        if (mode < RGN_AND || mode > RGN_COPY || !r.Holds(16, r.Dword(8)))
            return false;
        if (r.size < 16 + REGION_HEADER + 4)
            return true;
        return RegionData(r, 16, r.Dword(8), rects, box, empty) &&
               (empty || play.ClipRegion(rects, box[0], box[1], box[2], box[3]));
    }
    const bool brushed = r.type == EMR_FILLRGN || r.type == EMR_FRAMERGN;
    const uint32_t data = r.type == EMR_FRAMERGN ? 40 : (brushed ? 32 : 28);
    if ((brushed && !Slot(r.Dword(28))) || !RegionData(r, data, r.Dword(24), rects, box, empty))
        return false;
    if (empty)
        return true;
    double grow = 0;
    if (r.type == EMR_FRAMERGN) {
        grow = std::max(std::abs(static_cast<double>(r.Long(32))), std::abs(static_cast<double>(r.Long(36))));
        rects *= 5;
    }
    return play.Region(rects, box[0] - grow, box[1] - grow, box[2] + grow, box[3] + grow, true);
}

// A blit with a bitmap, or without one (then a pattern fill, like PatBlt).
bool EMFCHECK::Blit(const EMFRECORD& r)
{
    uint64_t width = 0, height = 0;
    double x = r.Long(24), y = r.Long(28), w = 0, h = 0;
    switch (r.type) {
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
        w = r.Long(32);
        h = r.Long(36);
        if (r.Dword(84) == 0)
            return play.Fill(x, y, x + w, y + h, COST_FILL_PIXEL);
        return ReadDib(r, r.Dword(84), r.Dword(88), r.Dword(92), r.Dword(96), r.Dword(80), width, height) &&
               r.Dword(80) <= DIB_PAL_COLORS && play.Bitmap(width, height, x, y, x + w, y + h);
    case EMR_STRETCHDIBITS:
        w = r.Long(72);
        h = r.Long(76);
        return r.Dword(64) <= DIB_PAL_COLORS &&
               ReadDib(r, r.Dword(48), r.Dword(52), r.Dword(56), r.Dword(60), r.Dword(64), width, height) &&
               play.Bitmap(width, height, x, y, x + w, y + h);
    default: {
        // SetDIBitsToDevice: the size of the source, and only the scan lines given.
        const uint64_t start = r.Dword(68), lines = r.Dword(72);
        w = r.Long(40);
        h = r.Long(44);
        return r.Dword(64) <= DIB_PAL_COLORS &&
               ReadDib(r, r.Dword(48), r.Dword(52), r.Dword(56), r.Dword(60), r.Dword(64), width, height,
                       static_cast<int64_t>(lines)) &&
               start <= height && lines <= height && play.Bitmap(width, height, x, y, x + w, y + h);
    }
    }
}

bool EMFCHECK::Text(const EMFRECORD& r)
{
    const uint32_t mode = r.Dword(24);
    const uint64_t count = r.Dword(44);
    const uint32_t options = r.Dword(52);
    const uint64_t characterBytes = r.type == EMR_EXTTEXTOUTW ? 2 : 1;
    const uint32_t dx = r.Dword(72);
    if ((mode != GM_COMPATIBLE && mode != GM_ADVANCED) || !r.Holds(r.Dword(48), count * characterBytes) ||
        (dx != 0 && !r.Holds(dx, count * 4 * ((options & ETO_PDY) ? 2 : 1))))
        return false;
    if ((options & ETO_OPAQUE) && !play.Fill(r.Long(56), r.Long(60), r.Long(64), r.Long(68), COST_FILL_PIXEL))
        return false;
    return count == 0 || play.Text(r.Long(36), r.Long(40), count);
}

// Gradients: vertices, then rectangles or triangles naming them by index, each filled.
bool EMFCHECK::Gradient(const EMFRECORD& r)
{
    const uint64_t VERTEX = 16;
    const uint64_t vertices = r.Dword(24), meshes = r.Dword(28);
    const uint32_t mode = r.Dword(32);
    const uint64_t corners = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
    if (mode > GRADIENT_FILL_TRIANGLE || !r.Holds(36, vertices * VERTEX + meshes * corners * 4))
        return false;
    const uint64_t first = 36 + vertices * VERTEX;
    for (uint64_t mesh = 0; mesh < meshes; ++mesh) {
        double box[4] = {};
        for (uint64_t corner = 0; corner < corners; ++corner) {
            const uint64_t index = r.Dword(static_cast<uint32_t>(first + (mesh * corners + corner) * 4));
            if (index >= vertices)
                return false;
            const double x = r.Long(static_cast<uint32_t>(36 + index * VERTEX));
            const double y = r.Long(static_cast<uint32_t>(40 + index * VERTEX));
            box[0] = corner == 0 ? x : std::min(box[0], x);
            box[1] = corner == 0 ? y : std::min(box[1], y);
            box[2] = corner == 0 ? x : std::max(box[2], x);
            box[3] = corner == 0 ? y : std::max(box[3], y);
        }
        if (!play.Fill(box[0], box[1], box[2], box[3], COST_BLIT_PIXEL))
            return false;
    }
    return true;
}
