#pragma once

#include <windows.h>
#include <cstdint>

// What playing a metafile into the panel's picture costs, modelled on how Wine's gdi32 plays it
// into the DIB section that RenderPicture draws on: the transform from record coordinates to the
// picture's pixels as playback sets it up and the records change it, the pen and font in effect,
// the object table, the saved states and the path, and a budget of records, drawing work, pixels
// touched and memory held that a file must stay within. The placeable and enhanced metafile checks
// (image/metafilecheck.h) walk their records through one of these. Every estimate errs upwards:
// a sound drawing is charged more than it costs, never less.

// A picture of far more records is no drawing anyone made by hand; each costs playback a few
// microseconds even when it draws nothing.
constexpr uint32_t METAFILE_RECORD_LIMIT = 100000;
// Clip-art nests SaveDC a few levels deep; each level copies the whole device context.
constexpr int METAFILE_SAVE_LIMIT = 64;
// Slots of the object table (the player allocates them all up front).
constexpr uint32_t METAFILE_OBJECT_LIMIT = 16384;
// Pixels touched by fills, blits, text and strokes, in pictures' worth: real drawings paint their
// area a few times over.
constexpr uint64_t METAFILE_RASTER_FRAMES = 32;
constexpr uint64_t METAFILE_RASTER_ALLOWANCE = 1 << 20;
// Drawing work in nanoseconds of Wine 8's DIB engine on the two-core reference machine (weights
// measured per operation, rounded up): the worst accepted file plays in well under a second.
constexpr uint64_t METAFILE_WORK_LIMIT = 1000000000;
// Pen widths and font sizes in pixels, against the longer side of the picture: a stroke or a
// glyph larger than the whole picture draws nothing a skin needs, and a pen a million pixels wide
// corrupts Wine's heap.
constexpr int METAFILE_STROKE_FRAMES = 1;
// The height the player gives a font that asks for the default, and its stock fonts at 96 dpi.
constexpr int64_t METAFILE_DEFAULT_FONT_HEIGHT = 16;

// x' = x m11 + y m21 + dx, y' = x m12 + y m22 + dy, as GDI's XFORM.
struct AFFINE {
    double m11, m12, m21, m22, dx, dy;
};

// `first` applied, then `then`.
AFFINE Combine(const AFFINE& first, const AFFINE& then);

// The window and viewport of a device context, as GDI keeps them.
struct MAPPING {
    int mode;
    int64_t windowOrgX, windowOrgY, windowExtX, windowExtY;
    int64_t viewportOrgX, viewportOrgY, viewportExtX, viewportExtY;
};

// A pen as the player selects it: widths in record units.
struct PENMODEL {
    int64_t width;
    bool drawn;      // not PS_NULL
    bool geometric;  // drawn through a region whatever its width
    bool dashed;
    bool mitred;  // joins reaching as far as the miter limit allows
};

// A font's height and average width in record units; a height of 0 asks for the default.
struct FONTMODEL {
    int64_t height;
    int64_t width;
};

enum OBJECTKIND { OBJECT_EMPTY, OBJECT_PEN, OBJECT_BRUSH, OBJECT_FONT, OBJECT_PALETTE, OBJECT_REGION };

struct OBJECTMODEL {
    OBJECTKIND kind;
    PENMODEL pen;
    FONTMODEL font;
    uint64_t rects;  // of a region, within the box
    double left, top, right, bottom;
};

// What drawing costs: the weights per operation, in the units of METAFILE_WORK_LIMIT.
enum DRAWCOST {
    COST_RECORD = 1500,         // any record, drawing nothing
    COST_FILL_PIXEL = 6,        // a pixel of a fill in any brush and raster operation
    COST_BLIT_PIXEL = 20,       // a destination pixel of a blit or stretch
    COST_SOURCE_PIXEL = 150,    // a source pixel of an embedded bitmap, read, converted to the device's format
    COST_LINE_PIXEL = 5,        // a pixel along a one-pixel line, clipped to the picture
    COST_POINT = 300,           // a vertex of any outline, arcs included
    COST_ROW = 50,              // a row of a region built from a polygon or a wide stroke
    COST_REGION_RECT = 15,      // a rectangle of a stroke's region walked when a piece is merged into it
    COST_REGION_PIECE = 15000,  // a rectangle of a region record, mapped to the picture and merged
    COST_REGION_PAIR = 2,       // per pair of a region record's rectangles: each merge walks those before
    COST_CAP_ROW = 400,         // a row of the round cap a wide pen builds once per call
    COST_CROSSING = 5,          // an edge crossing a row when a polygon is scan-converted
    COST_SCAN = 3,              // per row, the square of the edges crossing it: the scan keeps them sorted
    COST_CHARACTER = 12000,     // a character drawn
    COST_GLYPH_PIXEL = 6,       // a pixel of a glyph's box, rasterised
};

