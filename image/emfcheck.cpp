// Enhanced metafiles as Wine's picture loader takes them (SetEnhMetaFileBits) and gdi32 plays them
// (PlayEnhMetaFile onto the whole picture): the frame gives the picture its size, the records
// play through the transform that fits the frame to it. The player trusts every offset, count and
// object index in the records, so each is checked here against the record and the table.
#include <cmath>
#include <new>

#include "image/emfrecords.h"
#include "image/metafilecheck.h"
#include "image/metafileplay.h"
#include "image/pictureload.h"

namespace {

const uint32_t HEADER_BASE = 88;     // ENHMETAHEADER up to szlMillimeters
const uint32_t HEADER_OPENGL = 100;  // with cbPixelFormat, offPixelFormat and bOpenGL
const uint32_t SIGNATURE = 0x464D4520;
const int32_t REFERENCE_LIMIT = 65536;  // pixels or millimetres of the reference device
// The file read whole by the loader, the picture's copy of its data and the metafile made of it.
const uint64_t DATA_COPIES = 3;
const uint32_t PALETTE_VERSION = 0x300;
const uint32_t PALETTE_ENTRY_LIMIT = 1024;
const uint32_t SET_TEXT_JUSTIFICATION = 120;  // EMR_SETTEXTJUSTIFICATION
const double DEFAULT_MITER_LIMIT = 10;
const double BRUSH_ORIGIN_LIMIT = 1 << 24;

// The smallest size of each record type played, in bytes; a type not listed is refused: escapes,
// OpenGL, colour spaces and ICM profiles, layout, and the records whose cost nothing here states.
// Flood fills are among those: Wine's fill recurses once for every run of pixels it reaches, so a
// fill in a maze the file drew first overflows the stack (a 300 x 200 picture is enough), and how
// long it takes depends on pixels, not records.
uint32_t MinimumSize(uint32_t type)
{
    switch (type) {
    case EMR_SETMETARGN:
    case EMR_SAVEDC:
    case EMR_REALIZEPALETTE:
    case EMR_BEGINPATH:
    case EMR_ENDPATH:
    case EMR_CLOSEFIGURE:
    case EMR_FLATTENPATH:
    case EMR_ABORTPATH:
        return 8;
    case EMR_SETMAPPERFLAGS:
    case EMR_SETMAPMODE:
    case EMR_SETBKMODE:
    case EMR_SETPOLYFILLMODE:
    case EMR_SETROP2:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETTEXTALIGN:
    case EMR_SETTEXTCOLOR:
    case EMR_SETBKCOLOR:
    case EMR_RESTOREDC:
    case EMR_SELECTOBJECT:
    case EMR_DELETEOBJECT:
    case EMR_SELECTPALETTE:
    case EMR_SETARCDIRECTION:
    case EMR_SETMITERLIMIT:
    case EMR_SELECTCLIPPATH:
    case EMR_SETICMMODE:
    case EMR_GDICOMMENT:
        return 12;
    case EMR_SETWINDOWEXTEX:
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTEXTEX:
    case EMR_SETVIEWPORTORGEX:
    case EMR_SETBRUSHORGEX:
    case EMR_OFFSETCLIPRGN:
    case EMR_MOVETOEX:
    case EMR_LINETO:
    case SET_TEXT_JUSTIFICATION:
    case EMR_EXTSELECTCLIPRGN:
    case EMR_CREATEPALETTE:
        return 16;
    case EMR_SETPIXELV:
        return 20;
    case EMR_EXCLUDECLIPRECT:
    case EMR_INTERSECTCLIPRECT:
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX:
    case EMR_CREATEBRUSHINDIRECT:
    case EMR_ELLIPSE:
    case EMR_RECTANGLE:
    case EMR_FILLPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_STROKEPATH:
        return 24;
    case EMR_CREATEPEN:
    case EMR_ANGLEARC:
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
        return 28;
    case EMR_SETWORLDTRANSFORM:
    case EMR_ROUNDRECT:
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
    case EMR_FILLRGN:
    case EMR_SETCOLORADJUSTMENT:
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
        return 32;
    case EMR_MODIFYWORLDTRANSFORM:
    case EMR_GRADIENTFILL:
        return 36;
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
    case EMR_FRAMERGN:
        return 40;
    case EMR_EXTCREATEPEN:
        return 52;
    case EMR_SETDIBITSTODEVICE:
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        return 76;
    case EMR_STRETCHDIBITS:
        return 80;
    case EMR_BITBLT:
        return 100;
    case EMR_EXTCREATEFONTINDIRECTW:
        return 104;  // LOGFONTW, all the player reads
    case EMR_STRETCHBLT:
        return 108;
    default:
        return 0;
    }
}

AFFINE ReadTransform(const EMFRECORD& r, uint32_t at)
{
    return {r.Float(at), r.Float(at + 4), r.Float(at + 8), r.Float(at + 12), r.Float(at + 16), r.Float(at + 20)};
}

}  // namespace

