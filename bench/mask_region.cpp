// Time to turn a mask bitmap into the panel's window region: the program's build (one block read
// of the stretched mask, runs, regions made in pieces) against the plain per-pixel method
// (GetPixel and one CombineRgn per black pixel), on masks a user would make and on the busiest one
// the panel accepts, at the panel's size at 100 % and 200 %; and the time to refuse a mask beyond
// that (shape/maskruns.h). Last, the masks made for the panel at 100 % stretched over the panel at
// 150 % and 200 %, as after a move to a monitor of another scale: each must still be accepted.

#include <windows.h>
#include <algorithm>
#include <cstring>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/benchclock.h"
#include "shape/maskregion.h"
#include "shape/maskruns.h"
#include "shape/regioncache.h"
#include "tests/support/imagefiles.h"
#include "tests/support/mask_bitmap_file.h"
#include "tests/support/reference_region.h"

namespace {

const double REFERENCE_BUDGET_SECONDS = 60.0;
const int SAMPLE_BANDS = 8;
const int SAMPLE_ROWS = 4;
const int FAST_RUNS = 7;

unsigned Next(unsigned& state)
{
    state = state * 1103515245u + 12345u;
    return state >> 8;
}

// Black discs of many sizes, overlapping, on white: the shape of a real but busy mask.
std::vector<DWORD> Blobs(int width, int height, unsigned seed)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0xFFFFFF);
    unsigned state = seed;
    int discs = width * height / 2500;
    for (int i = 0; i < discs; ++i) {
        int cx = static_cast<int>(Next(state) % width);
        int cy = static_cast<int>(Next(state) % height);
        int r = 3 + static_cast<int>(Next(state) % 28);
        for (int y = std::max(0, cy - r); y < std::min(height, cy + r + 1); ++y)
            for (int x = std::max(0, cx - r); x < std::min(width, cx + r + 1); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
                    pixels[static_cast<size_t>(y) * width + x] = 0;
    }
    return pixels;
}

// Every pixel black or a grey at random, half and half: the worst case for any region.
std::vector<DWORD> Speckle(int width, int height, unsigned seed)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    unsigned state = seed;
    for (DWORD& pixel : pixels)
        pixel = (Next(state) & 1) ? (1 + Next(state) % 255) * 0x010101u : 0;
    return pixels;
}

// Large white text on black over the whole panel: a text-shaped window, the busiest real shape.
std::vector<DWORD> Text(int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0);
    BITMAPINFO info = imagefiles::TopDown32(width, height);
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!surface || !dc || !bits) {
        if (surface)
            DeleteObject(surface);
        if (dc)
            DeleteDC(dc);
        return pixels;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, surface);
    PatBlt(dc, 0, 0, width, height, BLACKNESS);
    HFONT font = CreateFontA(height / 3, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                             "Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    RECT lines = {0, 0, width, height};
    DrawTextA(dc, "VARNOK GPU\n72\xB0""C 1950 MHz\n98% 8 GB", -1, &lines, DT_CENTER | DT_NOPREFIX);
    GdiFlush();
    memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteDC(dc);
    DeleteObject(surface);
    return pixels;
}

// Rows of 31 short black bars, each row shifted so that no two neighbouring rows merge into one
// band: 32 rectangles in every row, the most the panel accepts.
std::vector<DWORD> Busiest(int width, int height)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height, 0xFFFFFF);
    const int bars = static_cast<int>(MASK_RECTS_PER_ROW) - 1;
    const int pitch = width / (bars + 1);
    for (int y = 0; y < height; ++y)
        for (int bar = 0; bar < bars; ++bar)
            for (int x = 0; x < 2; ++x)
                pixels[static_cast<size_t>(y) * width + (bar + 1) * pitch + (y & 1) + x - 1] = 0;
    return pixels;
}

size_t RectCount(HRGN region) { return (GetRegionData(region, 0, nullptr) - sizeof(RGNDATAHEADER)) / sizeof(RECT); }

