#include "gpu/sound.h"

#include <mmsystem.h>

const void* FaultAlarmSound = nullptr;

namespace {

BOOL SystemPlay(const char* sound, UINT flags) { return sndPlaySoundA(sound, flags); }

SoundPlayFunction Play = SystemPlay;

}  // namespace

void SetSoundPlayFunction(SoundPlayFunction play) { Play = play ? play : SystemPlay; }

BOOL PlaySoundFile(const char* path) { return Play(path, SND_ASYNC); }

BOOL PlayFaultAlarm()
{
    if (!FaultAlarmSound)
        return FALSE;
    return Play(static_cast<const char*>(FaultAlarmSound), SND_ASYNC | SND_MEMORY);
}
