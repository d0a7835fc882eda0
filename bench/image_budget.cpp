// What one image load costs at worst, over every image of the damaged and the hostile corpus (sound
// ones among them): the time the skin loader takes to load or refuse the file, and how far the process's
// working set peaks above what it was before the load, against the budget: twice the decoded
// image the loader accepted (a decoder may hold its rows and the bitmap at once) plus a fixed
// margin for the decoders' own tables. Each file is loaded in a process of its own (this program
// run again with the file's path), because a process's peak working set never comes down.
#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/benchclock.h"
#include "image/winimg.h"
#include "tests/support/damagedimages.h"
#include "tests/support/hostileimages.h"

namespace {

const SIZE_T MARGIN_BYTES = 16u << 20;
const double TIME_BUDGET_SECONDS = 2.0;

SIZE_T WorkingSet(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && written;
}

// The child: loads the file once the decoders it may need are loaded and warm, and prints
// "<loaded> <decoded bytes> <seconds> <peak growth>".
int LoadOne(const char* path, const char* warmFolder)
{
    if (FAILED(OleInitialize(nullptr)))
        return 3;
    for (const char* warm : {"warm.png", "warm.jpg", "warm.gif", "warm.emf", "warm.bmp"}) {
        WINIMG image;
        image.Load((std::string(warmFolder) + "\\" + warm).c_str());
    }
    const SIZE_T before = WorkingSet(false);
    WINIMG image;
    const double start = Seconds();
    const int loaded = image.Load(path);
    const double seconds = Seconds() - start;
    const SIZE_T peak = WorkingSet(true);
    const unsigned long long decoded =
        loaded ? static_cast<unsigned long long>(image.bm.bmWidthBytes) * static_cast<unsigned long long>(image.bm.bmHeight)
               : 0;
    printf("%d %llu %.6f %llu\n", loaded, decoded, seconds,
           static_cast<unsigned long long>(peak > before ? peak - before : 0));
    image.Close();
    OleUninitialize();
    return 0;
}

struct LOADRESULT {
    bool ran;
    int loaded;
    unsigned long long decoded;
    double seconds;
    unsigned long long growth;
};

LOADRESULT RunChild(const std::string& path, const std::string& warmFolder)
{
    LOADRESULT result = {};
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string output = warmFolder + "\\child.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return result;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    // The decoders' warnings (libpng writes some to the error stream) stay out of the figures.
    HANDLE discard = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    startup.hStdOutput = out;
    startup.hStdError = discard;
    std::string command = "\"" + std::string(self) + "\" \"" + path + "\" \"" + warmFolder + "\"";
    PROCESS_INFORMATION process = {};
    const bool started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &process);
    CloseHandle(out);
    if (discard != INVALID_HANDLE_VALUE)
        CloseHandle(discard);
    if (!started) {
        printf("could not start: %s (error %lu)\n", command.c_str(), GetLastError());
        return result;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    FILE* in = fopen(output.c_str(), "r");
    if (in) {
        // Read as doubles: the C library's scanf of the runtime does not know every integer length.
        double loaded = 0, decoded = 0, growth = 0;
        result.ran = fscanf(in, "%lf %lf %lf %lf", &loaded, &decoded, &result.seconds, &growth) == 4;
        result.loaded = static_cast<int>(loaded);
        result.decoded = static_cast<unsigned long long>(decoded);
        result.growth = static_cast<unsigned long long>(growth);
        fclose(in);
    }
    return result;
}

// Small sound files of each kind, loaded before the measured one so that the decoders' own
// libraries are in the working set already.
bool WriteWarmFiles(const std::string& folder)
{
    bool written = true;
    for (const auto& cases : {hostileimages::RasterCases(), hostileimages::MetafileCases()}) {
        for (const hostileimages::HOSTILEIMAGE& image : cases) {
            if (image.outcome != hostileimages::LOADS)
                continue;
            const char* kind = image.bytes.compare(0, 4, "\x89PNG") == 0   ? "warm.png"
                               : image.bytes.compare(0, 2, "\xFF\xD8") == 0 ? "warm.jpg"
                               : image.bytes.compare(0, 3, "GIF") == 0      ? "warm.gif"
                               : image.bytes.compare(0, 2, "BM") == 0       ? "warm.bmp"
                                                                            : "warm.emf";
            const std::string path = folder + "\\" + kind;
            if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES && image.bytes.size() < 65536)
                written = WriteBytes(path, image.bytes) && written;
        }
    }
    return written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3)
        return LoadOne(argv[1], argv[2]);

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char folderName[MAX_PATH + 64];
    snprintf(folderName, sizeof folderName, "%svarnok-bench-images-%lu", temp, GetCurrentProcessId());
    const std::string folder = folderName;
    CreateDirectoryA(folder.c_str(), nullptr);
    if (!WriteWarmFiles(folder))
        printf("could not write the warm-up files\n");

    // Whether each file must load (1), must be refused (0) or may go either way (-1).
    struct CORPUSFILE {
        std::string name;
        std::string bytes;
        int loads;
    };
    std::vector<CORPUSFILE> corpus;
    for (const auto& cases : {hostileimages::RasterCases(), hostileimages::MetafileCases()})
        for (const hostileimages::HOSTILEIMAGE& image : cases)
            corpus.push_back({image.name, image.bytes, image.outcome == hostileimages::LOADS ? 1 : 0});
    for (const auto& cases : {damagedimages::SoundFiles(), damagedimages::LyingFiles(), damagedimages::ChangedFiles()})
        for (const damagedimages::IMAGECASE& image : cases)
            corpus.push_back({image.name, image.bytes,
                              image.outcome == damagedimages::LOADS     ? 1
                              : image.outcome == damagedimages::REFUSED ? 0
                                                                        : -1});

    printf("Damaged and hostile images: one load each in a process of its own (%zu files)\n", corpus.size());
    double worstSeconds = 0;
    std::string slowest;
    double worstShare = 0;
    std::string hungriest;
    unsigned long long hungriestGrowth = 0;
    unsigned long long hungriestDecoded = 0;
    int failures = 0;
    for (const CORPUSFILE& image : corpus) {
        const std::string path = folder + "\\case.img";
        if (!WriteBytes(path, image.bytes)) {
            printf("%s: could not write the file\n", image.name.c_str());
            ++failures;
            continue;
        }
        const LOADRESULT result = RunChild(path, folder);
        const bool expected = result.ran && (image.loads < 0 || (result.loaded == 1) == (image.loads == 1));
        const double budget = 2.0 * static_cast<double>(result.decoded) + static_cast<double>(MARGIN_BYTES);
        const double share = static_cast<double>(result.growth) / budget;
        if (!expected || share > 1.0 || result.seconds > TIME_BUDGET_SECONDS) {
            printf("%s: %s, %s, %.3f s, growth %.1f MiB for %.1f MiB decoded\n", image.name.c_str(),
                   result.ran ? "ran" : "DID NOT RUN", result.loaded ? "loaded" : "refused", result.seconds,
                   static_cast<double>(result.growth) / 1048576.0, static_cast<double>(result.decoded) / 1048576.0);
            ++failures;
        }
        if (result.seconds > worstSeconds) {
            worstSeconds = result.seconds;
            slowest = image.name;
        }
        if (share > worstShare) {
            worstShare = share;
            hungriest = image.name;
            hungriestGrowth = result.growth;
            hungriestDecoded = result.decoded;
        }
        DeleteFileA(path.c_str());
    }
    printf("worst load or refusal time   %.3f s (%s); budget %.1f s\n", worstSeconds, slowest.c_str(),
           TIME_BUDGET_SECONDS);
    printf("worst peak growth            %.1f MiB for %.1f MiB decoded (%s): %.0f%% of twice the decoded size "
           "plus %u MiB\n",
           static_cast<double>(hungriestGrowth) / 1048576.0, static_cast<double>(hungriestDecoded) / 1048576.0,
           hungriest.c_str(), worstShare * 100.0, static_cast<unsigned>(MARGIN_BYTES >> 20));
    printf("files outside their outcome or budget   %d\n", failures);

    for (const char* name : {"warm.png", "warm.jpg", "warm.gif", "warm.emf", "warm.bmp", "child.txt"})
        DeleteFileA((folder + "\\" + name).c_str());
    RemoveDirectoryA(folder.c_str());
    return failures == 0 ? 0 : 1;
}
