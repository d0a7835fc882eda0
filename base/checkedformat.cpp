#include "base/checkedformat.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "base/textpolicy.h"

namespace {

enum LengthModifier { LENGTH_NONE, LENGTH_SHORT, LENGTH_CHAR, LENGTH_LONG };

struct ConversionSpec {
    bool alternate;
    bool zeroPad;
    LengthModifier length;
    char conversion;
};

// Reads a decimal field (width or precision); false when it exceeds FORMAT_FIELD_LIMIT.
bool ReadField(const char*& cursor)
{
    unsigned int value = 0;
    while (*cursor >= '0' && *cursor <= '9') {
        value = value * 10 + static_cast<unsigned int>(*cursor - '0');
        if (value > FORMAT_FIELD_LIMIT)
            return false;
        ++cursor;
    }
    return true;
}

// Parses one conversion after its '%'; cursor ends behind the conversion character.
bool ParseConversion(const char*& cursor, ConversionSpec& directive)
{
    directive = ConversionSpec{false, false, LENGTH_NONE, 0};
    for (;; ++cursor) {
        if (*cursor == '#')
            directive.alternate = true;
        else if (*cursor == '0')
            directive.zeroPad = true;
        else if (*cursor != '-' && *cursor != '+' && *cursor != ' ')
            break;
    }
    if (!ReadField(cursor))
        return false;
    if (*cursor == '.') {
        ++cursor;
        if (!ReadField(cursor))
            return false;
    }
    if (cursor[0] == 'h' && cursor[1] == 'h') {
        directive.length = LENGTH_CHAR;
        cursor += 2;
    } else if (cursor[0] == 'h') {
        directive.length = LENGTH_SHORT;
        ++cursor;
    } else if (cursor[0] == 'l' && cursor[1] != 'l') {
        directive.length = LENGTH_LONG;
        ++cursor;
    }
    // Any other modifier (ll L j z t I q w) is taken for the conversion character and refused.
    if (!*cursor)
        return false;
    directive.conversion = *cursor++;
    return true;
}

bool FitsArgument(const ConversionSpec& directive, char argument)
{
    const char c = directive.conversion;
    switch (argument) {
    case 'd':
        if (!strchr("diuoxX", c))
            return false;
        // '#' is defined only for the octal and hexadecimal forms.
        return !directive.alternate || strchr("oxX", c);
    case 'f':
        return strchr("fFeEgGaA", c) && (directive.length == LENGTH_NONE || directive.length == LENGTH_LONG);
    case 's':
        return c == 's' && directive.length == LENGTH_NONE && !directive.alternate && !directive.zeroPad;
    default:
        return false;
    }
}

}  // namespace

bool IsFormatAccepted(const char* format, const char* expected)
{
    if (!format || !expected)
        return false;
    const char* cursor = format;
    const char* argument = expected;
    while (*cursor) {
        if (*cursor++ != '%')
            continue;
        if (*cursor == '%') {
            ++cursor;
            continue;
        }
        ConversionSpec directive;
        if (!ParseConversion(cursor, directive) || !*argument || !FitsArgument(directive, *argument))
            return false;
        ++argument;
    }
    return true;
}

int FormatChecked(char* buffer, size_t size, const char* format, const char* fallback, const char* expected, ...)
{
    if (!buffer || size == 0)
        return 0;
    const char* chosen = "";
    if (IsFormatAccepted(format, expected))
        chosen = format;
    else if (IsFormatAccepted(fallback, expected))
        chosen = fallback;

    va_list arguments;
    va_start(arguments, expected);
    // MinGW's own C99 formatting, the same whatever the C runtime's printf does with "%lf" or
    // double-byte texts.
    int produced = __mingw_vsnprintf(buffer, size, chosen, arguments);
    va_end(arguments);

    if (produced < 0) {
        buffer[0] = '\0';
        return 0;
    }
    size_t stored = static_cast<size_t>(produced);
    if (stored >= size) {
        stored = WholeCharacterLength(buffer, size - 1);
        buffer[stored] = '\0';
    }
    return static_cast<int>(stored);
}
