// Metafiles recorded by GDI in memory (recording never plays them), some then changed byte by
// byte: sound drawings at skin sizes, and drawings whose playback would corrupt the player's heap,
// run for minutes or read beyond their records.
#include "support/hostileimages.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace hostileimages {

namespace {

using DRAWING = std::function<void(HDC)>;

const int DPI = 96;  // the recording's reference: the test screen
const int HIMETRIC_PER_INCH = 2540;
const uint32_t EXTENDED_ESCAPE = 106;  // EMR_EXTESCAPE

std::string Put(std::string bytes, size_t at, uint32_t value, int count)
{
    std::string encoded;
    for (int i = 0; i < count; ++i)
        encoded += static_cast<char>(value >> (8 * i));
    if (at < bytes.size())
        bytes.replace(at, encoded.size(), encoded.substr(0, bytes.size() - at));
    return bytes;
}

uint32_t Get(const std::string& bytes, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// An enhanced metafile of `width` x `height` pixels; one record unit is one pixel.
std::string Enhanced(int width, int height, const DRAWING& draw)
{
    const RECT frame = {0, 0, width * HIMETRIC_PER_INCH / DPI, height * HIMETRIC_PER_INCH / DPI};
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    draw(dc);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::string bytes(GetEnhMetaFileBits(metafile, 0, nullptr), '\0');
    GetEnhMetaFileBits(metafile, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0]));
    DeleteEnhMetaFile(metafile);
    return bytes;
}

// A Windows metafile drawn in a `width` x `height` window, behind the placeable header that says
// the window is that many pixels at 96 a inch.
std::string Placeable(int width, int height, const DRAWING& draw)
{
    HDC dc = CreateMetaFileA(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, width, height, nullptr);
    draw(dc);
    HMETAFILE metafile = CloseMetaFile(dc);
    std::string records(GetMetaFileBitsEx(metafile, 0, nullptr), '\0');
    GetMetaFileBitsEx(metafile, static_cast<UINT>(records.size()), &records[0]);
    DeleteMetaFile(metafile);
    const uint32_t words[10] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<uint32_t>(width), static_cast<uint32_t>(height),
                                DPI};
    std::string header(22, '\0');
    uint32_t checksum = 0;
    for (int word = 0; word < 10; ++word) {
        header = Put(header, 2 * word, words[word], 2);
        checksum ^= words[word];
    }
    return Put(header, 20, checksum, 2) + records;
}

// The offset of the first record of `type` in an enhanced metafile.
size_t EnhancedRecord(const std::string& emf, uint32_t type)
{
    for (size_t at = 0; at + 8 <= emf.size(); at += Get(emf, at + 4)) {
        if (Get(emf, at) == type)
            return at;
    }
    return emf.size();
}

// The offset of the first record of `function` in a placeable metafile.
size_t PlaceableRecord(const std::string& wmf, uint32_t function)
{
    for (size_t at = 22 + 18; at + 6 <= wmf.size(); at += 2 * Get(wmf, at)) {
        if ((Get(wmf, at + 4) & 0xFFFF) == function)
            return at;
    }
    return wmf.size();
}

std::string LtPrefixed(const std::string& image)
{
    return Put(std::string("lt\0\0\0\0\0\0", 8), 4, static_cast<uint32_t>(image.size()), 4) + image;
}

BITMAPINFO Info(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    // Wine records only as many bytes of pixels as this says.
    info.bmiHeader.biSizeImage = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
    return info;
}

