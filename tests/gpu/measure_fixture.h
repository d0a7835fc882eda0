#pragma once

#include <windows.h>
#include <map>
#include <string>
#include <vector>

#include "base/critsect.h"
#include "simdriver.h"

// A sound handed to the sound seam instead of the speaker.
struct PLAYEDSOUND {
    std::string file;    // the file name, for a sound played from a file
    const void* memory;  // the sound's memory, for one played from memory
    UINT flags;
};

// The keys of GPU 0 on display 0 of a calm, healthy scenario; a test overrides the ones it needs.
using SCENARIOKEYS = std::map<std::string, std::string>;

// The measurement against the simulated driver: the process-wide GPU object started on a
// scenario of the test's own, a zeroed measurement record, a created Probe section and every
// sound caught by the seam. TearDown gives all of it back so the next test starts clean.
class MeasureTest : public SimDriverTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the scenario of GPU 0 (the calm keys with `keys` over them, then `more`, whole
    // sections such as "[fail]\n..."), starts the driver and selects the GPU.
    void Start(const SCENARIOKEYS& keys, const std::string& more = "", bool journal = true);
    void Cycles(int count);

    // Journal lines written since Start (or the last MarkJournal).
    std::vector<std::string> JournalSinceMark() const;
    size_t JournalSinceMark(const std::string& function) const;
    void MarkJournal();

    static std::vector<PLAYEDSOUND> Played();

private:
    size_t journalMark = 0;
};

// A numeric scenario list first, first + step, ... with count values.
std::string NumberList(long long first, long long step, int count);

// Holds a section on a thread of its own (a critical section admits its owner again, so the
// holder must be another thread) until Release or destruction.
class SECTIONHOLDER {
public:
    explicit SECTIONHOLDER(CRITSECT& section);
    ~SECTIONHOLDER();
    SECTIONHOLDER(const SECTIONHOLDER&) = delete;
    SECTIONHOLDER& operator=(const SECTIONHOLDER&) = delete;

    bool Held() const { return held; }
    void Release();

private:
    static DWORD WINAPI Run(LPVOID self);

    CRITSECT& section;
    HANDLE heldEvent;
    HANDLE releaseEvent;
    HANDLE thread;
    bool held;
};

// Waits for a condition, polling, at most timeoutMs; true when it came.
template <typename CONDITION>
bool WaitFor(CONDITION condition, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}
