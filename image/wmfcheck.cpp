// Placeable Windows metafiles as Wine's picture loader takes them and gdi32 plays them: the
// 22-byte header gives the picture its size, and the metafile behind it plays on the picture's
// device context, mapped from that size to the picture's pixels. The player trusts every count
// and object index in the records, so each is checked here against the record and the table.
#include <algorithm>
#include <cstdlib>
#include <new>

#include "image/dibfields.h"
#include "image/imagelimits.h"
#include "image/metafilecheck.h"
#include "image/metafileplay.h"
#include "image/pictureload.h"

namespace {

const uint64_t PLACEABLE_HEADER = 22;
const uint32_t PLACEABLE_KEY = 0x9AC6CDD7;
const uint64_t METAHEADER_BYTES = 18;
const uint32_t METAHEADER_WORDS = 9;
const uint32_t METAFILE_VERSION = 0x300;
const uint32_t MEMORY_METAFILE = 1;
const uint64_t RECORD_HEADER = 6;
const uint32_t END_OF_FILE = 0;  // META_EOF
const int64_t HIMETRIC_PER_INCH = 2540;
// The file read whole by the loader, the picture's copy of its data, the metafile made of that,
// and the copy PlayMetaFile plays.
const uint64_t DATA_COPIES = 4;
const size_t PARAMETER_BUFFER = 256;
const uint32_t LAST_SIMPLE_PEN = PS_INSIDEFRAME;
const uint32_t PALETTE_VERSION = 0x300;
const uint32_t PALETTE_ENTRY_LIMIT = 1024;
const uint32_t FONT_RECORD_WORDS = 28;  // the header and a whole LOGFONT16, face name included
const uint32_t COMMENT_ESCAPE = 15;     // MFCOMMENT

int64_t RoundedQuotient(int64_t numerator, int64_t denominator) { return (numerator + denominator / 2) / denominator; }

// One record: its size in words, its function and the parameters in its first bytes.
class WMFRECORD {
public:
    WMFRECORD(const IMAGEVIEW& image, uint64_t at, uint64_t words, uint32_t function)
        : image(image), at(at), words(words), function(function), buffered(0)
    {
        const uint64_t bytes = words * 2 - RECORD_HEADER;
        buffered = bytes < PARAMETER_BUFFER ? static_cast<size_t>(bytes) : PARAMETER_BUFFER;
        read = image.Read(at + RECORD_HEADER, bytes_, buffered);
    }

    bool IsRead() const { return read; }
    uint64_t Parameters() const { return words - RECORD_HEADER / 2; }
    bool Has(uint64_t count) const { return Parameters() >= count; }
    // Parameters beyond the buffer are read through the image (callers check Has first).
    uint32_t Word(uint64_t index) const
    {
        unsigned char two[2] = {};
        if (2 * index + 2 <= buffered)
            return LittleEndian16(bytes_ + 2 * index);
        image.Read(at + RECORD_HEADER + 2 * index, two, sizeof two);
        return LittleEndian16(two);
    }
    int32_t Short(uint64_t index) const { return static_cast<int16_t>(Word(index)); }
    bool Read(uint64_t byteOffset, void* out, size_t count) const
    {
        return byteOffset + count <= words * 2 && image.Read(at + byteOffset, out, count);
    }

