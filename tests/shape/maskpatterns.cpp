#include "maskpatterns.h"
#include "shape/maskruns.h"

MASKIMAGE SolidMask(int width, int height, DWORD colour)
{
    return MASKIMAGE{width, height, std::vector<DWORD>(static_cast<size_t>(width) * height, colour)};
}

MASKIMAGE CheckerMask(int width, int height, int cell)
{
    MASKIMAGE mask = SolidMask(width, height, 0xFFFFFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((x / cell + y / cell) % 2 == 0)
                mask.pixels[static_cast<size_t>(y) * width + x] = 0;
    return mask;
}

MASKIMAGE PhotographicMask(int width, int height, unsigned seed)
{
    MASKIMAGE mask = SolidMask(width, height, 0);
    unsigned state = seed;
    for (DWORD& pixel : mask.pixels) {
        state = state * 1103515245u + 12345u;
        unsigned level = (state >> 16) & 0xFF;
        if ((state >> 8) % 5 == 0)
            level = 0;
        pixel = level * 0x010101u;
    }
    return mask;
}

MASKIMAGE RoundedMask(int width, int height)
{
    MASKIMAGE mask = SolidMask(width, height, 0xFFFFFF);
    const int radius = (width < height ? width : height) / 4;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int dx = x < radius ? radius - x : (x >= width - radius ? x - (width - radius - 1) : 0);
            int dy = y < radius ? radius - y : (y >= height - radius ? y - (height - radius - 1) : 0);
            bool corner = dx * dx + dy * dy > radius * radius;
            bool hole = x >= width / 2 - 2 && x < width / 2 + 2 && y >= height / 2 - 3 && y < height / 2 + 3;
            if (corner || hole)
                mask.pixels[static_cast<size_t>(y) * width + x] = 0;
        }
    }
    return mask;
}

MASKIMAGE BusiestMask(int width, int height)
{
    MASKIMAGE mask = SolidMask(width, height, 0xFFFFFF);
    for (int y = 0; y < height; ++y)
        for (int cut = 1; cut < static_cast<int>(MASK_RECTS_PER_ROW); ++cut)
            mask.pixels[static_cast<size_t>(y) * width + cut * 3 + (y & 1)] = 0;
    return mask;
}
