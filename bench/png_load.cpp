// Time to load a 1024 x 768 PNG skin through WINIMG::Load, averaged over several loads.
#include <windows.h>
#include <png.h>
#include <cmath>
#include <cstdio>
#include <vector>

#include "image/winimg.h"

namespace {

const int WIDTH = 1024;
const int HEIGHT = 768;
const int LOADS = 20;

// A skin-like picture: smooth gradients with some texture, so it compresses like a real one.
unsigned char Sample(int x, int y, int channel)
{
    double wave = 24.0 * std::sin((x + 3 * channel) * 0.05) * std::cos(y * 0.03);
    int value = (x * (channel + 1) / 5 + y / 4 + static_cast<int>(wave) + ((x ^ y) & 7)) & 0xFF;
    return static_cast<unsigned char>(value);
}

// libpng leaves this by longjmp on an error: no object with a destructor lives here.
bool Encode(png_structp png, png_infop info, FILE* file, png_bytepp rows, int colorType, int interlace, bool gamma)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, WIDTH, HEIGHT, 8, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (gamma)
        png_set_gAMA(png, info, 1.0);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

bool WritePng(const char* path, int colorType, int interlace, bool gamma)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    int channels = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : 3;
    std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * channels);
    std::vector<png_bytep> rows(HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) {
        rows[static_cast<size_t>(y)] = &pixels[static_cast<size_t>(y) * WIDTH * channels];
        for (int x = 0; x < WIDTH; ++x)
            for (int c = 0; c < channels; ++c)
                rows[static_cast<size_t>(y)][x * channels + c] = c == 3 ? static_cast<unsigned char>(255 - x / 4)
                                                                        : Sample(x, y, c);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = info && Encode(png, info, file, rows.data(), colorType, interlace, gamma);
    png_destroy_write_struct(&png, &info);
    fclose(file);
    return written;
}

void Measure(const char* name, const char* path)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    WINIMG image;
    if (!image.Load(path)) {
        printf("%-34s load failed\n", name);
        return;
    }
    double best = 1e30, total = 0;
    for (int i = 0; i < LOADS; ++i) {
        QueryPerformanceCounter(&start);
        int loaded = image.Load(path);
        QueryPerformanceCounter(&end);
        if (!loaded) {
            printf("%-34s load failed\n", name);
            return;
        }
        double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
        total += ms;
        if (ms < best)
            best = ms;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    CloseHandle(file);
    printf("%-34s %7.2f ms average  %7.2f ms best  (%d loads, %lld KB file, %ld-bit DIB)\n", name, total / LOADS,
           best, LOADS, static_cast<long long>(size.QuadPart / 1024), static_cast<long>(image.bm.bmBitsPixel));
}

}  // namespace

int main()
{
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    struct CASE {
        const char* name;
        const char* file;
        int colorType;
        int interlace;
        bool gamma;
    } cases[] = {
        {"RGB 8-bit, no gAMA", "varnok-bench-rgb.png", PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, false},
        {"RGB 8-bit, gAMA 1.0 (corrected)", "varnok-bench-gamma.png", PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, true},
        {"RGBA 8-bit, no gAMA", "varnok-bench-rgba.png", PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, false},
        {"RGB 8-bit, interlaced", "varnok-bench-adam7.png", PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7, false},
    };
    printf("WINIMG::Load of a %d x %d PNG (libpng %s)\n", WIDTH, HEIGHT, png_get_libpng_ver(nullptr));
    for (const CASE& item : cases) {
        char path[MAX_PATH + 64];
        snprintf(path, sizeof path, "%s%lu-%s", folder, GetCurrentProcessId(), item.file);
        if (!WritePng(path, item.colorType, item.interlace, item.gamma)) {
            printf("%-34s could not write %s\n", item.name, path);
            continue;
        }
        Measure(item.name, path);
        DeleteFileA(path);
    }
    return 0;
}
