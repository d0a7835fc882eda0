#pragma once

#include <cstddef>
#include <cstring>

// The settings and theme records are read without a lock while the window thread may be storing
// them (a measurement worker can outlive the timer stop around a reload), so a text that is
// checked before it is used, such as a user's format, is taken as a terminated copy first: the
// text that was checked is then the very one that is used.
template <size_t SIZE>
void CopySetting(char (&copy)[SIZE], const char (&setting)[SIZE])
{
    memcpy(copy, setting, SIZE);
    copy[SIZE - 1] = '\0';
}