    const IMAGEVIEW& image;
    uint64_t at;
    uint64_t words;
    uint32_t function;

private:
    unsigned char bytes_[PARAMETER_BUFFER];
    size_t buffered;
    bool read;
};

// A device-independent bitmap inside a record from parameter `first` on: a core or info header,
// at most 256 colours (counted four bytes each, the larger of the two sizes the player may take)
// and every row of pixels.
bool ReadDib(const WMFRECORD& record, uint64_t first, uint64_t& width, uint64_t& height)
{
    const uint64_t at = RECORD_HEADER + 2 * first;
    static const uint32_t INFO_SIZES[] = {40, 0};
    unsigned char header[40] = {};
    if (!record.Read(at, header, 4))
        return false;
    const uint32_t declared = LittleEndian32(header);
    DIBFIELDS dib;
    if ((declared != 12 && declared != 40) || !record.Read(at, header, declared) ||
        !ReadDibFields(header, INFO_SIZES, dib))
        return false;
    width = dib.width;
    height = dib.height;
    const uint32_t size = dib.size, bits = dib.depth, compression = dib.compression, colours = dib.colours;
    const uint32_t most = dib.mostColours;
    const uint64_t table = (colours ? colours : (bits <= 8 ? most : 0)) * 4 + (compression == BI_BITFIELDS ? 12 : 0);
    const uint64_t rows = (width * bits + 31) / 32 * 4 * height;
    return at + (size < 40 ? 40 : size) + table + rows <= record.words * 2;
}

class WMFCHECK {
public:
    explicit WMFCHECK(METAFILEPLAY& play) : play(play) {}

    bool Play(const WMFRECORD& r);

private:
    bool Points(const WMFRECORD& r, uint64_t first, uint64_t count, bool closed);
    bool Shape(const WMFRECORD& r, uint64_t box, bool fill);
    bool Bitmap(const WMFRECORD& r, uint64_t dib, int64_t x, int64_t y, int64_t w, int64_t h);
    bool Select(uint32_t slot);
    bool CreateRegion(const WMFRECORD& r);
    bool PaintRegion(uint32_t slot, double grow);

