// The state playback keeps: the mapping and world transform, the saved states, the object table
// and the pen and font in effect, changed as GDI changes them; and the budget.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "image/imagelimits.h"
#include "image/metafileplay.h"

namespace {

// A transform scaling one record unit to more than a million pixels, or to less than a
// millionth of one, has no drawing behind it; GDI's own arithmetic loses its precision there.
const double SCALE_LIMIT = 1048576.0;
// Sizes the player turns into integers whenever the transform changes (it selects the pen and
// font again): beyond this their products overflow.
const double SIZE_SANITY = 1073741824.0;
// A device context and its copy for SaveDC, rounded up.
const uint64_t SAVED_STATE_BYTES = 4096;

bool IsFinite(const AFFINE& t)
{
    return std::isfinite(t.m11) && std::isfinite(t.m12) && std::isfinite(t.m21) && std::isfinite(t.m22) &&
           std::isfinite(t.dx) && std::isfinite(t.dy);
}

// The largest and smallest factor by which the linear part stretches any direction.
void SingularValues(const AFFINE& t, double& largest, double& smallest)
{
    const double sum = t.m11 * t.m11 + t.m12 * t.m12 + t.m21 * t.m21 + t.m22 * t.m22;
    const double det = std::fabs(t.m11 * t.m22 - t.m12 * t.m21);
    const double root = std::sqrt(std::fmax(0.0, sum * sum - 4 * det * det));
    largest = std::sqrt((sum + root) / 2);
    smallest = largest > 0 ? det / largest : 0;
}

double Round(double value) { return std::floor(value + 0.5); }

bool IsInt32(double value) { return value >= -2147483648.0 && value <= 2147483647.0; }

// GDI's MulDiv: rounded half away from zero, -1 on overflow or a zero divisor.
int64_t MulDiv64(int64_t a, int64_t b, int64_t c)
{
    if (c == 0)
        return -1;
    if (c < 0) {
        a = -a;
        c = -c;
    }
    const double product = static_cast<double>(a) * static_cast<double>(b);
    const int64_t result = static_cast<int64_t>(product >= 0 ? (product + c / 2) / c : (product - c / 2) / c);
    return IsInt32(static_cast<double>(result)) ? result : -1;
}

bool ScaleExtent(int64_t& extent, int64_t num, int64_t denom, bool rounded)
{
    const double product = static_cast<double>(extent) * static_cast<double>(num);
    if (!IsInt32(product))
        return false;
    extent = rounded ? MulDiv64(extent, num, denom) : static_cast<int64_t>(product) / denom;
    if (extent == 0)
        extent = 1;
    return true;
}

// Pens and fonts of more than 16 million record units are no drawing; GDI takes absolute values
// of their sizes, which overflow at the ends of the integers.
bool IsSizeSane(const OBJECTMODEL& object)
{
    const int64_t LIMIT = 1 << 24;
    const int64_t size = object.kind == OBJECT_PEN ? object.pen.width
                         : object.kind == OBJECT_FONT
                             ? std::max(std::llabs(object.font.height), std::llabs(object.font.width))
                             : 0;
    return size <= LIMIT && size >= -LIMIT;
}

}  // namespace

METAFILEPLAY::METAFILEPLAY(int width_, int height_, const AFFINE& start_, const MAPPING& mapping, uint32_t objects_)
    : width(width_),
      height(height_),
      reach(4.0 * (width_ > height_ ? width_ : height_)),
      frameArea(static_cast<double>(width_) * height_),
      start(start_),
      device(start_),
      state(),
      saved(nullptr),
      depth(0),
      objects(nullptr),
      objectCount(objects_),
      inPath(false),
      pathExists(false),
      target(&scratch),
      horzSize(0),
      vertSize(0),
      horzRes(0),
      vertRes(0),
      dpiY(96),
      records(0),
      work(0),
      pixels(0),
      held(0),
      transientPeak(0),
      ready(false)
{
    if (HDC dc = CreateCompatibleDC(nullptr)) {
        horzSize = GetDeviceCaps(dc, HORZSIZE);
        vertSize = GetDeviceCaps(dc, VERTSIZE);
        horzRes = GetDeviceCaps(dc, HORZRES);
        vertRes = GetDeviceCaps(dc, VERTRES);
        dpiY = GetDeviceCaps(dc, LOGPIXELSY);
        DeleteDC(dc);
    }
    state.mapping = mapping;
    state.world = {1, 0, 0, 1, 0, 0};
    state.pen = {0, true, false, false, false};
    state.font = {METAFILE_DEFAULT_FONT_HEIGHT * (dpiY > 96 ? dpiY : 96) / 96, 0};
    saved = new (std::nothrow) STATE[METAFILE_SAVE_LIMIT];
    objects = new (std::nothrow) OBJECTMODEL[objectCount ? objectCount : 1]();
    const int64_t margin = static_cast<int64_t>(reach) + 2;
    const double span = static_cast<double>(width) + height;
    ready = horzSize > 0 && vertSize > 0 && horzRes > 0 && vertRes > 0 && saved && objects &&
            scratch.Allocate(-margin, height + 2 * margin, span) && path.Allocate(-margin, height + 2 * margin, span) &&
            UpdateTransform();
    // The picture's own bitmap, 24 bits a pixel, and the player's object table.
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    ready = ready && Hold(stride * static_cast<uint64_t>(height) + 8ull * objectCount);
}

