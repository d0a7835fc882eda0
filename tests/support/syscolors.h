#pragma once

#include <windows.h>

namespace testenv {

// While the object lives, GetSysColor answers the program's code in this test program with a
// colour of its own for every index. Under Wine several system colours share one value (button
// text and window text are both black), so only then does a value show which colour it came from.
class DistinctSysColors {
public:
    DistinctSysColors();
    ~DistinctSysColors();
    DistinctSysColors(const DistinctSysColors&) = delete;
    DistinctSysColors& operator=(const DistinctSysColors&) = delete;

    // Whether the program's calls now reach the stand-in.
    bool Active() const { return active_; }
    // The colour the stand-in answers for a system colour index.
    static COLORREF Of(int index);

private:
    bool active_ = false;
};

}  // namespace testenv
