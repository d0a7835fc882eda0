#pragma once

#include <windows.h>

#include <cstddef>

// The text forms in which colours, rectangles and fonts are kept in profile files, apart from
// the file access so that they can be checked without a file.
//   colour     "%d,%d,%d"     red, green, blue
//   rectangle  "%d,%d,%d,%d"  left, top, right, bottom
//   font       thirteen numbers (height, width, escapement, orientation, weight, italic,
//              underline, strike-out, character set, output precision, clip precision,
//              quality, pitch and family) and the face name, comma-separated.

// Reads up to count comma-separated decimal numbers from the start of text into values and
// answers how many were read; reading stops at the first unreadable number, and the values
// past it are left alone. Blanks may precede a number; a number beyond the 32-bit range is
// held at the nearest end of it.
int ParseNumberList(const char* text, long* values, int count);

// The readers scan their numbers over the current value, so a text with fewer numbers changes
// only the leading fields.
void ParseColorText(const char* text, COLORREF* color);
void ParseRectText(const char* text, RECT* rect);
// The face name is the text after the last comma, cut to fit the face name field without
// splitting a double-byte character; with nothing after the last comma it is kept.
void ParseFontText(const char* text, LOGFONTA* font);

// The writers answer the number of bytes stored (the text is always terminated and cut to fit).
int FormatColorText(char* buffer, size_t size, COLORREF color);
int FormatRectText(char* buffer, size_t size, const RECT* rect);
int FormatFontText(char* buffer, size_t size, const LOGFONTA* font);