METAFILEPLAY::~METAFILEPLAY()
{
    delete[] saved;
    delete[] objects;
}

bool METAFILEPLAY::IsReady() const { return ready; }

bool METAFILEPLAY::Charge(double cost, double touched)
{
    const double pixelLimit = frameArea * METAFILE_RASTER_FRAMES + METAFILE_RASTER_ALLOWANCE;
    if (!(cost >= 0) || !(touched >= 0) || cost > METAFILE_WORK_LIMIT || touched > pixelLimit)
        return false;
    work += static_cast<uint64_t>(cost);
    pixels += static_cast<uint64_t>(touched);
    return work <= METAFILE_WORK_LIMIT && static_cast<double>(pixels) <= pixelLimit;
}

bool METAFILEPLAY::Record() { return ++records <= METAFILE_RECORD_LIMIT && Charge(COST_RECORD, 0); }

bool METAFILEPLAY::Hold(uint64_t bytes)
{
    if (bytes > IMAGE_BYTES_LIMIT)
        return false;
    held += bytes;
    return held + transientPeak <= IMAGE_BYTES_LIMIT;
}

bool METAFILEPLAY::Transient(uint64_t bytes)
{
    if (bytes > IMAGE_BYTES_LIMIT)
        return false;
    transientPeak = bytes > transientPeak ? bytes : transientPeak;
    return held + transientPeak <= IMAGE_BYTES_LIMIT;
}

// The record-to-picture transform: the world transform, then window to viewport, then what the
// playback put in front. The player selects the pen and font again whenever it changes.
bool METAFILEPLAY::UpdateTransform()
{
    const MAPPING& m = state.mapping;
    if (m.windowExtX == 0 || m.windowExtY == 0 || m.viewportExtX == 0 || m.viewportExtY == 0)
        return false;
    const double scaleX = static_cast<double>(m.viewportExtX) / static_cast<double>(m.windowExtX);
    const double scaleY = static_cast<double>(m.viewportExtY) / static_cast<double>(m.windowExtY);
    const AFFINE window = {
        scaleX, 0, 0, scaleY, m.viewportOrgX - scaleX * m.windowOrgX, m.viewportOrgY - scaleY * m.windowOrgY};
    device = Combine(Combine(state.world, window), start);
    double largest = 0, smallest = 0;
    SingularValues(device, largest, smallest);
    if (!IsFinite(device) || !(largest <= SCALE_LIMIT) || !(smallest >= 1 / SCALE_LIMIT))
        return false;
    const double font =
        std::fmax(std::fabs(static_cast<double>(state.font.height)), std::fabs(static_cast<double>(state.font.width)));
    return static_cast<double>(state.pen.width) * largest < SIZE_SANITY && font * largest < SIZE_SANITY;
}

double METAFILEPLAY::Scale() const
{
    double largest = 0, smallest = 0;
    SingularValues(device, largest, smallest);
    return largest;
}

// The viewport extent shrunk on one axis so that a unit is as long on both, as GDI does it.
bool METAFILEPLAY::FixIsotropic()
{
    MAPPING& m = state.mapping;
    const double xdim =
        std::fabs(static_cast<double>(m.viewportExtX) * horzSize / (horzRes * static_cast<double>(m.windowExtX)));
    const double ydim =
        std::fabs(static_cast<double>(m.viewportExtY) * vertSize / (vertRes * static_cast<double>(m.windowExtY)));
    if (!(xdim > 0) || !(ydim > 0))
        return false;
    if (xdim > ydim) {
        const int64_t sign = m.viewportExtX >= 0 ? 1 : -1;
        m.viewportExtX = static_cast<int64_t>(Round(m.viewportExtX * ydim / xdim));
        if (m.viewportExtX == 0)
            m.viewportExtX = sign;
    } else {
        const int64_t sign = m.viewportExtY >= 0 ? 1 : -1;
        m.viewportExtY = static_cast<int64_t>(Round(m.viewportExtY * xdim / ydim));
        if (m.viewportExtY == 0)
            m.viewportExtY = sign;
    }
    return true;
}