bool SameData(HRGN a, HRGN b)
{
    DWORD size = GetRegionData(a, 0, nullptr);
    if (size == 0 || size != GetRegionData(b, 0, nullptr))
        return false;
    std::vector<char> dataA(size), dataB(size);
    GetRegionData(a, size, reinterpret_cast<RGNDATA*>(dataA.data()));
    GetRegionData(b, size, reinterpret_cast<RGNDATA*>(dataB.data()));
    return dataA == dataB;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The per-pixel method's own region just before it reaches row `top`: rows above already cut
// (taken from the fast result, which is the same region), rows from `top` down still whole.
HRGN StateBeforeRow(HRGN finished, int width, int height, int top)
{
    HRGN above = CreateRectRgn(0, 0, width + 1, top);
    CombineRgn(above, above, finished, RGN_AND);
    HRGN below = CreateRectRgn(0, top, width + 1, height + 1);
    CombineRgn(above, above, below, RGN_OR);
    DeleteObject(below);
    return above;
}

struct REFERENCETIME {
    double seconds;
    int measuredRows;
    bool matches;
};

// Runs the per-pixel method row by row until it ends or spends the budget; the rest is then
// estimated from short bands spread over the remaining rows, each started from the exact region
// the method would have at that row (its cost grows with the region built so far).
REFERENCETIME TimeReference(const RECT& rect, const char* maskPath, HRGN fastRegion)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    REFERENCETIME result = {0.0, 0, false};
    double start = Seconds();
    reference::STRETCHEDMASK mask(rect, maskPath);
    if (!mask.Ready())
        return result;
    HRGN region = CreateRectRgn(0, 0, width + 1, height + 1);
    int y = 0;
    while (y < height && Seconds() - start < REFERENCE_BUDGET_SECONDS) {
        reference::SubtractBlackPixels(region, mask.Surface(), width, y, y + 1);
        ++y;
    }
    result.seconds = Seconds() - start;
    result.measuredRows = y;
    if (y == height) {
        result.matches = SameData(region, fastRegion);
        DeleteObject(region);
        return result;
    }
    DeleteObject(region);
    const int remaining = height - y;
    for (int band = 0; band < SAMPLE_BANDS; ++band) {
        int top = y + remaining * band / SAMPLE_BANDS + (remaining / SAMPLE_BANDS - SAMPLE_ROWS) / 2;
        top = std::max(y, std::min(top, height - SAMPLE_ROWS));
        HRGN state = StateBeforeRow(fastRegion, width, height, top);
        double bandStart = Seconds();
        reference::SubtractBlackPixels(state, mask.Surface(), width, top, top + SAMPLE_ROWS);
        double bandSeconds = Seconds() - bandStart;
        DeleteObject(state);
        result.seconds += bandSeconds * (static_cast<double>(remaining) / SAMPLE_BANDS) / SAMPLE_ROWS;
    }
    return result;
}

bool ReadFileWhole(const char* path, std::vector<char>& out)
{
    FILE* in = fopen(path, "rb");
    if (!in)
        return false;
    char buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, in)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    fclose(in);
    return true;
}

// A mask beyond the limit: the build counts its rectangles and refuses it before any region is made.
void MeasureRefusal(const char* name, int width, int height, const std::vector<DWORD>& pixels,
                    const std::string& folder)
{
    std::string maskPath = folder + "\\" + name + ".BMP";
    if (!WriteMaskBitmap(maskPath.c_str(), pixels.data(), width, height)) {
        printf("%-8s %4dx%-4d  cannot write the mask file\n", name, width, height);
        return;
    }
    RECT rect = {0, 0, width, height};
    std::vector<double> refusal;
    bool refused = true;
    for (int run = 0; run < FAST_RUNS; ++run) {
        double t0 = Seconds();
        HRGN region = MaskRegionFromFile(rect, maskPath.c_str());
        refusal.push_back(Seconds() - t0);
        if (region) {
            refused = false;
            DeleteObject(region);
        }
    }
    printf("%-8s %4dx%-4d  %7zu rects, limit %zu: %s in %.2f ms\n", name, width, height,
           MaskRegionRects(pixels.data(), width, height, nullptr), MaskRegionRectLimit(height),
           refused ? "refused" : "ACCEPTED", Median(refusal) * 1000.0);
    DeleteFileA(maskPath.c_str());
}

