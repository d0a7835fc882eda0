#include "config/textkeys.h"

#include <cstring>

#include "base/inifile.h"
#include "base/textpolicy.h"

namespace {

constexpr unsigned long SCRATCH_SIZE = PATH_CAPACITY + 2;

// The blanks and control bytes that the profile functions may strip around a value.
bool IsStrippedByte(char byte) { return static_cast<unsigned char>(byte) <= ' '; }

bool IsQuote(char byte) { return byte == '"' || byte == '\''; }

bool NeedsQuotes(const char* text, size_t length)
{
    if (length == 0)
        return false;
    if (IsStrippedByte(text[0]) || IsStrippedByte(text[length - 1]))
        return true;
    return length >= 2 && IsQuote(text[0]) && text[length - 1] == text[0];
}

}  // namespace

void ReadProfileText(INIFILE& file, const char* section, const char* key, const char* defaultText, char* field,
                     unsigned long size)
{
    if (size == 0 || size > PATH_CAPACITY)
        return;
    // Two bytes more than the field: whatever the profile layer does at the end of its buffer
    // (Wine leaves a byte as it was when a double-byte character does not fit, and drops the last
    // character of a quoted value that fills the buffer) falls behind the cut made here.
    char scratch[SCRATCH_SIZE] = {};
    if (!file.Read(section, key, defaultText, scratch, size + 2))
        return;
    scratch[size + 1] = '\0';
    size_t length = strlen(scratch);
    if (length > size - 1)
        length = WholeCharacterLength(scratch, size - 1);
    memcpy(field, scratch, length);
    field[length] = '\0';
}

void TrimValueEnd(char* text, unsigned long size)
{
    if (size == 0)
        return;
    size_t length = WholeCharacterLength(text, strnlen(text, size - 1));
    while (length > 0 && IsStrippedByte(text[length - 1]))
        --length;
    text[length] = '\0';
}

bool WriteProfileText(INIFILE& file, const char* section, const char* key, const char* field, unsigned long size)
{
    if (size == 0 || size > PATH_CAPACITY)
        return false;
    const size_t length = strnlen(field, size - 1);
    char text[SCRATCH_SIZE + 1];
    if (NeedsQuotes(field, length)) {
        text[0] = '"';
        memcpy(text + 1, field, length);
        text[length + 1] = '"';
        text[length + 2] = '\0';
    } else {
        memcpy(text, field, length);
        text[length] = '\0';
    }
    return file.Write(section, key, static_cast<const char*>(text)) != 0;
}
