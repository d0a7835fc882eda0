#pragma once

#include <windows.h>

#include "base/scopeguards.h"

enum CRITSECT_STATE {
    CS_NONE = 0,
    CS_CREATED = 1,
    CS_HELD = 2,
    CS_ACQUIRING = 3,
    CS_RELEASED = 4
};

// A named critical section that remembers its state and how often it was found busy.
struct CRITSECT {
    CRITICAL_SECTION section;
    char name[260];
    volatile LONG state;
    volatile LONG failures;
};

extern CRITSECT ProbeSection;
extern CRITSECT UpdateSection;

void CreateCritSect(CRITSECT& cs, const char* name);
void DeleteCritSect(CRITSECT& cs);
// Never waits: a busy section counts a failure and answers false, as does one not created.
bool TryEnterCritSect(CRITSECT& cs);
// Waits for the section; false only when it was not created.
bool EnterCritSect(CRITSECT& cs);
void LeaveCritSect(CRITSECT& cs);

// The section held for a scope: waited for, or only tried (a busy section is then not held).
using SECTIONGUARD = LOCKGUARD<CRITSECT, EnterCritSect, LeaveCritSect>;
using SECTIONTRYGUARD = LOCKGUARD<CRITSECT, TryEnterCritSect, LeaveCritSect>;
