// Time to turn a mask bitmap into the panel's window region: the program's build (one block read
// of the stretched mask, runs, regions made in pieces) against the plain per-pixel method
// (GetPixel and one CombineRgn per black pixel), on masks with many black pixels.

#include "bench/benchclock.h"
#include "render/maskregion.h"
#include "render/maskruns.h"
#include "render/regioncache.h"

#include "tests/support/mask_bitmap_file.h"
#include "tests/support/reference_region.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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
        HRGN loaded = LoadRegionCache(cachePath.c_str());
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

    const struct {
        int width;
        int height;
    } sizes[] = {{506, 404}, {1920, 1080}};
    for (const auto& size : sizes) {
        Measure("blobs", size.width, size.height, Blobs(size.width, size.height, 17u), folder);
        Measure("speckle", size.width, size.height, Speckle(size.width, size.height, 23u), folder);
    }
    RemoveDirectoryA(folder);
    return 0;
}
