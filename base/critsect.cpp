#include "base/critsect.h"

#include <cstdio>

CRITSECT ProbeSection;
CRITSECT UpdateSection;

void CreateCritSect(CRITSECT& cs, const char* name)
{
    if (cs.state != CS_NONE)
        return;
    InitializeCriticalSection(&cs.section);
    snprintf(cs.name, sizeof cs.name, "%s", name ? name : "");
    cs.failures = 0;
    cs.state = CS_CREATED;
}

void DeleteCritSect(CRITSECT& cs)
{
    if (cs.state == CS_NONE)
        return;
    cs.state = CS_NONE;
    DeleteCriticalSection(&cs.section);
    cs.name[0] = '\0';
    cs.failures = 0;
}

bool TryEnterCritSect(CRITSECT& cs)
{
    if (cs.state == CS_NONE)
        return false;
    cs.state = CS_ACQUIRING;
    if (!TryEnterCriticalSection(&cs.section)) {
        InterlockedIncrement(&cs.failures);
        return false;
    }
    cs.state = CS_HELD;
    return true;
}

bool EnterCritSect(CRITSECT& cs)
{
    if (cs.state == CS_NONE)
        return false;
    cs.state = CS_ACQUIRING;
    EnterCriticalSection(&cs.section);
    cs.state = CS_HELD;
    return true;
}

void LeaveCritSect(CRITSECT& cs)
{
    cs.state = CS_RELEASED;
    LeaveCriticalSection(&cs.section);
}
