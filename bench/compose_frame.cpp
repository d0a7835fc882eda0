// Time to compose one full panel frame (256 samples, all nine traces, grid, scale, frames,
// shadows and a stretched skin) into the back buffer, averaged over many frames.
// Usage: bench_compose_frame [frame.bmp]   (the optional file receives the last frame)
// The panel's template is read from VARNOK.exe: $VARNOK_EXE, or the program beside bench/.
#include <windows.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/critsect.h"
#include "base/dpi.h"
#include "benchprogram.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "render/paneltitle.h"
#include "resources/resource.h"
#include "ui/resourcemodule.h"

namespace {

const int WARMUP_FRAMES = 20;
const int FRAMES = 1000;

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

HWND CreatePanel(HMODULE program)
{
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(IDD_PANEL), MAKEINTRESOURCEA(5));  // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const void* dialog = loaded ? LockResource(loaded) : nullptr;
    if (!dialog)
        return nullptr;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialog), nullptr,
                                      QuietDialog, 0);
}

// A bottom-up bitmap file from its header and pixel rows.
bool WriteBitmapFile(const char* path, const BITMAPINFOHEADER& info, const std::vector<unsigned char>& pixels)
{
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    FILE* out = fopen(path, "wb");
    if (!out)
        return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                   fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    return fclose(out) == 0 && written;
}

bool WriteBitmap(const char* path, HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const int stride = ((width * 3 + 3) / 4) * 4;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<unsigned char> pixels(info.biSizeImage);
    if (!GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS))
        return false;
    return WriteBitmapFile(path, info, pixels);
}

// A 1024 x 768 skin of soft gradients, as a 24-bit bitmap file.
bool WriteSkin(const char* path)
{
    const int width = 1024;
    const int height = 768;
    const int stride = width * 3;
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    std::vector<unsigned char> pixels(info.biSizeImage);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            p[0] = static_cast<unsigned char>(150 + 60 * y / height);
            p[1] = static_cast<unsigned char>(200 + 20 * std::sin(x * 0.02));
            p[2] = static_cast<unsigned char>(225 + 30 * x / width);
        }
    return WriteBitmapFile(path, info, pixels);
}

// A busy GPU over the last 256 samples.
void FillSample()
{
    SAMPLEDATA& s = Sample;
    memset(&s, 0, sizeof s);
    for (unsigned int i = 0; i < HISTORY_SIZE; ++i) {
        HISTORYENTRY& e = s.History[i];
        const double t = i / 255.0;
        e.CoreTemp = 45 + static_cast<unsigned int>(30 * t + 5 * std::sin(i * 0.2));
        e.AmbientTemp = 35 + static_cast<unsigned int>(10 * t);
        e.ClockCore = 1000.0 + 800.0 * (0.5 + 0.5 * std::sin(i * 0.05));
        e.ClockMemory = 7000.0 + 3000.0 * (i % 64 < 32 ? 1 : 0);
        e.ClockShader = 1500.0 + 500.0 * std::cos(i * 0.07);
        e.UsageCore = static_cast<unsigned int>(50 + 45 * std::sin(i * 0.11));
        e.UsageMemory = static_cast<unsigned int>(30 + 25 * std::sin(i * 0.09 + 1));
        e.UsageVideo = i % 50 < 10 ? 60 : 5;
        e.MemoryUsed = 2048 + i * 4;
        e.FanLevel = 30 + static_cast<unsigned int>(40 * t);
    }
    s.HistoryCount = HISTORY_SIZE;
    s.CoreTemp = 75;
    s.AmbientTemp = 45;
    s.MaxCoreTemp = 81;
    s.MaxAmbientTemp = 47;
    s.AveCoreTemp = 62;
    s.AveAmbientTemp = 40;
    s.ClockCore = 1755.0;
    s.ClockMemory = 10002.0;
    s.ClockShader = 1910.5;
    s.UsageCore = 93;
    s.UsageMemory = 41;
    s.UsageVideo = 5;
    s.FanSpeed = 1850;
    s.FanLevel = 62;
    s.MemoryTotal = 8388608;
    s.MemoryFree = 5242880;
    s.BoostClockCore = 1900.0;
    s.BoostClockMemory = 10002.0;
    s.BoostClockShader = 2100.0;
}