// The outline of one drawing call, or of the path being built: points in picture pixels, with
// what filling and stroking it costs the player (scan conversion grows with the square of the
// edges crossing each row, a wide stroke's region with its pieces times its rows).
class FIGURE {
public:
    FIGURE();
    virtual ~FIGURE();
    FIGURE(const FIGURE&) = delete;
    FIGURE& operator=(const FIGURE&) = delete;

    // Rows from `top` (picture pixels) on, as many as the reach of the picture spans; `span` is
    // the longest line the picture can show.
    [[nodiscard]] bool Allocate(int64_t top, int64_t rows, double span);
    void Clear();
    bool IsEmpty() const { return segments == 0 && crossings == 0; }

    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    // A cubic Bézier from the current point; the player flattens it into at most 256 lines.
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    // A closed curve within the box (an ellipse, a rounded rectangle) of `points` lines, crossing
    // each of its rows twice.
    void Loop(double left, double top, double right, double bottom, uint64_t points);
    void Close();
    // The edges filling adds to close each figure, once the figure is complete.
    void CloseForFill();

    // Edges crossing each row of the picture, squared and summed: the scan conversion's work.
    double SquaredCrossings(int64_t frameTop, int64_t frameBottom) const;
    // Rows covered by the y-monotone pieces, each row counted at most `cap` times: the size of
    // the region a wide stroke of these pieces builds.
    double PieceRows(double cap);

    uint64_t segments;     // lines the pen draws
    uint64_t crossings;    // edge-rows, for filling
    uint64_t pieces;       // y-monotone pieces
    double length;         // of all lines, in pixels
    double clippedLength;  // each line held to the longest the picture shows
    double rise;           // of all lines, in rows
    double left, top, right, bottom;

private:
    void Touch(int64_t index);
    int64_t Span(int64_t* counts, double y0, double y1, int64_t weight);
    void EndPiece();
    void Include(double x, double y);

    int64_t rowTop;
    int64_t rowCount;
    int64_t* edgeRows;   // difference array of edges per row
    int64_t* pieceRows;  // difference array of monotone pieces per row
    double startX, startY, lastX, lastY;
    bool open;
    bool bounded;
    int direction;
    double pieceLow, pieceHigh;
    double frameSpan;
    // Rows written since the last Clear, so that clearing costs what drawing did.
    int64_t touchedLow, touchedHigh;
    int64_t* log;
    int logged;
};

// One playback: the picture it draws into, the state the records change, and the budget.
class METAFILEPLAY {
public:
    // `start` takes what the window and viewport give to picture pixels (identity where the
    // device context itself holds the mapping); `objects` is the size of the object table.
    METAFILEPLAY(int width, int height, const AFFINE& start, const MAPPING& mapping, uint32_t objects);
    virtual ~METAFILEPLAY();
    METAFILEPLAY(const METAFILEPLAY&) = delete;
    METAFILEPLAY& operator=(const METAFILEPLAY&) = delete;

    // False when the tables could not be allocated.
    bool IsReady() const;

    // The budget. Each returns false once the file is beyond it.
    [[nodiscard]] bool Record();
    [[nodiscard]] bool Hold(uint64_t bytes);
    [[nodiscard]] bool Transient(uint64_t bytes);

    // The mapping, as GDI changes it. False where the result is absurd (zero or overflowing
    // extents, a transform that is singular or scales beyond reason).
    [[nodiscard]] bool SetMapMode(int mode);
    [[nodiscard]] bool SetWindowOrg(int64_t x, int64_t y);
    [[nodiscard]] bool SetViewportOrg(int64_t x, int64_t y);
    [[nodiscard]] bool OffsetWindowOrg(int64_t x, int64_t y);
    [[nodiscard]] bool OffsetViewportOrg(int64_t x, int64_t y);
    [[nodiscard]] bool SetWindowExt(int64_t x, int64_t y);
    [[nodiscard]] bool SetViewportExt(int64_t x, int64_t y);
    // `rounded`: MulDiv as enhanced-metafile playback scales; otherwise truncated, as GDI does.
    [[nodiscard]] bool ScaleWindowExt(int64_t xNum, int64_t xDenom, int64_t yNum, int64_t yDenom, bool rounded);
    [[nodiscard]] bool ScaleViewportExt(int64_t xNum, int64_t xDenom, int64_t yNum, int64_t yDenom, bool rounded);
    [[nodiscard]] bool SetWorld(const AFFINE& world);
    [[nodiscard]] bool ModifyWorld(const AFFINE& change, DWORD mode);
    [[nodiscard]] bool SaveState();
    [[nodiscard]] bool RestoreState(int64_t level);

