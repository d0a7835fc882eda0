#include "ui/initialpath.h"

#include <windows.h>
#include <cstring>

#include "base/textpolicy.h"

namespace {

// Copies `length` bytes of `text` into `out`, cut to whole characters when it does not fit.
void CopyPart(const char* text, size_t length, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    if (length >= size)
        length = WholeCharacterLength(text, size - 1);
    memcpy(out, text, length);
    out[length] = '\0';
}

bool IsRootSeparator(const char* path, ptrdiff_t backslash)
{
    return backslash == 0 || (backslash == 2 && path[1] == ':');
}

}  // namespace

ptrdiff_t LastBackslash(const char* path)
{
    ptrdiff_t last = -1;
    if (!path)
        return last;
    for (ptrdiff_t i = 0; path[i]; ++i) {
        if (path[i] == '\\')
            last = i;
        else if (IsDBCSLeadByteEx(TEXT_CODE_PAGE, static_cast<BYTE>(path[i])) && path[i + 1])
            ++i;
    }
    return last;
}

void InitialFolder(const char* path, char* folder, size_t size)
{
    ptrdiff_t backslash = LastBackslash(path);
    if (backslash < 0) {
        CopyPart("", 0, folder, size);
        return;
    }
    size_t length = static_cast<size_t>(backslash) + (IsRootSeparator(path, backslash) ? 1 : 0);
    CopyPart(path, length, folder, size);
}

void InitialFileName(const char* path, char* name, size_t size)
{
    if (!path) {
        CopyPart("", 0, name, size);
        return;
    }
    const char* start = path + (LastBackslash(path) + 1);
    CopyPart(start, strlen(start), name, size);
}