    METAFILEPLAY& play;
};

// `count` points (pairs of shorts) from parameter `first`, as one figure.
bool WMFCHECK::Points(const WMFRECORD& r, uint64_t first, uint64_t count, bool closed)
{
    const size_t CHUNK = 1024;
    unsigned char chunk[CHUNK * 4];
    for (uint64_t done = 0; done < count;) {
        const size_t take = count - done < CHUNK ? static_cast<size_t>(count - done) : CHUNK;
        if (!r.Read(RECORD_HEADER + 2 * (first + 2 * done), chunk, take * 4))
            return false;
        for (size_t point = 0; point < take; ++point) {
            const int16_t x = static_cast<int16_t>(LittleEndian16(chunk + 4 * point));
            const int16_t y = static_cast<int16_t>(LittleEndian16(chunk + 4 * point + 2));
            if (!play.Point(x, y, done + point == 0))
                return false;
        }
        done += take;
    }
    if (closed)
        play.CloseFigure();
    return true;
}

// The rectangle of an arc, chord, pie, ellipse, rectangle or rounded rectangle: four parameters
// from `box` on, in reverse as Windows metafiles keep them.
bool WMFCHECK::Shape(const WMFRECORD& r, uint64_t box, bool fill)
{
    const double l = r.Short(box + 3), t = r.Short(box + 2), rr = r.Short(box + 1), b = r.Short(box);
    // Where an arc, chord or pie starts and ends: the player maps these points too.
    if (box == 4 && (!play.IsWithinReach(r.Short(3), r.Short(2)) || !play.IsWithinReach(r.Short(1), r.Short(0))))
        return false;
    play.Start();
    bool added = true;
    switch (r.function) {
    case META_RECTANGLE:
        added =
            play.Point(l, t, true) && play.Point(rr, t, false) && play.Point(rr, b, false) && play.Point(l, b, false);
        play.CloseFigure();
        break;
    case META_ROUNDRECT:
        added = play.RoundCorners(l, t, rr, b, r.Short(1), r.Short(0));
        break;
    default:
        added = play.Loop(l, t, rr, b);
        break;
    }
    return added && play.Draw(true, fill);
}

bool WMFCHECK::Bitmap(const WMFRECORD& r, uint64_t dib, int64_t x, int64_t y, int64_t w, int64_t h)
{
    uint64_t width = 0, height = 0;
    return ReadDib(r, dib, width, height) && play.Bitmap(width, height, x, y, x + w, y + h);
}

bool WMFCHECK::Select(uint32_t slot) { return play.SelectObjectAt(slot); }

// A region as Windows 3 kept it: bands of rows, each a count of edges, its top and bottom, the
// edges in pairs and the count again. The player merges every pair into the region on its own.
bool WMFCHECK::CreateRegion(const WMFRECORD& r)
{
    const uint64_t FIRST_BAND = 11;
    if (!r.Has(FIRST_BAND))
        return false;
    const uint32_t bands = r.Word(5);
    uint64_t at = FIRST_BAND;
    uint64_t pairs = 0;
    double l = 0, t = 0, rr = 0, b = 0;
    for (uint32_t band = 0; band < bands; ++band) {
        if (!r.Has(at + 3))
            return false;
        const uint32_t edges = r.Word(at);
        if (edges % 2 != 0 || !r.Has(at + 4 + edges) || r.Word(at + 3 + edges) != edges)
            return false;
        for (uint32_t pair = 0; pair < edges / 2; ++pair) {
            const double x0 = r.Short(at + 3 + 2 * pair), x1 = r.Short(at + 4 + 2 * pair);
            const double y0 = r.Short(at + 1), y1 = r.Short(at + 2);
            l = pairs == 0 ? x0 : std::min(l, x0);
            rr = pairs == 0 ? x1 : std::max(rr, x1);
            t = pairs == 0 ? y0 : std::min(t, y0);
            b = pairs == 0 ? y1 : std::max(b, y1);
            ++pairs;
        }
        at += 4 + edges;
    }
    OBJECTMODEL region = {};
    region.kind = OBJECT_REGION;
    region.rects = pairs;
    region.left = l;
    region.top = t;
    region.right = rr;
    region.bottom = b;
    return play.Rects(pairs) && play.AddObject(region);
}

// Painting a region maps each of its rectangles to the picture; framing it merges four shifted
// copies.
bool WMFCHECK::PaintRegion(uint32_t slot, double grow)
{
    const OBJECTMODEL* object = play.Object(slot);
    if (!object)
        return false;
    if (object->kind != OBJECT_REGION)
        return true;
    const uint64_t copies = grow > 0 ? 5 : 1;
    return play.Region(object->rects * copies, object->left - grow, object->top - grow, object->right + grow,
                       object->bottom + grow, true);
}

bool WMFCHECK::Play(const WMFRECORD& r)
{
    switch (r.function) {
    case META_SETBKMODE:
    case META_SETROP2:
    case META_SETRELABS:
    case META_SETPOLYFILLMODE:
    case META_SETSTRETCHBLTMODE:
    case META_SETTEXTCHAREXTRA:
    case META_SETTEXTALIGN:
        return r.Has(1);
    case META_SETBKCOLOR:
    case META_SETTEXTCOLOR:
    case META_SETTEXTJUSTIFICATION:
    case META_SETMAPPERFLAGS:
    case META_OFFSETCLIPRGN:
        return r.Has(2);
    case META_EXCLUDECLIPRECT:
    case META_INTERSECTCLIPRECT:
        return r.Has(4);
    case META_REALIZEPALETTE:
        return true;
    case META_SAVEDC:
        return play.SaveState();
    case META_RESTOREDC:
        return r.Has(1) && play.RestoreState(r.Short(0));
    case META_SETMAPMODE:
        return r.Has(1) && play.SetMapMode(static_cast<int>(r.Word(0)));
    case META_SETWINDOWORG:
        return r.Has(2) && play.SetWindowOrg(r.Short(1), r.Short(0));
    case META_SETWINDOWEXT:
        return r.Has(2) && play.SetWindowExt(r.Short(1), r.Short(0));
    case META_SETVIEWPORTORG:
        return r.Has(2) && play.SetViewportOrg(r.Short(1), r.Short(0));
    case META_SETVIEWPORTEXT:
        return r.Has(2) && play.SetViewportExt(r.Short(1), r.Short(0));
    case META_OFFSETWINDOWORG:
        return r.Has(2) && play.OffsetWindowOrg(r.Short(1), r.Short(0));
    case META_OFFSETVIEWPORTORG:
        return r.Has(2) && play.OffsetViewportOrg(r.Short(1), r.Short(0));
    case META_SCALEWINDOWEXT:
        return r.Has(4) && play.ScaleWindowExt(r.Short(3), r.Short(2), r.Short(1), r.Short(0), false);
    case META_SCALEVIEWPORTEXT:
        return r.Has(4) && play.ScaleViewportExt(r.Short(3), r.Short(2), r.Short(1), r.Short(0), false);
    case META_MOVETO:
        return r.Has(2) && play.MoveTo(r.Short(1), r.Short(0));
    case META_LINETO: {
        if (!r.Has(2))
            return false;
        play.Start();
        const double x = r.Short(1), y = r.Short(0);
        if (!play.Point(play.X(), play.Y(), true) || !play.Point(x, y, false) || !play.Draw(true, false))
            return false;
        play.Moved(x, y);
        return true;
    }
    case META_ARC:
        return r.Has(8) && Shape(r, 4, false);
    case META_CHORD:
    case META_PIE:
        return r.Has(8) && Shape(r, 4, true);
    case META_ELLIPSE:
    case META_RECTANGLE:
        return r.Has(4) && Shape(r, 0, true);
    case META_ROUNDRECT:
        return r.Has(6) && Shape(r, 2, true);
    case META_SETPIXEL:
        return r.Has(4) && play.Fill(r.Short(3), r.Short(2), r.Short(3), r.Short(2), COST_FILL_PIXEL);
    case META_PATBLT:
        return r.Has(6) &&
               play.Fill(r.Short(5), r.Short(4), r.Short(5) + r.Short(3), r.Short(4) + r.Short(2), COST_FILL_PIXEL);
    case META_POLYGON:
    case META_POLYLINE: {
        if (!r.Has(1) || !r.Has(1 + 2ull * r.Word(0)))
            return false;
        play.Start();
        const bool polygon = r.function == META_POLYGON;
        return Points(r, 1, r.Word(0), polygon) && play.Draw(true, polygon);
    }
    case META_POLYPOLYGON: {
        if (!r.Has(1) || !r.Has(1ull + r.Word(0)))
            return false;
        const uint32_t polygons = r.Word(0);
        uint64_t total = 0;
        for (uint32_t polygon = 0; polygon < polygons; ++polygon) {
            // The player sums the counts as signed shorts.
            if (r.Short(1 + polygon) < 0)
                return false;
            total += r.Word(1 + polygon);
        }
        if (!r.Has(1 + polygons + 2 * total))
            return false;
        play.Start();
        uint64_t at = 1 + polygons;
        for (uint32_t polygon = 0; polygon < polygons; ++polygon) {
            if (!Points(r, at, r.Word(1 + polygon), true))
                return false;
            at += 2ull * r.Word(1 + polygon);
        }
        return play.Draw(true, true);
    }
    case META_TEXTOUT: {
        if (!r.Has(1))
            return false;
        const uint32_t count = r.Word(0);
        const uint64_t after = 1 + (count + 1) / 2;
        return r.Has(after + 2) && play.Text(r.Short(after + 1), r.Short(after), count);
    }
    case META_EXTTEXTOUT: {
        if (!r.Has(4))
            return false;
        const uint32_t count = r.Word(2);
        const uint32_t options = r.Word(3);
        const bool boxed = (options & (ETO_OPAQUE | ETO_CLIPPED)) != 0;
        if (!r.Has(4 + (boxed ? 4 : 0) + (count + 1) / 2))
            return false;
        if ((options & ETO_OPAQUE) && !play.Fill(r.Short(4), r.Short(5), r.Short(6), r.Short(7), COST_FILL_PIXEL))
            return false;
        return play.Text(r.Short(1), r.Short(0), count);
    }
    case META_SELECTOBJECT:
        return r.Has(1) && Select(r.Word(0));
    case META_DELETEOBJECT:
        return r.Has(1) && play.DeleteObject(r.Word(0));
    case META_SELECTPALETTE:
        return r.Has(2) && play.Object(r.Word(1)) != nullptr;
    case META_SELECTCLIPREGION: {
        const OBJECTMODEL* region = r.Has(1) ? play.Object(r.Word(0)) : nullptr;
        return region && play.Rects(region->kind == OBJECT_REGION ? region->rects : 0);
    }
    case META_FILLREGION:
        return r.Has(2) && play.Object(r.Word(0)) && PaintRegion(r.Word(1), 0);
    case META_FRAMEREGION: {
        if (!r.Has(4) || !play.Object(r.Word(2)))
            return false;
        const double grow = std::max(std::abs(r.Short(1)), std::abs(r.Short(0)));
        return PaintRegion(r.Word(3), grow > 0 ? grow : 1);
    }
    case META_INVERTREGION:
    case META_PAINTREGION:
        return r.Has(1) && PaintRegion(r.Word(0), 0);
    case META_CREATEPENINDIRECT: {
        const uint32_t style = r.Has(5) ? r.Word(0) : ~0u;
        if (style > LAST_SIMPLE_PEN)
            return false;
        OBJECTMODEL pen = {};
        pen.kind = OBJECT_PEN;
        pen.pen = {std::abs(r.Short(1)), style != PS_NULL, false, style >= PS_DASH && style <= PS_DASHDOTDOT, false};
        return play.AddObject(pen);
    }
    case META_CREATEBRUSHINDIRECT: {
        const uint32_t style = r.Has(4) ? r.Word(0) : ~0u;
        // Any other style names a bitmap by a handle of the program that wrote the file.
        if (style != BS_SOLID && style != BS_NULL && !(style == BS_HATCHED && r.Word(3) <= HS_DIAGCROSS))
            return false;
        OBJECTMODEL brush = {};
        brush.kind = OBJECT_BRUSH;
        return play.AddObject(brush);
    }
    case META_CREATEFONTINDIRECT: {
        if (r.words < FONT_RECORD_WORDS)
            return false;
        OBJECTMODEL font = {};
        font.kind = OBJECT_FONT;
        font.font = {r.Short(0), r.Short(1)};
        return play.AddObject(font);
    }
    case META_CREATEPALETTE: {
        if (!r.Has(2) || r.Word(0) != PALETTE_VERSION || r.Word(1) == 0 || r.Word(1) > PALETTE_ENTRY_LIMIT ||
            !r.Has(2 + 2ull * r.Word(1)))
            return false;
        OBJECTMODEL palette = {};
        palette.kind = OBJECT_PALETTE;
        return play.AddObject(palette);
    }
    case META_CREATEREGION:
        return CreateRegion(r);
    case META_DIBCREATEPATTERNBRUSH: {
        uint64_t width = 0, height = 0;
        if (!r.Has(2) || r.Word(1) > DIB_PAL_COLORS || !ReadDib(r, 2, width, height) ||
            !play.PatternBrush(width, height))
            return false;
        OBJECTMODEL brush = {};
        brush.kind = OBJECT_BRUSH;
        return play.AddObject(brush);
    }
    case META_DIBBITBLT:
        // Twelve words hold a blit without a source, which the player paints like PatBlt.
        if (r.words == 12)
            return play.Fill(r.Short(8), r.Short(7), r.Short(8) + r.Short(6), r.Short(7) + r.Short(5), COST_BLIT_PIXEL);
        return r.words > 12 && Bitmap(r, 8, r.Short(7), r.Short(6), r.Short(5), r.Short(4));
    case META_DIBSTRETCHBLT:
        return r.Has(10) && Bitmap(r, 10, r.Short(9), r.Short(8), r.Short(7), r.Short(6));
    case META_STRETCHDIB:
        return r.Has(11) && r.Word(2) <= DIB_PAL_COLORS &&
               Bitmap(r, 11, r.Short(10), r.Short(9), r.Short(8), r.Short(7));
    case META_SETDIBTODEV:
        return r.Has(9) && r.Word(0) <= DIB_PAL_COLORS && Bitmap(r, 9, r.Short(8), r.Short(7), r.Short(6), r.Short(5));
    case META_ESCAPE:
        // Comments only: every other escape reaches the device driver. Flood fills, like any
        // record not named here, are refused (see image/emfcheck.cpp).
        return r.Has(2) && r.Word(0) == COMMENT_ESCAPE && r.Has(2 + (r.Word(1) + 1ull) / 2);
    default:
        return false;
    }
}

}  // namespace

