#pragma once

#include <cstddef>

#include "base/textpolicy.h"

// The process-wide settings record and its file. Fields are named after their file keys.
struct CONFIG {
    struct {
        int Debug;
        int Dummy;
        unsigned int Device;
        unsigned int GPU;
        unsigned int Timer;
        unsigned int Limit;
        unsigned int MemoryRate;
        int Async;
        int Taskbar;
        int Stable;
        int Usage;
        int X;
        int Y;
    } Global;
    struct {
        int Enable;
        unsigned int Value;
        int Sync;
    } Illumination;
    struct {
        int Enable;
        char File[PATH_CAPACITY];
        unsigned int Core;
        unsigned int Ambient;
    } Alert;
    struct {
        int Enable;
        char File[PATH_CAPACITY];
        char Format[128];
    } Log;
    struct {
        char Format[64];
        int Core;
        int Memory;
        int Video;
        int Used;
        int Fan;
    } Taskbar;
    struct {
        char Title[32];
        char Format[64];
    } Tooltip;
    struct {
        char File[PATH_CAPACITY];
    } Theme;
};

extern CONFIG Config;

// The settings file path: "VARNOK.CFG", or the whole command line when it is not empty.
extern char ConfigPath[PATH_CAPACITY];

// Sets ConfigPath from the command-line text; false when the text does not fit the path buffer.
bool SetConfigPath(const char* commandLine);

// Gives every setting its default, as a file without any key would: the record a start-up begins
// with, so that a settings file the profile functions cannot open (a path too long for them) leaves
// the defaults, not zeros.
void SetConfigStartupValues();
void LoadConfig();
// Writes every key of the record, key by key; false when the file could not be opened or any
// write failed (the keys that could be written stay written).
[[nodiscard]] bool SaveConfig();