void Measure(const char* name, int width, int height, const std::vector<DWORD>& pixels, const std::string& folder)
{
    std::string maskPath = folder + "\\" + name + ".BMP";
    std::string cachePath = maskPath + ".RGN";
    if (!WriteMaskBitmap(maskPath.c_str(), pixels.data(), width, height)) {
        printf("%-8s %4dx%-4d  cannot write the mask file\n", name, width, height);
        return;
    }
    size_t black = static_cast<size_t>(std::count(pixels.begin(), pixels.end(), 0u));
    RECT rect = {0, 0, width, height};

    std::vector<double> whole, runsOnly, cacheLoad;
    HRGN fast = nullptr;
    for (int run = 0; run < FAST_RUNS; ++run) {
        double t0 = Seconds();
        HRGN region = MaskRegionFromFile(rect, maskPath.c_str());
        double t1 = Seconds();
        HRGN pure = RegionFromMaskPixels(pixels.data(), width, height);
        double t2 = Seconds();
        whole.push_back(t1 - t0);
        runsOnly.push_back(t2 - t1);
        DeleteObject(pure);
        if (fast)
            DeleteObject(region);
        else
            fast = region;
    }
    if (!fast) {
        printf("%-8s %4dx%-4d  the fast build failed\n", name, width, height);
        return;
    }
    SaveRegion(fast, cachePath.c_str());
    for (int run = 0; run < FAST_RUNS; ++run) {
        double t0 = Seconds();
        HRGN loaded = LoadRegionCache(cachePath.c_str(), rect);
        cacheLoad.push_back(Seconds() - t0);
        DeleteObject(loaded);
    }
    std::vector<char> cacheBytes;
    ReadFileWhole(cachePath.c_str(), cacheBytes);

    REFERENCETIME reference = TimeReference(rect, maskPath.c_str(), fast);
    double fastSeconds = Median(whole);
    printf("%-8s %4dx%-4d  black %5.1f%%  %7zu rects  cache %6.2f MiB\n", name, width, height,
           100.0 * static_cast<double>(black) / static_cast<double>(pixels.size()), RectCount(fast),
           static_cast<double>(cacheBytes.size()) / (1024.0 * 1024.0));
    printf("    fast build from file   %9.2f ms   (runs to region alone %7.2f ms; cache load %7.2f ms)\n",
           fastSeconds * 1000.0, Median(runsOnly) * 1000.0, Median(cacheLoad) * 1000.0);
    if (reference.measuredRows == height) {
        printf("    per-pixel reference    %9.2f ms   measured whole; regions %s\n", reference.seconds * 1000.0,
               reference.matches ? "identical" : "DIFFER");
    } else {
        printf("    per-pixel reference    %9.0f ms   ESTIMATE: rows 0-%d measured, the other %d rows\n"
               "                                         extrapolated from %d bands of %d rows\n",
               reference.seconds * 1000.0, reference.measuredRows - 1, height - reference.measuredRows,
               SAMPLE_BANDS, SAMPLE_ROWS);
    }
    printf("    speed-up               %9.0f x\n", reference.seconds / fastSeconds);
    DeleteObject(fast);
    DeleteFileA(cachePath.c_str());
    DeleteFileA(maskPath.c_str());
}

// A mask made for one panel size, built for another: the rectangles it gives there, against the
// limit there.
void MeasureStretched(const char* name, int width, int height, const std::vector<DWORD>& pixels, int toWidth,
                      int toHeight, const std::string& folder)
{
    std::string maskPath = folder + "\\" + name + ".BMP";
    if (!WriteMaskBitmap(maskPath.c_str(), pixels.data(), width, height)) {
        printf("%-8s %4dx%-4d  cannot write the mask file\n", name, width, height);
        return;
    }
    const RECT rect = {0, 0, toWidth, toHeight};
    HRGN region = MaskRegionFromFile(rect, maskPath.c_str());
    printf("%-8s %4dx%-4d on %4dx%-4d  %7zu rects, %7zu at its own size, limit %zu: %s\n", name, width, height,
           toWidth, toHeight, region ? RectCount(region) : 0, MaskRegionRects(pixels.data(), width, height, nullptr),
           MaskRegionRectLimit(toHeight), region ? "accepted" : "REFUSED");
    if (region)
        DeleteObject(region);
    DeleteFileA(maskPath.c_str());
}

}  // namespace

int main()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    char folder[MAX_PATH + 64];
    snprintf(folder, sizeof folder, "%svarnok-bench-%lu", base, GetCurrentProcessId());
    CreateDirectoryA(folder, nullptr);

    HDC screen = GetDC(nullptr);
    printf("Mask region build (screen %d bits per pixel; medians of %d runs for the fast build)\n",
           GetDeviceCaps(screen, BITSPIXEL), FAST_RUNS);
    ReleaseDC(nullptr, screen);

    // The panel at 96 dpi and at 192 dpi.
    const struct {
        int width;
        int height;
    } sizes[] = {{506, 404}, {1012, 808}};
    for (const auto& size : sizes) {
        Measure("blobs", size.width, size.height, Blobs(size.width, size.height, 17u), folder);
        Measure("text", size.width, size.height, Text(size.width, size.height), folder);
        Measure("busiest", size.width, size.height, Busiest(size.width, size.height), folder);
        MeasureRefusal("speckle", size.width, size.height, Speckle(size.width, size.height, 23u), folder);
    }
    // The panel's sizes at 144 and 192 dpi (its own layout, render/layout.h).
    const SIZE larger[] = {{759, 618}, {1012, 808}};
    for (const SIZE& to : larger) {
        const int w = sizes[0].width;
        const int h = sizes[0].height;
        MeasureStretched("blobs", w, h, Blobs(w, h, 17u), to.cx, to.cy, folder);
        MeasureStretched("text", w, h, Text(w, h), to.cx, to.cy, folder);
        MeasureStretched("busiest", w, h, Busiest(w, h), to.cx, to.cy, folder);
    }
    RemoveDirectoryA(folder);
    return 0;
}
