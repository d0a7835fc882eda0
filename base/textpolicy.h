#pragma once

#include <cstddef>

// How the program holds text and paths, for every layer:
// - Its texts are code page 932 byte strings, whatever the system's code page is: the sources are
//   compiled to it, and the settings, theme and log files are read and written in it.
// - Paths are handed to the ANSI file functions as they are, byte for byte.
// - A path that must be widened for a call that only takes UTF-16 is widened with the ANSI code
//   page, the one the ANSI file functions use, so that both calls name the same file.
// - Paths are held in buffers of PATH_CAPACITY bytes, terminator included; every limit is in bytes.

constexpr unsigned int TEXT_CODE_PAGE = 932;
constexpr size_t PATH_CAPACITY = 2048;

// The longest part of the first length bytes of text that does not end inside a double-byte
// character: where a text is cut to a buffer, a lone lead byte would show as a broken character
// and is dropped by the system's conversions.
size_t WholeCharacterLength(const char* text, size_t length);

// The path widened for a call that only takes UTF-16; false (and `wide` empty) when the path is
// null, longer than a path buffer holds, or not text of the ANSI code page.
[[nodiscard]] bool WidenPath(const char* path, wchar_t (&wide)[PATH_CAPACITY]);
