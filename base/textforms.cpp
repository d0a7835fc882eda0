#include "base/textforms.h"

#include <cstdio>
#include <cstring>

#include "base/textpolicy.h"

namespace {

bool IsBlank(char byte) { return byte == ' ' || (byte >= '\t' && byte <= '\r'); }
bool IsDigit(char byte) { return byte >= '0' && byte <= '9'; }

int StoredLength(int formatted, size_t size)
{
    if (formatted < 0 || size == 0)
        return 0;
    return static_cast<size_t>(formatted) < size ? formatted : static_cast<int>(size - 1);
}

// Byte-wide font fields and colour components keep the low 8 bits of what the file says.
BYTE LowByte(long value) { return static_cast<BYTE>(static_cast<unsigned long>(value) & 0xFF); }

}  // namespace

int ParseNumberList(const char* text, long* values, int count)
{
    if (!text || !values)
        return 0;
    int read = 0;
    const char* p = text;
    while (read < count) {
        while (IsBlank(*p))
            ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') {
            negative = *p == '-';
            ++p;
        }
        if (!IsDigit(*p))
            break;
        const long long limit = negative ? 2147483648LL : 2147483647LL;
        long long magnitude = 0;
        for (; IsDigit(*p); ++p) {
            if (magnitude <= limit)
                magnitude = magnitude * 10 + (*p - '0');
        }
        if (magnitude > limit)
            magnitude = limit;
        values[read++] = static_cast<long>(negative ? -magnitude : magnitude);
        if (*p != ',')
            break;
        ++p;
    }
    return read;
}

void ParseColorText(const char* text, COLORREF* color)
{
    long parts[3] = {GetRValue(*color), GetGValue(*color), GetBValue(*color)};
    ParseNumberList(text, parts, 3);
    *color = RGB(LowByte(parts[0]), LowByte(parts[1]), LowByte(parts[2]));
}

void ParseRectText(const char* text, RECT* rect)
{
    long parts[4] = {rect->left, rect->top, rect->right, rect->bottom};
    ParseNumberList(text, parts, 4);
    rect->left = parts[0];
    rect->top = parts[1];
    rect->right = parts[2];
    rect->bottom = parts[3];
}

void ParseFontText(const char* text, LOGFONTA* font)
{
    if (!text)
        return;
    long parts[13] = {font->lfHeight,        font->lfWidth,         font->lfEscapement,     font->lfOrientation,
                      font->lfWeight,        font->lfItalic,        font->lfUnderline,      font->lfStrikeOut,
                      font->lfCharSet,       font->lfOutPrecision,  font->lfClipPrecision,  font->lfQuality,
                      font->lfPitchAndFamily};
    ParseNumberList(text, parts, 13);
    font->lfHeight = parts[0];
    font->lfWidth = parts[1];
    font->lfEscapement = parts[2];
    font->lfOrientation = parts[3];
    font->lfWeight = parts[4];
    font->lfItalic = LowByte(parts[5]);
    font->lfUnderline = LowByte(parts[6]);
    font->lfStrikeOut = LowByte(parts[7]);
    font->lfCharSet = LowByte(parts[8]);
    font->lfOutPrecision = LowByte(parts[9]);
    font->lfClipPrecision = LowByte(parts[10]);
    font->lfQuality = LowByte(parts[11]);
    font->lfPitchAndFamily = LowByte(parts[12]);

    // The face name is the last field, so a face name holding a comma keeps only its last part.
    const char* comma = strrchr(text, ',');
    if (!comma || !comma[1])
        return;
    const char* face = comma + 1;
    const size_t kept = WholeCharacterLength(face, strnlen(face, LF_FACESIZE - 1));
    memset(font->lfFaceName, 0, sizeof font->lfFaceName);
    memcpy(font->lfFaceName, face, kept);
}

int FormatColorText(char* buffer, size_t size, COLORREF color)
{
    return StoredLength(snprintf(buffer, size, "%d,%d,%d", GetRValue(color), GetGValue(color), GetBValue(color)),
                        size);
}

int FormatRectText(char* buffer, size_t size, const RECT* rect)
{
    return StoredLength(
        snprintf(buffer, size, "%ld,%ld,%ld,%ld", rect->left, rect->top, rect->right, rect->bottom), size);
}

int FormatFontText(char* buffer, size_t size, const LOGFONTA* font)
{
    // A face name that fills its field has no terminating zero of its own.
    int faceLength = static_cast<int>(strnlen(font->lfFaceName, LF_FACESIZE));
    return StoredLength(snprintf(buffer, size, "%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%.*s", font->lfHeight,
                                 font->lfWidth, font->lfEscapement, font->lfOrientation, font->lfWeight,
                                 font->lfItalic, font->lfUnderline, font->lfStrikeOut, font->lfCharSet,
                                 font->lfOutPrecision, font->lfClipPrecision, font->lfQuality,
                                 font->lfPitchAndFamily, faceLength, font->lfFaceName),
                        size);
}
