#pragma once

#include <windows.h>

// Every sound the monitor makes goes through here, so tests can see what would have played.
using SoundPlayFunction = BOOL (*)(const char* sound, UINT flags);

// The fault alarm: the embedded WAVE resource, or null when it could not be loaded.
extern const void* FaultAlarmSound;

void SetSoundPlayFunction(SoundPlayFunction play);  // null restores sndPlaySoundA
BOOL PlaySoundFile(const char* path);               // asynchronous; the system default sound stands in
BOOL PlayFaultAlarm();                              // asynchronous, from memory; false when there is none