// What a skin holds: a background picture, frames, rounded boxes, a curve, a polygon and labels,
// in the mapping and saved states clip-art sets up.
void Skin(HDC dc, int width, int height, bool enhanced)
{
    // Full-HD pictures keep their aspect, as drawings scaled to any size do.
    SetMapMode(dc, width > 1000 ? MM_ISOTROPIC : MM_ANISOTROPIC);
    SetWindowExtEx(dc, width, height, nullptr);
    SetViewportExtEx(dc, width, height, nullptr);
    SaveDC(dc);
    const BITMAPINFO info = Info(64, 48);
    std::string pixels(64 * 3 * 48, '\0');
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<char>(i * 7);
    StretchDIBits(dc, 0, 0, width, height, 0, 0, 64, 48, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(32, 32, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, 32, 32, WHITENESS);
    BitBlt(dc, width / 2, height / 8, 32, 32, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    HPEN pen = CreatePen(PS_SOLID, 6, RGB(20, 40, 200));
    HBRUSH brush = CreateSolidBrush(RGB(240, 200, 40));
    HFONT font = CreateFontA(-height / 12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SelectObject(dc, font);
    RoundRect(dc, width / 20, height / 20, width - width / 20, height - height / 20, 40, 40);
    Ellipse(dc, width / 4, height / 4, width / 2, height / 2);
    const POINT star[5] = {{width * 3 / 4, height / 4},
                           {width * 5 / 6, height / 2},
                           {width * 2 / 3, height / 3},
                           {width * 5 / 6, height / 3},
                           {width * 2 / 3, height / 2}};
    Polygon(dc, star, 5);
    MoveToEx(dc, width / 10, height * 9 / 10, nullptr);
    LineTo(dc, width * 9 / 10, height * 9 / 10);
    SetBkMode(dc, TRANSPARENT);
    for (int line = 0; line < 6; ++line)
        TextOutA(dc, width / 10, height / 2 + line * height / 14, "GPU 65C 1500MHz", 15);
    if (enhanced) {
        const POINT curve[4] = {{0, height}, {width / 3, 0}, {width * 2 / 3, height}, {width, 0}};
        PolyBezier(dc, curve, 4);
        BeginPath(dc);
        Rectangle(dc, width / 3, height * 2 / 3, width / 2, height * 5 / 6);
        EndPath(dc);
        StrokeAndFillPath(dc);
    }
    RestoreDC(dc, -1);
    DeleteObject(pen);
    DeleteObject(brush);
    DeleteObject(font);
}

// Pattern brushes of 4096 x 4096 pixels, a few megabytes in the file each, held in the device's
// format while the picture plays.
void LargeBrushes(HDC dc, int count)
{
    const int SIDE = 4096;
    std::string packed(sizeof(BITMAPINFOHEADER) + 8 + SIDE / 8 * SIDE, '\0');
    BITMAPINFOHEADER header = Info(SIDE, SIDE).bmiHeader;
    header.biBitCount = 1;
    header.biSizeImage = SIDE / 8 * SIDE;
    packed.replace(0, sizeof header, reinterpret_cast<const char*>(&header), sizeof header);
    for (int brush = 0; brush < count; ++brush) {
        HBRUSH pattern = CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
        SelectObject(dc, pattern);
        Rectangle(dc, 0, 0, 50, 50);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(pattern);
    }
}

// White walls between black corridors that join at alternate ends, then a fill of the corridor.
void Maze(HDC dc)
{
    PatBlt(dc, 0, 0, 300, 200, BLACKNESS);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    for (int x = 1; x < 300; x += 2) {
        const bool fromTop = (x / 2) % 2 != 0;
        MoveToEx(dc, x, fromTop ? 1 : 0, nullptr);
        LineTo(dc, x, fromTop ? 200 : 199);
    }
    ExtFloodFill(dc, 0, 0, RGB(0, 0, 0), FLOODFILLSURFACE);
}

void Repeat(int count, const std::function<void()>& draw)
{
    for (int i = 0; i < count; ++i)
        draw();
}

// A line with a pen `width` units wide, drawn in the picture under the given mapping.
void PenLine(HDC dc, int width)
{
    HPEN pen = CreatePen(PS_SOLID, width, RGB(0, 0, 0));
    SelectObject(dc, pen);
    MoveToEx(dc, 2, 2, nullptr);
    LineTo(dc, 3, 3);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

void FontText(HDC dc, int height)
{
    HFONT font = CreateFontA(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    SelectObject(dc, font);
    TextOutA(dc, 0, 0, "W", 1);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
}

// Points stepping across the picture and back, each line crossing the rows of many others.
void Zigzag(HDC dc, int width, int height, int points, bool polygon, int penWidth)
{
    std::vector<POINT> zigzag(static_cast<size_t>(points));
    for (int i = 0; i < points; ++i)
        zigzag[static_cast<size_t>(i)] = {(i * 37) % width, (i * 91) % height};
    HPEN pen = CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0));
    SelectObject(dc, pen);
    if (polygon)
        Polygon(dc, zigzag.data(), points);
    else
        Polyline(dc, zigzag.data(), points);
}

void Blits(HDC dc, bool stretch)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Repeat(300, [&] {
        if (stretch)
            StretchBlt(dc, 0, 0, 500, 400, memory, 0, 0, 8, 8, SRCINVERT);
        else
            BitBlt(dc, 0, 0, 500, 400, memory, 0, 0, SRCINVERT);
    });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

// A picture whose first record of `type` (at `field` bytes into it) is given another value.
std::string EnhancedChanged(uint32_t type, size_t field, uint32_t value, const DRAWING& draw)
{
    const std::string emf = Enhanced(500, 400, draw);
    return Put(emf, EnhancedRecord(emf, type) + field, value, 4);
}

std::string PlaceableChanged(uint32_t function, size_t field, uint32_t value, int bytes, const DRAWING& draw)
{
    const std::string wmf = Placeable(500, 400, draw);
    return Put(wmf, PlaceableRecord(wmf, function) + field, value, bytes);
}

// A record (its words, size first) put before the end record, with the header's sizes to match.
std::string PlaceableWith(const std::string& wmf, const std::vector<uint32_t>& words)
{
    std::string record;
    for (uint32_t word : words)
        record = Put(record + "  ", record.size(), word, 2);
    const size_t eof = PlaceableRecord(wmf, 0);
    const std::string changed = wmf.substr(0, eof) + record + wmf.substr(eof);
    return Put(changed, 22 + 6, static_cast<uint32_t>((changed.size() - 22) / 2), 4);
}

std::string AppendRecord(const std::string& emf, const std::string& record)
{
    const size_t eof = EnhancedRecord(emf, EMR_EOF);
    std::string changed = emf.substr(0, eof) + record + emf.substr(eof);
    changed = Put(changed, 48, static_cast<uint32_t>(changed.size()), 4);
    return Put(changed, 52, Get(changed, 52) + 1, 4);
}

// A record behind the end record, counted in the header.
std::string AfterEnd(const std::string& emf, const std::string& record)
{
    const std::string changed = emf + record;
    return Put(Put(changed, 48, static_cast<uint32_t>(changed.size()), 4), 52, Get(emf, 52) + 1, 4);
}

std::string EnhancedRecordOf(uint32_t type, uint32_t size)
{
    return Put(Put(std::string(size, '\0'), 0, type, 4), 4, size, 4);
}

// A geometric pen whose brush is a packed bitmap behind a pointer (the hatch): the player would
// follow it. Its colour, where Wine's 64-bit player reads the brush style, says the same.
std::string PenWithPointerBrush()
{
    std::string pen = Put(Put(EnhancedRecordOf(EMR_EXTCREATEPEN, 52), 8, 1, 4), 28, PS_GEOMETRIC, 4);
    pen = Put(Put(pen, 32, 5, 4), 36, BS_DIBPATTERNPT, 4);
    return Put(Put(pen, 40, BS_DIBPATTERNPT, 4), 44, 0x12345678, 4);
}

}  // namespace

std::vector<HOSTILEIMAGE> MetafileCases()
{
    const auto skinEmf = [](int w, int h) { return Enhanced(w, h, [=](HDC dc) { Skin(dc, w, h, true); }); };
    const auto skinWmf = [](int w, int h) { return Placeable(w, h, [=](HDC dc) { Skin(dc, w, h, false); }); };
    const std::string emf = skinEmf(500, 400);
    const std::string wmf = skinWmf(500, 400);
    const DRAWING rectangle = [](HDC dc) { Rectangle(dc, 10, 10, 100, 100); };
    const DRAWING deepSave = [](HDC dc) { Repeat(200, [&] { SaveDC(dc); }); };
    const DRAWING millionPen = [](HDC dc) { PenLine(dc, 1000000); };
    const DRAWING worldPen = [](HDC dc) {
        SetGraphicsMode(dc, GM_ADVANCED);
        const XFORM huge = {100000, 0, 0, 100000, 0, 0};
        SetWorldTransform(dc, &huge);
        PenLine(dc, 1);
    };
    const DRAWING viewportPen = [](HDC dc) {
        SetMapMode(dc, MM_ANISOTROPIC);
        SetWindowExtEx(dc, 1, 1, nullptr);
        SetViewportExtEx(dc, 20000, 20000, nullptr);
        PenLine(dc, 1);
    };
    const DRAWING windowPen = [](HDC dc) {
        SetWindowExtEx(dc, 1, 1, nullptr);
        PenLine(dc, 4);
    };
    const DRAWING scaled = [](HDC dc) {
        SetGraphicsMode(dc, GM_ADVANCED);
        const XFORM twice = {2, 0, 0, 2, 0, 0};
        SetWorldTransform(dc, &twice);
        Rectangle(dc, 10, 10, 100, 100);
    };
    const DRAWING filledRegion = [](HDC dc) {
        HRGN region = CreateRectRgn(10, 10, 200, 100);
        FillRgn(dc, region, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        DeleteObject(region);
    };
    const uint32_t huge = 0x7FFFFFFF;
    const std::string lieHeader = Put(wmf, 20, 0, 2);
    return {
        {"emf_skin_500x400", emf, LOADS},
        {"emf_skin_full_hd", skinEmf(1920, 1080), LOADS},
        {"wmf_skin_500x400", wmf, LOADS},
        {"wmf_skin_full_hd", skinWmf(1920, 1080), LOADS},
        {"emf_skin_behind_lt", LtPrefixed(emf), LOADS},
        {"wmf_skin_behind_lt", LtPrefixed(wmf), LOADS},
        // Within the limits below: a pen and a font almost as large as the picture, twenty
        // operations over all of it, SaveDC sixty deep.
        {"emf_pen_within_picture", Enhanced(500, 400, [](HDC dc) { PenLine(dc, 400); }), LOADS},
        {"wmf_font_within_picture", Placeable(500, 400, [](HDC dc) { FontText(dc, 300); }), LOADS},
        {"emf_full_canvas_patblt_twenty",
         Enhanced(500, 400, [](HDC dc) { Repeat(20, [&] { PatBlt(dc, 0, 0, 500, 400, DSTINVERT); }); }), LOADS},
        {"wmf_savedc_sixty_deep", Placeable(500, 400, [](HDC dc) { Repeat(60, [&] { SaveDC(dc); }); }), LOADS},
        // Records put in by hand, as the refused ones below are: a miter limit at its default, a
        // comment.
        {"emf_miter_limit_default", AppendRecord(emf, Put(EnhancedRecordOf(EMR_SETMITERLIMIT, 12), 8, 0x41200000, 4)),
         LOADS},
        {"wmf_comment", PlaceableWith(wmf, {6, 0, META_ESCAPE, 15, 2, 0x4142}), LOADS},
        // A pen a million pixels wide, and one unit wide under a transform that makes it as wide.
        {"emf_pen_million", Enhanced(500, 400, millionPen), REFUSED},
        {"wmf_pen_million", Placeable(500, 400, [](HDC dc) { PenLine(dc, 30000); }), REFUSED},
        {"emf_pen_world_transform", Enhanced(500, 400, worldPen), REFUSED},
        {"emf_pen_viewport_scale", Enhanced(500, 400, viewportPen), REFUSED},
        {"wmf_pen_window_scale", Placeable(500, 400, windowPen), REFUSED},
        {"emf_pen_million_behind_lt", LtPrefixed(Enhanced(500, 400, millionPen)), REFUSED},
        {"wmf_pen_window_scale_behind_lt", LtPrefixed(Placeable(500, 400, windowPen)), REFUSED},
        {"emf_huge_font", Enhanced(500, 400, [](HDC dc) { FontText(dc, 100000); }), REFUSED},
        {"wmf_huge_font", Placeable(500, 400, [](HDC dc) { FontText(dc, 30000); }), REFUSED},
        // A few hundred kilobytes of operations over the whole picture.
        {"emf_full_canvas_patblt",
         Enhanced(500, 400, [](HDC dc) { Repeat(3000, [&] { PatBlt(dc, 0, 0, 500, 400, DSTINVERT); }); }), REFUSED},
        {"emf_full_canvas_rectangle",
         Enhanced(500, 400, [](HDC dc) { Repeat(12000, [&] { Rectangle(dc, 0, 0, 500, 400); }); }), REFUSED},
        {"emf_full_canvas_bitblt", Enhanced(500, 400, [](HDC dc) { Blits(dc, false); }), REFUSED},
        {"emf_full_canvas_stretchblt", Enhanced(500, 400, [](HDC dc) { Blits(dc, true); }), REFUSED},
        {"wmf_full_canvas_patblt",
         Placeable(500, 400, [](HDC dc) { Repeat(15000, [&] { PatBlt(dc, 0, 0, 500, 400, DSTINVERT); }); }), REFUSED},
        // A flood fill in a maze: Wine's fill recurses for every run of pixels and overflows the stack.
        {"emf_flood_fill_in_a_maze", Enhanced(300, 200, Maze), REFUSED},
        {"wmf_flood_fill_in_a_maze", Placeable(300, 200, Maze), REFUSED},
        // Small files whose outlines cost the player seconds: a polygon whose edges cross every
        // row thousands of times, a wide polyline merged into itself a thousand times.
        {"emf_polygon_zigzag", Enhanced(500, 400, [](HDC dc) { Zigzag(dc, 500, 400, 10000, true, 1); }), REFUSED},
        {"emf_wide_polyline_zigzag", Enhanced(1920, 1080, [](HDC dc) { Zigzag(dc, 1920, 1080, 1000, false, 10); }),
         REFUSED},
        {"wmf_polygon_zigzag", Placeable(500, 400, [](HDC dc) { Zigzag(dc, 500, 400, 10000, true, 1); }), REFUSED},
        {"emf_too_many_records", Enhanced(100, 100, [](HDC dc) { Repeat(100001, [&] { SetBkMode(dc, OPAQUE); }); }),
         REFUSED},
        {"wmf_too_many_records", Placeable(100, 100, [](HDC dc) { Repeat(100001, [&] { SetBkMode(dc, OPAQUE); }); }),
         REFUSED},
        {"emf_deep_savedc", Enhanced(500, 400, deepSave), REFUSED},
        {"wmf_deep_savedc", Placeable(500, 400, deepSave), REFUSED},
        // Records and headers that lie about their sizes.
        {"emf_record_size_zero", EnhancedChanged(EMR_RECTANGLE, 4, 0, rectangle), REFUSED},
        {"emf_record_size_unaligned", EnhancedChanged(EMR_RECTANGLE, 4, 26, rectangle), REFUSED},
        {"emf_record_below_its_minimum", EnhancedChanged(EMR_RECTANGLE, 4, 16, rectangle), REFUSED},
        {"emf_record_past_the_data", EnhancedChanged(EMR_RECTANGLE, 4, 0x10000, rectangle), REFUSED},
        {"emf_header_bytes_beyond_file", Put(emf, 48, static_cast<uint32_t>(emf.size()) + 4, 4), REFUSED},
        {"emf_header_record_count", Put(emf, 52, Get(emf, 52) + 1, 4), REFUSED},
        {"emf_header_no_handles", Put(emf, 56, 0, 2), REFUSED},
        {"emf_header_frame_empty", Put(emf, 32, 0, 4), REFUSED},
        {"emf_header_frame_huge", Put(emf, 32, huge, 4), REFUSED},
        {"emf_header_reference_device_zero", Put(emf, 72, 0, 4), REFUSED},
        {"emf_without_end", emf.substr(0, EnhancedRecord(emf, EMR_EOF)), REFUSED},
        {"emf_record_after_end", AfterEnd(emf, EnhancedRecordOf(EMR_SETBKMODE, 12)), REFUSED},
        {"emf_window_extent_zero", EnhancedChanged(EMR_SETWINDOWEXTEX, 8, 0, [](HDC dc) { Skin(dc, 500, 400, true); }),
         REFUSED},
        {"wmf_window_extent_zero", PlaceableChanged(META_SETWINDOWEXT, 6, 0, 2, rectangle), REFUSED},
        {"emf_world_transform_scaled", Enhanced(500, 400, scaled), LOADS},
        {"emf_world_transform_singular", EnhancedChanged(EMR_SETWORLDTRANSFORM, 8, 0, scaled), REFUSED},
        {"emf_miter_limit_beyond_default",
         AppendRecord(emf, Put(EnhancedRecordOf(EMR_SETMITERLIMIT, 12), 8, 0x447A0000, 4)),  // 1000.0f
         REFUSED},
        {"emf_region_count_lies", EnhancedChanged(EMR_FILLRGN, 32 + 8, 100000, filledRegion), REFUSED},
        {"emf_pen_brush_is_a_pointer", AppendRecord(emf, PenWithPointerBrush()), REFUSED},
        {"emf_handle_beyond_table", EnhancedChanged(EMR_SELECTOBJECT, 8, 5000, [](HDC dc) { PenLine(dc, 2); }),
         REFUSED},
        {"emf_bitmap_header_lies",
         EnhancedChanged(EMR_STRETCHDIBITS, 80 + 4, 60000, [](HDC dc) { Skin(dc, 500, 400, true); }), REFUSED},
        {"emf_brushes_beyond_budget", Enhanced(500, 400, [](HDC dc) { LargeBrushes(dc, 3); }), REFUSED},
        {"emf_bitmap_beyond_image_limits",
         EnhancedChanged(EMR_STRETCHDIBITS, 80 + 8, 20000, [](HDC dc) { Skin(dc, 500, 400, true); }), REFUSED},
        {"emf_text_count_lies", EnhancedChanged(EMR_EXTTEXTOUTW, 44, 100000, [](HDC dc) { Skin(dc, 500, 400, true); }),
         REFUSED},
        {"wmf_checksum_wrong", lieHeader, REFUSED},
        {"wmf_inch_zero", Put(Put(wmf, 14, 0, 2), 20, Get(wmf, 20) ^ DPI, 2), REFUSED},
        {"wmf_size_beyond_data", Put(wmf, 22 + 6, static_cast<uint32_t>(wmf.size()), 4), REFUSED},
        {"wmf_largest_record_lies", Put(wmf, 22 + 12, 4, 4), REFUSED},
        {"wmf_record_size_below_three", PlaceableChanged(META_RECTANGLE, 0, 2, 4, rectangle), REFUSED},
        {"wmf_record_past_the_data", PlaceableChanged(META_RECTANGLE, 0, 0x100000, 4, rectangle), REFUSED},
        {"wmf_object_beyond_table", PlaceableChanged(META_SELECTOBJECT, 6, 900, 2, [](HDC dc) { PenLine(dc, 2); }),
         REFUSED},
        {"wmf_without_end", wmf.substr(0, PlaceableRecord(wmf, 0)), REFUSED},
        // Records nothing here can bound.
        {"emf_escape", AppendRecord(emf, EnhancedRecordOf(EXTENDED_ESCAPE, 16)), REFUSED},
        {"emf_opengl_record", AppendRecord(emf, EnhancedRecordOf(EMR_GLSRECORD, 16)), REFUSED},
        {"emf_unknown_record", AppendRecord(emf, EnhancedRecordOf(250, 16)), REFUSED},
        {"wmf_escape", PlaceableWith(wmf, {5, 0, META_ESCAPE, SETABORTPROC, 0}), REFUSED},
        {"wmf_unknown_record", PlaceableWith(wmf, {3, 0, 0x0999}), REFUSED},
    };
}

}  // namespace hostileimages
