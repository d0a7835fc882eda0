#pragma once

#include <cstddef>

// printf-style formats that come from user files are checked against the arguments the caller
// will pass before they are used. The expected list is one letter per argument:
//   'd' an int, 'f' a double, 's' a zero-terminated text.
// A format is accepted only when its conversions, in order, match the expected list in type and
// do not outnumber it. Fewer conversions than arguments are accepted (the unused arguments are
// never read: a caption format of a single "%d" shows only the first value). The rules:
//   'd' takes d i u o x X, with no length or h, hh, l (all read an int-sized value on Windows);
//   'f' takes f F e E g G a A, with no length or l ("%lf" is a double);
//   's' takes s with no length.
// Flags - + space # 0, a width and a precision of at most FORMAT_FIELD_LIMIT are allowed, except
// where C leaves the result undefined ('#' on d i u s, '0' on s). "%%" is a literal percent sign.
// Refused: '*' width or precision, "%n", positional arguments, ll j z t L I and every other
// modifier or conversion, a '%' at the end of the text, and a null format or list.
bool IsFormatAccepted(const char* format, const char* expected);

// Widths and precisions above this are refused: no text the program builds is that long, and a
// huge width would only make the formatting spin on padding that is cut off anyway.
constexpr unsigned int FORMAT_FIELD_LIMIT = 255;

// Formats into buffer (always terminated, cut to size - 1 bytes, never inside a double-byte
// character) with format when it is accepted for the expected list, otherwise with fallback (a
// format of the program's own; should it not fit the list either, the result is empty).
// Returns the number of bytes stored, without the terminating zero.
int FormatChecked(char* buffer, size_t size, const char* format, const char* fallback, const char* expected, ...);
