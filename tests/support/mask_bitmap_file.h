#pragma once

// Writes mask images as Windows bitmap files, for the shape tests and the benchmark.

#include <windows.h>

#include <cstdio>
#include <vector>

// `pixels` are 0x00RRGGBB, top row first, `width` per row. At 24 bits per pixel the colours are
// kept; at 1 bit per pixel (black and white palette) every pixel that is not black turns white.
inline bool WriteMaskBitmap(const char* path, const DWORD* pixels, int width, int height, int bitsPerPixel = 24)
{
    const bool mono = bitsPerPixel == 1;
    const size_t rowBits = static_cast<size_t>(width) * (mono ? 1 : 24);
    const size_t stride = ((rowBits + 31) / 32) * 4;
    const size_t imageBytes = stride * static_cast<size_t>(height);
    const RGBQUAD palette[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    const size_t paletteBytes = mono ? sizeof palette : 0;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof info + paletteBytes);
    file.bfSize = static_cast<DWORD>(file.bfOffBits + imageBytes);
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = static_cast<WORD>(mono ? 1 : 24);
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(imageBytes);
    info.biClrUsed = mono ? 2 : 0;

    std::vector<BYTE> image(imageBytes, 0);
    for (int y = 0; y < height; ++y) {
        // Bitmap files store the bottom row first.
        BYTE* row = image.data() + stride * static_cast<size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            DWORD pixel = pixels[static_cast<size_t>(y) * width + x];
            if (mono) {
                if (pixel & 0x00FFFFFF)
                    row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
                continue;
            }
            row[x * 3] = static_cast<BYTE>(pixel);
            row[x * 3 + 1] = static_cast<BYTE>(pixel >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(pixel >> 16);
        }
    }
    FILE* out = fopen(path, "wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                   (!mono || fwrite(palette, sizeof palette, 1, out) == 1) &&
                   fwrite(image.data(), 1, image.size(), out) == image.size();
    return fclose(out) == 0 && written;
}
