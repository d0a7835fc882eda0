#include "shape/regioncache.h"

#include <cstdio>
#include <cstring>

#include "base/scopeguards.h"
#include "base/textpolicy.h"
#include "shape/rectregion.h"

namespace {

bool InCoordRange(LONG value) { return value >= REGION_CACHE_MIN_COORD && value <= REGION_CACHE_MAX_COORD; }

bool IsSoundRect(const RECT& rect)
{
    return rect.left < rect.right && rect.top < rect.bottom && InCoordRange(rect.left) &&
           InCoordRange(rect.top) && InCoordRange(rect.right) && InCoordRange(rect.bottom);
}

bool Inside(const RECT& rect, const RECT& bound)
{
    return rect.left >= bound.left && rect.top >= bound.top && rect.right <= bound.right &&
           rect.bottom <= bound.bottom;
}

// Either the next run of the same band, or the first run of a band wholly below.
bool FollowsInBandOrder(const RECT& previous, const RECT& rect)
{
    if (rect.top == previous.top && rect.bottom == previous.bottom)
        return rect.left >= previous.right;
    return rect.top >= previous.bottom;
}

bool WriteWhole(HANDLE file, const BYTE* data, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, size, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool ReadWhole(HANDLE file, BYTE* data, DWORD size)
{
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(file, data, size, &read, nullptr) || read == 0)
            return false;
        data += read;
        size -= read;
    }
    return true;
}

}  // namespace

bool MakeRegionCachePath(char (&out)[PATH_CAPACITY], const char* maskPath)
{
    out[0] = '\0';
    if (!maskPath || !maskPath[0])
        return false;
    int length = snprintf(out, sizeof out, "%s.RGN", maskPath);
    if (length < 0 || static_cast<size_t>(length) >= sizeof out) {
        out[0] = '\0';
        return false;
    }
    return true;
}

REGIONDATA::REGIONDATA(HRGN region) : bytes_(nullptr), size_(0)
{
    const DWORD size = region ? GetRegionData(region, 0, nullptr) : 0;
    if (size == 0)
        return;
    bytes_ = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, size));
    // A buffer the system did not fill must not reach the file.
    if (bytes_ && GetRegionData(region, size, reinterpret_cast<RGNDATA*>(bytes_)) != 0)
        size_ = size;
}

REGIONDATA::~REGIONDATA()
{
    if (bytes_)
        HeapFree(GetProcessHeap(), 0, bytes_);
}

bool REGIONDATA::Save(const char* cachePath) const
{
    if (size_ == 0 || !cachePath || !cachePath[0])
        return false;
    HANDLE file = CreateFileA(cachePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CLOSEHANDLEGUARD closeFile(file);
    return WriteWhole(file, bytes_, size_);
}

bool SaveRegion(HRGN region, const char* cachePath) { return REGIONDATA(region).Save(cachePath); }

bool IsRegionCacheData(const void* data, size_t size)
{
    if (!data || size < sizeof(RGNDATAHEADER) || size > REGION_CACHE_MAX_BYTES)
        return false;
    RGNDATAHEADER header;
    memcpy(&header, data, sizeof header);
    size_t listSize = size - sizeof(RGNDATAHEADER);
    if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES || header.nCount == 0 ||
        listSize % sizeof(RECT) != 0 || listSize / sizeof(RECT) != header.nCount)
        return false;
    if (header.nRgnSize != 0 && header.nRgnSize != listSize)
        return false;
    const RECT& bound = header.rcBound;
    if (!IsSoundRect(bound))
        return false;
    const BYTE* list = static_cast<const BYTE*>(data) + sizeof(RGNDATAHEADER);
    RECT previous = {};
    for (DWORD i = 0; i < header.nCount; ++i) {
        RECT rect;
        memcpy(&rect, list + static_cast<size_t>(i) * sizeof(RECT), sizeof rect);
        if (!IsSoundRect(rect) || !Inside(rect, bound))
            return false;
        if (i > 0 && !FollowsInBandOrder(previous, rect))
            return false;
        previous = rect;
    }
    return true;
}

bool FitsPanel(const RGNDATAHEADER& header, const RECT& clientRect)
{
    const int width = clientRect.right - clientRect.left;
    const int height = clientRect.bottom - clientRect.top;
    const RECT maskBound = {0, 0, width + 1, height + 1};
    return width > 0 && height > 0 && header.nCount <= MaskRegionRectLimit(height) &&
           EqualRect(&header.rcBound, &maskBound);
}

HRGN LoadRegionCache(const char* cachePath, const RECT& clientRect)
{
    if (!cachePath || !cachePath[0])
        return nullptr;
    HANDLE file = CreateFileA(cachePath, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    CLOSEHANDLEGUARD closeFile(file);
    LARGE_INTEGER fileSize;
    if (!GetFileSizeEx(file, &fileSize) || fileSize.QuadPart < static_cast<LONGLONG>(sizeof(RGNDATAHEADER)) ||
        fileSize.QuadPart > static_cast<LONGLONG>(REGION_CACHE_MAX_BYTES))
        return nullptr;
    DWORD size = static_cast<DWORD>(fileSize.QuadPart);
    BYTE* data = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, size));
    if (!data)
        return nullptr;
    HEAPFREEGUARD freeData(data);
    if (!ReadWhole(file, data, size) || !IsRegionCacheData(data, size) ||
        !FitsPanel(*reinterpret_cast<const RGNDATAHEADER*>(data), clientRect))
        return nullptr;
    // Checked above: the rectangles follow the 32-byte header, in a block aligned by the heap.
    const RECT* rects = reinterpret_cast<const RECT*>(data + sizeof(RGNDATAHEADER));
    return RegionFromRects(rects, reinterpret_cast<const RGNDATAHEADER*>(data)->nCount);
}