bool METAFILEPLAY::SetMapMode(int mode)
{
    MAPPING& m = state.mapping;
    if (mode == m.mode && (mode == MM_ISOTROPIC || mode == MM_ANISOTROPIC))
        return true;
    // The fixed modes count logical units per millimetre of the device (a fraction for the inch
    // based ones) and map its size in millimetres onto its pixels, y growing upwards.
    int64_t unitsPerMm = 0;
    int64_t mmDivisor = 1;
    switch (mode) {
    case MM_TEXT:
        m.windowExtX = m.windowExtY = m.viewportExtX = m.viewportExtY = 1;
        break;
    case MM_LOMETRIC:
    case MM_ISOTROPIC: unitsPerMm = 10; break;
    case MM_HIMETRIC: unitsPerMm = 100; break;
    case MM_LOENGLISH: unitsPerMm = 1000; mmDivisor = 254; break;
    case MM_HIENGLISH: unitsPerMm = 10000; mmDivisor = 254; break;
    case MM_TWIPS: unitsPerMm = 14400; mmDivisor = 254; break;
    case MM_ANISOTROPIC:
        break;
    default:
        // A device context refuses the mode, enhanced-metafile playback takes it and ignores the
        // extents from then on: either way no drawing of ours.
        return false;
    }
    if (unitsPerMm) {
        m.windowExtX = MulDiv64(unitsPerMm, horzSize, mmDivisor);
        m.windowExtY = MulDiv64(unitsPerMm, vertSize, mmDivisor);
        m.viewportExtX = horzRes;
        m.viewportExtY = -static_cast<int64_t>(vertRes);
    }
    m.mode = mode;
    return UpdateTransform();
}

bool METAFILEPLAY::SetWindowOrg(int64_t x, int64_t y)
{
    state.mapping.windowOrgX = x;
    state.mapping.windowOrgY = y;
    return UpdateTransform();
}

bool METAFILEPLAY::SetViewportOrg(int64_t x, int64_t y)
{
    state.mapping.viewportOrgX = x;
    state.mapping.viewportOrgY = y;
    return UpdateTransform();
}

bool METAFILEPLAY::OffsetWindowOrg(int64_t x, int64_t y)
{
    return SetWindowOrg(state.mapping.windowOrgX + x, state.mapping.windowOrgY + y) &&
           IsInt32(static_cast<double>(state.mapping.windowOrgX)) &&
           IsInt32(static_cast<double>(state.mapping.windowOrgY));
}

bool METAFILEPLAY::OffsetViewportOrg(int64_t x, int64_t y)
{
    return SetViewportOrg(state.mapping.viewportOrgX + x, state.mapping.viewportOrgY + y) &&
           IsInt32(static_cast<double>(state.mapping.viewportOrgX)) &&
           IsInt32(static_cast<double>(state.mapping.viewportOrgY));
}

// Extents count only in the two modes that let them be set. A zero extent is refused here,
// though a device context would ignore it: enhanced-metafile playback divides by it.
bool METAFILEPLAY::SetWindowExt(int64_t x, int64_t y)
{
    if (x == 0 || y == 0)
        return false;
    MAPPING& m = state.mapping;
    if (m.mode != MM_ISOTROPIC && m.mode != MM_ANISOTROPIC)
        return true;
    m.windowExtX = x;
    m.windowExtY = y;
    return (m.mode != MM_ISOTROPIC || FixIsotropic()) && UpdateTransform();
}

bool METAFILEPLAY::SetViewportExt(int64_t x, int64_t y)
{
    if (x == 0 || y == 0)
        return false;
    MAPPING& m = state.mapping;
    if (m.mode != MM_ISOTROPIC && m.mode != MM_ANISOTROPIC)
        return true;
    m.viewportExtX = x;
    m.viewportExtY = y;
    return (m.mode != MM_ISOTROPIC || FixIsotropic()) && UpdateTransform();
}

bool METAFILEPLAY::ScaleWindowExt(int64_t xNum, int64_t xDenom, int64_t yNum, int64_t yDenom, bool rounded)
{
    MAPPING& m = state.mapping;
    if ((m.mode != MM_ISOTROPIC && m.mode != MM_ANISOTROPIC) || !xNum || !xDenom || !yNum || !yDenom)
        return true;
    return ScaleExtent(m.windowExtX, xNum, xDenom, rounded) && ScaleExtent(m.windowExtY, yNum, yDenom, rounded) &&
           (m.mode != MM_ISOTROPIC || FixIsotropic()) && UpdateTransform();
}

