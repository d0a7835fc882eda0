#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

// The built program, whose templates the benchmarks read: $VARNOK_EXE, or VARNOK.exe in the folder
// above the benchmark's own.
inline std::string ProgramPath()
{
    const char* given = getenv("VARNOK_EXE");
    if (given && *given)
        return given;
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    path = path.substr(0, path.find_last_of("\\/"));
    path = path.substr(0, path.find_last_of("\\/"));
    return path + "\\VARNOK.exe";
}
