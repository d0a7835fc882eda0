#pragma once

#include <cstddef>

// printf-style formats that come from user files are checked against the arguments the caller
// will pass before they are used. The expected list is one letter per argument:
//   'd' an int, 'f' a double, 's' a zero-terminated text.
// A format is accepted only when its conversions match the list exactly in count and type;
// flags, width and precision are allowed, "%%" is literal, '*' width or precision, "%n" and any
// unknown conversion are refused.
bool IsFormatAccepted(const char* format, const char* expected);

// Formats into buffer (always terminated, cut to size - 1 bytes) with format when it is accepted
// for the expected list, otherwise with fallback (a format of the program's own, assumed good).
// Returns the number of bytes stored, without the terminating zero.
int FormatChecked(char* buffer, size_t size, const char* format, const char* fallback, const char* expected, ...);
