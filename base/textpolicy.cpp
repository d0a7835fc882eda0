#include "base/textpolicy.h"

#include <windows.h>
#include <cstring>

size_t WholeCharacterLength(const char* text, size_t length)
{
    size_t index = 0;
    while (index < length) {
        size_t step = IsDBCSLeadByteEx(TEXT_CODE_PAGE, static_cast<BYTE>(text[index])) ? 2 : 1;
        if (index + step > length)
            return index;
        index += step;
    }
    return length;
}

bool WidenPath(const char* path, wchar_t (&wide)[PATH_CAPACITY])
{
    wide[0] = L'\0';
    if (!path || strnlen(path, PATH_CAPACITY) >= PATH_CAPACITY)
        return false;
    if (!MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, wide, PATH_CAPACITY)) {
        wide[0] = L'\0';
        return false;
    }
    return true;
}
