// What checking an image's headers adds to loading it: CheckImageFile against the whole
// WINIMG::Load (which includes the check) for skin-sized bitmap, PNG and GIF files, and against
// what the loader did before it had the check: open the file and read its first four bytes. The
// check reads a bitmap's or PNG's first window of 16 KB once; a GIF's sub-blocks are walked to
// the end of the file, a window at a time.
#include <windows.h>
#include <ole2.h>
#include <png.h>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/benchclock.h"
#include "image/imagecheck.h"
#include "image/winimg.h"

namespace {

const int WIDTH = 640;
const int HEIGHT = 480;
const int ROUNDS = 200;

unsigned char Shade(int x, int y, int channel)
{
    return static_cast<unsigned char>((x * (channel + 1) + y * 3 + ((x ^ y) & 15)) & 0xFF);
}

void Put(std::string& out, unsigned value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

bool Write(const char* path, const std::string& bytes)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

std::string Bitmap()
{
    const int stride = (WIDTH * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * HEIGHT;
    info.biSize = sizeof info;
    info.biWidth = WIDTH;
    info.biHeight = HEIGHT;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::string out(reinterpret_cast<const char*>(&file), sizeof file);
    out.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (int y = 0; y < HEIGHT; ++y) {
        std::string row(static_cast<size_t>(stride), '\0');
        for (int x = 0; x < WIDTH * 3; ++x)
            row[static_cast<size_t>(x)] = static_cast<char>(Shade(x / 3, y, x % 3));
        out += row;
    }
    return out;
}

// 8-bit codes that never grow: a clear code before every 254 pixels keeps the table small.
std::string Gif()
{
    std::string out = "GIF89a";
    Put(out, WIDTH, 2);
    Put(out, HEIGHT, 2);
    out += "\xF7";
    out += std::string(2, '\0');
    for (int i = 0; i < 256; ++i)
        out += std::string({static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 7)});
    out += ",";
    Put(out, 0, 4);
    Put(out, WIDTH, 2);
    Put(out, HEIGHT, 2);
    out += '\0';
    out += '\x07';  // 7-bit minimum: codes of 8 bits, clear 128
    std::vector<unsigned char> codes;
    for (int i = 0; i < WIDTH * HEIGHT; ++i) {
        if (i % 120 == 0)
            codes.push_back(128);
        codes.push_back(static_cast<unsigned char>(Shade(i % WIDTH, i / WIDTH, 0) & 0x7F));
    }
    codes.push_back(129);
    for (size_t at = 0; at < codes.size(); at += 255) {
        const size_t length = codes.size() - at < 255 ? codes.size() - at : 255;
        out += static_cast<char>(length);
        out.append(reinterpret_cast<const char*>(&codes[at]), length);
    }
    return out + std::string(1, '\0') + ";";
}

// libpng leaves this by longjmp on an error: no object with a destructor lives here.
bool Encode(png_structp png, png_infop info, FILE* file, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, WIDTH, HEIGHT, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

bool WritePng(const char* path)
{
    FILE* file = fopen(path, "wb");
    if (!file)
        return false;
    std::vector<unsigned char> pixels(static_cast<size_t>(WIDTH) * HEIGHT * 3);
    std::vector<png_bytep> rows(HEIGHT);
    for (int y = 0; y < HEIGHT; ++y) {
        rows[static_cast<size_t>(y)] = &pixels[static_cast<size_t>(y) * WIDTH * 3];
        for (int x = 0; x < WIDTH * 3; ++x)
            rows[static_cast<size_t>(y)][x] = Shade(x / 3, y, x % 3);
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && Encode(png, info, file, rows.data());
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0 && written;
}

// The probe of the file's kind that the check replaced.
bool ReadSignature(const char* path)
{
    HANDLE file =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    unsigned char head[4];
    DWORD got = 0;
    const BOOL read = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    return read && got == sizeof head;
}

void Measure(const char* name, const char* path)
{
    WINIMG image;
    if (CheckImageFile(path) == IMAGE_REFUSED || !image.Load(path)) {
        printf("%-4s: the file was refused or did not load\n", name);
        return;
    }
    double start = Seconds();
    for (int i = 0; i < ROUNDS; ++i)
        if (CheckImageFile(path) == IMAGE_REFUSED)
            return;
    const double check = (Seconds() - start) / ROUNDS;
    start = Seconds();
    for (int i = 0; i < ROUNDS; ++i)
        if (!ReadSignature(path))
            return;
    const double probe = (Seconds() - start) / ROUNDS;
    start = Seconds();
    for (int i = 0; i < ROUNDS / 10; ++i)
        image.Load(path);
    const double load = (Seconds() - start) / (ROUNDS / 10);
    printf("%-4s %dx%d: header check %.1f us (the signature probe before it %.1f us), whole load %.1f us (check "
           "%.2f%%)\n",
           name, WIDTH, HEIGHT, check * 1e6, probe * 1e6, load * 1e6, 100.0 * check / load);
}

}  // namespace

int main()
{
    OleInitialize(nullptr);
    char folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    const std::string base = std::string(folder) + "varnok_bench_image_check";
    const std::string bmp = base + ".bmp";
    const std::string gif = base + ".gif";
    const std::string png = base + ".png";
    if (!Write(bmp.c_str(), Bitmap()) || !Write(gif.c_str(), Gif()) || !WritePng(png.c_str())) {
        printf("could not write the test files\n");
        return 1;
    }
    Measure("BMP", bmp.c_str());
    Measure("PNG", png.c_str());
    Measure("GIF", gif.c_str());
    DeleteFileA(bmp.c_str());
    DeleteFileA(gif.c_str());
    DeleteFileA(png.c_str());
    OleUninitialize();
    return 0;
}