    // The object table: slots as records name them.
    [[nodiscard]] bool PutObject(uint32_t slot, const OBJECTMODEL& object);
    // The first free slot, as a Windows metafile fills them; false when the table is full, which
    // the header says it never is.
    [[nodiscard]] bool AddObject(const OBJECTMODEL& object);
    const OBJECTMODEL* Object(uint32_t slot) const;
    [[nodiscard]] bool DeleteObject(uint32_t slot);
    [[nodiscard]] bool SelectPen(const PENMODEL& pen);
    [[nodiscard]] bool SelectFont(const FONTMODEL& font);
    // The object in a slot selected: a pen or a font changes what later records cost, any other
    // object nothing the model follows. False for an empty slot.
    [[nodiscard]] bool SelectObjectAt(uint32_t slot);
    // A stock object by its index (WHITE_BRUSH to DC_PEN); false for any other.
    [[nodiscard]] bool SelectStockObject(uint32_t index);

    // Drawing, in record coordinates. Where a path is being built, outlines go into it instead.
    [[nodiscard]] bool MoveTo(double x, double y);
    // The figure of the next drawing call; its points are checked against the picture's reach.
    FIGURE& Start();
    [[nodiscard]] bool Point(double x, double y, bool move);
    [[nodiscard]] bool Curve(double x1, double y1, double x2, double y2, double x3, double y3);
    // A closed curve inside the box (ellipse, chord, pie, arc: drawn or added as one loop).
    [[nodiscard]] bool Loop(double left, double top, double right, double bottom);
    [[nodiscard]] bool RoundCorners(double left, double top, double right, double bottom, double cornerWidth,
                                    double cornerHeight);
    void CloseFigure();
    // A point the player maps to the picture without drawing it (where an arc starts and ends).
    bool IsWithinReach(double x, double y) const;
    // What the figure costs when stroked with the pen in effect and, if `fill`, filled.
    [[nodiscard]] bool Draw(bool stroke, bool fill);
    // The current position after a drawing call that moves it.
    void Moved(double x, double y);
    double X() const { return state.x; }
    double Y() const { return state.y; }

    [[nodiscard]] bool BeginPath();
    [[nodiscard]] bool EndPath();
    [[nodiscard]] bool AbortPath();
    [[nodiscard]] bool DrawPath(bool stroke, bool fill);
    [[nodiscard]] bool ClipPath();

    // A box in record coordinates (its four corners), filled with the brush or blitted.
    [[nodiscard]] bool Fill(double left, double top, double right, double bottom, uint64_t pixelCost);
    // An embedded bitmap of `width` x `height` pixels, drawn into the box.
    [[nodiscard]] bool Bitmap(uint64_t width, uint64_t height, double left, double top, double right, double bottom);
    // A pattern brush holding a bitmap for as long as the file plays.
    [[nodiscard]] bool PatternBrush(uint64_t width, uint64_t height);
    // `characters` drawn with the font in effect from the reference point.
    [[nodiscard]] bool Text(double x, double y, uint64_t characters);
    // A region of `rects` rectangles within the box, built (and filled, if `fill`).
    [[nodiscard]] bool Region(uint64_t rects, double left, double top, double right, double bottom, bool fill);
    // Building a region of `rects` rectangles, wherever it lies.
    [[nodiscard]] bool Rects(uint64_t rects);
    // A clipping region in the coordinates of the reference device, which only `start` maps.
    [[nodiscard]] bool ClipRegion(uint64_t rects, double left, double top, double right, double bottom);

private:
    struct STATE {
        MAPPING mapping;
        AFFINE world;
        PENMODEL pen;
        FONTMODEL font;
        double x, y;
    };

    bool Charge(double cost, double touched);
    bool UpdateTransform();
    bool FixIsotropic();
    bool ToPicture(const AFFINE& through, double x, double y, double& px, double& py) const;
    bool ToPicture(double x, double y, double& px, double& py) const { return ToPicture(device, x, y, px, py); }
    double Scale() const;
    bool PenWidth(double& width, bool& region) const;
    bool Stroke(FIGURE& figure);
    bool FillFigure(FIGURE& figure);
    bool BuildRegion(uint64_t rects, double top, double bottom, double area);
    uint64_t ClippedArea(double left, double top, double right, double bottom) const;
    bool Box(const AFFINE& through, double left, double top, double right, double bottom, double& pl, double& pt,
             double& pr, double& pb) const;

    int width;
    int height;
    double reach;
    double frameArea;
    AFFINE start;
    AFFINE device;
    STATE state;
    STATE* saved;
    int depth;
    OBJECTMODEL* objects;
    uint32_t objectCount;
    FIGURE scratch;
    FIGURE path;
    bool inPath;
    bool pathExists;
    FIGURE* target;
    int horzSize, vertSize, horzRes, vertRes, dpiY;
    uint64_t records;
    uint64_t work;
    uint64_t pixels;
    uint64_t held;
    uint64_t transientPeak;
    bool ready;
};