bool METAFILEPLAY::ScaleViewportExt(int64_t xNum, int64_t xDenom, int64_t yNum, int64_t yDenom, bool rounded)
{
    MAPPING& m = state.mapping;
    if ((m.mode != MM_ISOTROPIC && m.mode != MM_ANISOTROPIC) || !xNum || !xDenom || !yNum || !yDenom)
        return true;
    return ScaleExtent(m.viewportExtX, xNum, xDenom, rounded) && ScaleExtent(m.viewportExtY, yNum, yDenom, rounded) &&
           (m.mode != MM_ISOTROPIC || FixIsotropic()) && UpdateTransform();
}

bool METAFILEPLAY::SetWorld(const AFFINE& world)
{
    state.world = world;
    return UpdateTransform();
}

bool METAFILEPLAY::ModifyWorld(const AFFINE& change, DWORD mode)
{
    switch (mode) {
    case MWT_IDENTITY:
        state.world = {1, 0, 0, 1, 0, 0};
        break;
    case MWT_LEFTMULTIPLY:
        state.world = Combine(change, state.world);
        break;
    case MWT_RIGHTMULTIPLY:
        state.world = Combine(state.world, change);
        break;
    default:
        return true;
    }
    return UpdateTransform();
}

// A saved state holds the path too; a file that saves one in the middle of building it is no
// drawing of ours.
bool METAFILEPLAY::SaveState()
{
    if (pathExists || depth >= METAFILE_SAVE_LIMIT || !Hold(SAVED_STATE_BYTES))
        return false;
    saved[depth++] = state;
    return true;
}

bool METAFILEPLAY::RestoreState(int64_t level)
{
    if (level == 0 || level > depth || -level > depth)
        return true;
    if (level < 0)
        level = depth + level + 1;
    state = saved[level - 1];
    depth = static_cast<int>(level - 1);
    inPath = pathExists = false;
    path.Clear();
    return UpdateTransform();
}

bool METAFILEPLAY::PutObject(uint32_t slot, const OBJECTMODEL& object)
{
    if (slot >= objectCount || !IsSizeSane(object))
        return false;
    objects[slot] = object;
    return true;
}

bool METAFILEPLAY::AddObject(const OBJECTMODEL& object)
{
    if (!IsSizeSane(object))
        return false;
    for (uint32_t slot = 0; slot < objectCount; ++slot) {
        if (objects[slot].kind == OBJECT_EMPTY) {
            objects[slot] = object;
            return true;
        }
    }
    // The player would make the object and lose it: the header said fewer are ever alive.
    return false;
}

const OBJECTMODEL* METAFILEPLAY::Object(uint32_t slot) const { return slot < objectCount ? &objects[slot] : nullptr; }

bool METAFILEPLAY::DeleteObject(uint32_t slot)
{
    if (slot >= objectCount)
        return false;
    objects[slot].kind = OBJECT_EMPTY;
    return true;
}

// A deleted pen or font stays in effect while it is selected: the state keeps its own copy.
bool METAFILEPLAY::SelectPen(const PENMODEL& pen)
{
    state.pen = pen;
    return UpdateTransform();
}

bool METAFILEPLAY::SelectFont(const FONTMODEL& font)
{
    state.font = font;
    return UpdateTransform();
}

bool METAFILEPLAY::SelectObjectAt(uint32_t slot)
{
    const OBJECTMODEL* object = Object(slot);
    if (!object)
        return false;
    if (object->kind == OBJECT_PEN)
        return SelectPen(object->pen);
    if (object->kind == OBJECT_FONT)
        return SelectFont(object->font);
    return true;
}

bool METAFILEPLAY::SelectStockObject(uint32_t index)
{
    const int64_t stockHeight = METAFILE_DEFAULT_FONT_HEIGHT * (dpiY > 96 ? dpiY : 96) / 96;
    switch (index) {
    case WHITE_PEN:
    case BLACK_PEN:
    case DC_PEN:
        return SelectPen({0, true, false, false, false});
    case NULL_PEN:
        return SelectPen({0, false, false, false, false});
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case ANSI_VAR_FONT:
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
    case SYSTEM_FIXED_FONT:
    case DEFAULT_GUI_FONT:
        return SelectFont({stockHeight, 0});
    default:
        return index <= DC_PEN;
    }
}