bool EMFCHECK::Play(const EMFRECORD& r)
{
    switch (r.type) {
    case EMR_SETMAPMODE:
        return play.SetMapMode(r.Long(8));
    case EMR_SETWINDOWEXTEX:
        return play.SetWindowExt(r.Long(8), r.Long(12));
    case EMR_SETWINDOWORGEX:
        return play.SetWindowOrg(r.Long(8), r.Long(12));
    case EMR_SETVIEWPORTEXTEX:
        return play.SetViewportExt(r.Long(8), r.Long(12));
    case EMR_SETVIEWPORTORGEX:
        return play.SetViewportOrg(r.Long(8), r.Long(12));
    case EMR_SCALEVIEWPORTEXTEX:
        return play.ScaleViewportExt(r.Long(8), r.Long(12), r.Long(16), r.Long(20), true);
    case EMR_SCALEWINDOWEXTEX:
        return play.ScaleWindowExt(r.Long(8), r.Long(12), r.Long(16), r.Long(20), true);
    case EMR_SETWORLDTRANSFORM:
        return play.SetWorld(ReadTransform(r, 8));
    case EMR_MODIFYWORLDTRANSFORM:
        return play.ModifyWorld(ReadTransform(r, 8), r.Dword(32));
    case EMR_SAVEDC:
        return play.SaveState();
    case EMR_RESTOREDC:
        return play.RestoreState(r.Long(8));
    case EMR_SELECTOBJECT:
        return Select(r.Dword(8));
    case EMR_DELETEOBJECT:
        return Delete(r.Dword(8));
    case EMR_SELECTPALETTE:
        return r.Dword(8) == (EMF_STOCK_OBJECT | DEFAULT_PALETTE) || Slot(r.Dword(8));
    case EMR_CREATEPEN:
    case EMR_EXTCREATEPEN:
        return CreatePen(r);
    case EMR_CREATEBRUSHINDIRECT:
        return CreateBrush(r);
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT:
        return CreatePatternBrush(r);
    case EMR_EXTCREATEFONTINDIRECTW: {
        OBJECTMODEL font = {};
        font.kind = OBJECT_FONT;
        font.font = {r.Long(12), r.Long(16)};
        return Slot(r.Dword(8)) && play.PutObject(r.Dword(8), font);
    }
    case EMR_CREATEPALETTE: {
        const uint32_t entries = r.Dword(12) >> 16;
        OBJECTMODEL palette = {};
        palette.kind = OBJECT_PALETTE;
        return (r.Dword(12) & 0xFFFF) == PALETTE_VERSION && entries >= 1 && entries <= PALETTE_ENTRY_LIMIT &&
               r.Holds(16, 4ull * entries) && Slot(r.Dword(8)) && play.PutObject(r.Dword(8), palette);
    }
    case EMR_MOVETOEX:
        return play.MoveTo(r.Long(8), r.Long(12));
    case EMR_LINETO: {
        const double x = r.Long(8), y = r.Long(12);
        play.Start();
        if (!play.Point(play.X(), play.Y(), true) || !play.Point(x, y, false) || !play.Draw(true, false))
            return false;
        play.Moved(x, y);
        return true;
    }
    case EMR_POLYBEZIER:
    case EMR_POLYGON:
    case EMR_POLYLINE:
    case EMR_POLYBEZIERTO:
    case EMR_POLYLINETO:
        return Poly(r, false);
    case EMR_POLYBEZIER16:
    case EMR_POLYGON16:
    case EMR_POLYLINE16:
    case EMR_POLYBEZIERTO16:
    case EMR_POLYLINETO16:
        return Poly(r, true);
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYGON:
        return PolyPoly(r, false);
    case EMR_POLYPOLYLINE16:
    case EMR_POLYPOLYGON16:
        return PolyPoly(r, true);
    case EMR_RECTANGLE:
    case EMR_ROUNDRECT:
    case EMR_ELLIPSE:
    case EMR_ARC:
    case EMR_CHORD:
    case EMR_PIE:
    case EMR_ARCTO:
        return Shape(r);
    case EMR_ANGLEARC: {
        const double x = r.Long(8), y = r.Long(12), radius = r.Dword(16);
        if (!std::isfinite(r.Float(20)) || !std::isfinite(r.Float(24)))
            return false;
        play.Start();
        if (!play.Point(play.X(), play.Y(), true) || !play.Point(x, y, false) ||
            !play.Loop(x - radius, y - radius, x + radius, y + radius) || !play.Draw(true, false))
            return false;
        play.Moved(x, y);
        return true;
    }
    case EMR_SETPIXELV:
        return play.Fill(r.Long(8), r.Long(12), r.Long(8), r.Long(12), COST_FILL_PIXEL);
    case EMR_BEGINPATH:
        return play.BeginPath();
    case EMR_ENDPATH:
        return play.EndPath();
    case EMR_ABORTPATH:
        return play.AbortPath();
    case EMR_CLOSEFIGURE:
        play.CloseFigure();
        return true;
    case EMR_FILLPATH:
        return play.DrawPath(false, true);
    case EMR_STROKEPATH:
        return play.DrawPath(true, false);
    case EMR_STROKEANDFILLPATH:
        return play.DrawPath(true, true);
    case EMR_SELECTCLIPPATH:
        return play.ClipPath();
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN:
    case EMR_EXTSELECTCLIPRGN:
        return PaintRegion(r);
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
        return Blit(r);
    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        return Text(r);
    case EMR_GRADIENTFILL:
        return Gradient(r);
    case EMR_GDICOMMENT:
        return r.Holds(12, r.Dword(8));
    case EMR_SETBRUSHORGEX:
        // The player takes the origin from the pixel it paints, which overflows for origins near
        // the ends of the integers and then reads beyond the pattern.
        return std::abs(static_cast<double>(r.Long(8))) <= BRUSH_ORIGIN_LIMIT &&
               std::abs(static_cast<double>(r.Long(12))) <= BRUSH_ORIGIN_LIMIT;
    case EMR_SETMITERLIMIT:
        // A miter reaches half the limit times the pen's width from its point; beyond the
        // default limit the joins of a wide pen grow without bound.
        return r.Float(8) <= DEFAULT_MITER_LIMIT;
    default:
        // State the player keeps and nothing here depends on.
        return true;
    }
}

