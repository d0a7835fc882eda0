#include "render/paneltitle.h"

#include <windows.h>
#include <cstdio>

#include "base/textpolicy.h"

namespace {

SRWLOCK TitleLock = SRWLOCK_INIT;
char Title[PANEL_TITLE_SIZE];

// Copies text into buffer, cut to the buffer without splitting a double-byte character.
void CopyWhole(char* buffer, size_t size, const char* text)
{
    if (!buffer || size == 0)
        return;
    int produced = snprintf(buffer, size, "%s", text ? text : "");
    if (produced >= 0 && static_cast<size_t>(produced) >= size)
        buffer[WholeCharacterLength(buffer, size - 1)] = '\0';
}

}  // namespace

void SetPanelTitle(const char* text)
{
    AcquireSRWLockExclusive(&TitleLock);
    CopyWhole(Title, sizeof Title, text);
    ReleaseSRWLockExclusive(&TitleLock);
}

void CopyPanelTitle(char* buffer, size_t size)
{
    AcquireSRWLockShared(&TitleLock);
    CopyWhole(buffer, size, Title);
    ReleaseSRWLockShared(&TitleLock);
}