bool IsPlaceableMetafileSound(const IMAGEVIEW& image)
{
    unsigned char header[PLACEABLE_HEADER + METAHEADER_BYTES];
    if (!image.Read(0, header, sizeof header) || LittleEndian32(header) != PLACEABLE_KEY)
        return false;
    uint32_t checksum = 0;
    for (int word = 0; word < 10; ++word)
        checksum ^= LittleEndian16(header + 2 * word);
    const int64_t left = static_cast<int16_t>(LittleEndian16(header + 6));
    const int64_t top = static_cast<int16_t>(LittleEndian16(header + 8));
    const int64_t right = static_cast<int16_t>(LittleEndian16(header + 10));
    const int64_t bottom = static_cast<int16_t>(LittleEndian16(header + 12));
    const int64_t inch = LittleEndian16(header + 14);
    if (checksum != LittleEndian16(header + 20) || right <= left || bottom <= top || inch == 0)
        return false;
    // The loader's size of the picture: the box at its own resolution, in HIMETRIC.
    const int64_t extentX = RoundedQuotient((right - left) * HIMETRIC_PER_INCH, inch);
    const int64_t extentY = RoundedQuotient((bottom - top) * HIMETRIC_PER_INCH, inch);
    int width = 0, height = 0;
    if (!MetafilePixelSize(extentX, extentY, width, height))
        return false;

    const unsigned char* meta = header + PLACEABLE_HEADER;
    const uint64_t dataBytes = image.size - PLACEABLE_HEADER;
    const uint64_t totalBytes = 2ull * LittleEndian32(meta + 6);
    const uint32_t objects = LittleEndian16(meta + 10);
    const uint64_t largestRecord = LittleEndian32(meta + 12);
    if (dataBytes % 2 != 0 || LittleEndian16(meta) != MEMORY_METAFILE || LittleEndian16(meta + 2) != METAHEADER_WORDS ||
        LittleEndian16(meta + 4) != METAFILE_VERSION || totalBytes > dataBytes || totalBytes < METAHEADER_BYTES ||
        objects > METAFILE_OBJECT_LIMIT || largestRecord * 2 > totalBytes)
        return false;

    // What plays the picture: the loader's window of HIMETRIC units on the picture's pixels.
    const MAPPING mapping = {MM_ANISOTROPIC, 0, 0, extentX, extentY, 0, 0, width, height};
    METAFILEPLAY* play = new (std::nothrow) METAFILEPLAY(width, height, {1, 0, 0, 1, 0, 0}, mapping, objects);
    if (!play)
        return false;
    bool sound = play->IsReady() && play->Hold(DATA_COPIES * image.size);
    WMFCHECK check(*play);
    const IMAGEVIEW data = {image.file, image.start + PLACEABLE_HEADER, dataBytes};
    uint64_t at = METAHEADER_BYTES;
    bool ended = false;
    while (sound && !ended) {
        unsigned char head[RECORD_HEADER];
        if (at + RECORD_HEADER > totalBytes || !image.Read(PLACEABLE_HEADER + at, head, sizeof head)) {
            sound = false;
            break;
        }
        const uint64_t words = LittleEndian32(head);
        const uint32_t function = LittleEndian16(head + 4);
        if (words < RECORD_HEADER / 2 || words > largestRecord || 2 * words > totalBytes - at) {
            sound = false;
            break;
        }
        const WMFRECORD record(data, at, words, function);
        ended = function == END_OF_FILE;
        sound = record.IsRead() && play->Record() && (ended ? at + 2 * words == totalBytes : check.Play(record));
        at += 2 * words;
    }
    delete play;
    return sound && ended;
}