void SetTheme(const char* skinPath)
{
    static const COLORREF traces[TRACE_COUNT] = {
        RGB(220, 30, 30), RGB(230, 140, 0), RGB(30, 90, 220), RGB(0, 150, 150), RGB(120, 60, 200),
        RGB(20, 150, 40), RGB(180, 40, 160), RGB(110, 110, 110), RGB(0, 0, 0),
    };
    // The theme file does not exist: every key takes its default.
    SetThemeStartupValues();
    LoadTheme();
    for (int trace = 0; trace < TRACE_COUNT; ++trace) {
        Theme.Trace[trace].Enable = 1;
        Theme.Trace[trace].Color = traces[trace];
        Theme.Trace[trace].Width = trace == TRACE_CORE_TEMP ? 2 : 1;
    }
    Theme.Skin.Enable = 1;
    snprintf(Theme.Skin.File, sizeof Theme.Skin.File, "%s", skinPath);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    const std::string base = std::string(temp) + "varnok-compose-" + std::to_string(GetCurrentProcessId());
    snprintf(ConfigPath, sizeof ConfigPath, "%s.cfg", base.c_str());
    LoadConfig();
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s.vkt", base.c_str());
    const std::string skin = base + ".bmp";
    if (!WriteSkin(skin.c_str())) {
        fprintf(stderr, "cannot write the skin %s\n", skin.c_str());
        return 1;
    }
    SetTheme(skin.c_str());
    FillSample();
    SetPanelTitle("NVIDIA GeForce RTX 3070 PCI-E 8192MB");

    const std::string program = ProgramPath();
    HMODULE resources = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HWND window = resources ? CreatePanel(resources) : nullptr;
    if (!window) {
        fprintf(stderr, "no panel template in %s\n", program.c_str());
        DeleteFileA(skin.c_str());
        return 1;
    }
    CreateCritSect(UpdateSection, "UPDATE");
    ResourceModule = resources;
    if (!LayOutPanel(WindowDpi(window))) {
        fprintf(stderr, "the panel could not be laid out\n");
        DeleteFileA(skin.c_str());
        return 1;
    }

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool built = BuildRenderResources(window);
    QueryPerformanceCounter(&end);
    DeleteFileA(skin.c_str());
    if (!built || !PanelRes.skin.hbm) {
        fprintf(stderr, "the render resources or the skin could not be made\n");
        return 1;
    }
    printf("build render resources (1024x768 skin stretched to %dx%d): %.2f ms\n", PanelRes.clientW,
           PanelRes.clientH, Milliseconds(start, end, frequency));

    HDC dc = PanelRes.backBuffer.hdc;
    for (int frame = 0; frame < WARMUP_FRAMES; ++frame)
        ComposePanel(window, dc);
    double fastest = 1e9;
    double slowest = 0.0;
    LARGE_INTEGER all;
    QueryPerformanceCounter(&all);
    for (int frame = 0; frame < FRAMES; ++frame) {
        QueryPerformanceCounter(&start);
        ComposePanel(window, dc);
        GdiFlush();
        QueryPerformanceCounter(&end);
        const double took = Milliseconds(start, end, frequency);
        fastest = took < fastest ? took : fastest;
        slowest = took > slowest ? took : slowest;
    }
    const double average = Milliseconds(all, end, frequency) / FRAMES;
    printf("compose one frame (256 samples, 9 traces, skin, grid, scale): average %.3f ms over %d frames "
           "(fastest %.3f, slowest %.3f); target under 2 ms\n",
           average, FRAMES, fastest, slowest);

    if (argc > 1) {
        if (WriteBitmap(argv[1], dc, PanelRes.backBuffer.hbm, PanelRes.clientW, PanelRes.clientH))
            printf("last frame written to %s\n", argv[1]);
        else
            fprintf(stderr, "cannot write %s\n", argv[1]);
    }

    FreeRenderResources();
    DeleteCritSect(UpdateSection);
    DestroyWindow(window);
    FreeLibrary(resources);
    return 0;
}
