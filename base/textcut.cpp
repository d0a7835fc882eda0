#include "base/textcut.h"

#include <windows.h>

size_t WholeCharacterLength(const char* text, size_t length)
{
    size_t index = 0;
    while (index < length) {
        size_t step = IsDBCSLeadByteEx(TextCodePage, static_cast<BYTE>(text[index])) ? 2 : 1;
        if (index + step > length)
            return index;
        index += step;
    }
    return length;
}
