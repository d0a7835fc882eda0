#pragma once

#include <cstddef>

// The program's texts are code page 932 byte strings, whatever the system's code page is.
constexpr unsigned int TextCodePage = 932;

// The longest part of the first length bytes of text that does not end inside a double-byte
// character: where a text is cut to a buffer, a lone lead byte would show as a broken character
// and is dropped by the system's conversions.
size_t WholeCharacterLength(const char* text, size_t length);