bool IsEnhancedMetafileSound(const IMAGEVIEW& image)
{
    unsigned char header[HEADER_OPENGL] = {};
    if (!image.Read(0, header, HEADER_BASE))
        return false;
    const uint32_t headerSize = LittleEndian32(header + 4);
    const uint64_t totalBytes = LittleEndian32(header + 48);
    const uint32_t recordCount = LittleEndian32(header + 52);
    const uint32_t handles = LittleEndian16(header + 56);
    if (LittleEndian32(header) != EMR_HEADER || headerSize < HEADER_BASE || headerSize % 4 != 0 ||
        LittleEndian32(header + 40) != SIGNATURE || totalBytes % 4 != 0 || totalBytes < headerSize ||
        totalBytes > image.size || recordCount < 2 || recordCount > METAFILE_RECORD_LIMIT || handles < 1 ||
        handles > METAFILE_OBJECT_LIMIT)
        return false;
    // A header that describes pixel formats belongs to OpenGL drawing.
    if (headerSize >= HEADER_OPENGL &&
        (!image.Read(0, header, HEADER_OPENGL) || LittleEndian32(header + 88) != 0 || LittleEndian32(header + 96) != 0))
        return false;
    const int64_t frame[4] = {
        static_cast<int32_t>(LittleEndian32(header + 24)), static_cast<int32_t>(LittleEndian32(header + 28)),
        static_cast<int32_t>(LittleEndian32(header + 32)), static_cast<int32_t>(LittleEndian32(header + 36))};
    const int32_t device[2] = {static_cast<int32_t>(LittleEndian32(header + 72)),
                               static_cast<int32_t>(LittleEndian32(header + 76))};
    const int32_t millimetres[2] = {static_cast<int32_t>(LittleEndian32(header + 80)),
                                    static_cast<int32_t>(LittleEndian32(header + 84))};
    for (int axis = 0; axis < 2; ++axis) {
        if (device[axis] < 1 || device[axis] > REFERENCE_LIMIT || millimetres[axis] < 1 ||
            millimetres[axis] > REFERENCE_LIMIT)
            return false;
    }
    const uint32_t description = LittleEndian32(header + 60);
    if (description != 0 &&
        (LittleEndian32(header + 64) > totalBytes || 2ull * description > totalBytes - LittleEndian32(header + 64)))
        return false;
    // The picture's size is its frame, in HIMETRIC.
    const int64_t frameWidth = frame[2] - frame[0], frameHeight = frame[3] - frame[1];
    int width = 0, height = 0;
    if (!MetafilePixelSize(frameWidth, frameHeight, width, height))
        return false;

    // Playback fits the frame to the picture: a record unit is a pixel of the reference device.
    const double scaleX = width * 100.0 / static_cast<double>(frameWidth) * millimetres[0] / device[0];
    const double scaleY = height * 100.0 / static_cast<double>(frameHeight) * millimetres[1] / device[1];
    const AFFINE start = {scaleX,
                          0,
                          0,
                          scaleY,
                          -static_cast<double>(width) / frameWidth * frame[0],
                          -static_cast<double>(height) / frameHeight * frame[1]};
    const MAPPING text = {MM_TEXT, 0, 0, 1, 1, 0, 0, 1, 1};
    METAFILEPLAY* play = new (std::nothrow) METAFILEPLAY(width, height, start, text, handles);
    if (!play)
        return false;
    bool sound = play->IsReady() && play->Hold(DATA_COPIES * image.size);
    EMFCHECK check(*play, handles);
    uint64_t at = 0;
    uint32_t records = 0;
    bool ended = false;
    while (sound && !ended) {
        unsigned char head[8];
        if (at + sizeof head > totalBytes || !image.Read(at, head, sizeof head)) {
            sound = false;
            break;
        }
        const uint32_t type = LittleEndian32(head);
        const uint32_t size = LittleEndian32(head + 4);
        ++records;
        if (size < sizeof head || size % 4 != 0 || size > totalBytes - at || records > recordCount ||
            (type == EMR_HEADER) != (at == 0)) {
            sound = false;
            break;
        }
        const EMFRECORD record(image, at, size, type);
        ended = type == EMR_EOF;
        if (!play->Record()) {
            sound = false;
        } else if (ended) {
            // The palette the end record carries, as many entries as the header counts.
            const uint64_t entries = record.Dword(8);
            sound = size >= 20 && entries == LittleEndian32(header + 68) &&
                    record.Holds(record.Dword(12), entries * 4) && at + size == totalBytes && records == recordCount;
        } else if (type != EMR_HEADER) {
            const uint32_t minimum = MinimumSize(type);
            sound = record.IsRead() && minimum != 0 && size >= minimum && check.Play(record);
        }
        at += size;
    }
    delete play;
    return sound && ended;
}
