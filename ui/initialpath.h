#pragma once

#include <cstddef>

// Where a file chooser starts, taken from the path the user has now. Paths follow
// base/textpolicy.h.

#include "base/textpolicy.h"

// The offset of the path's last backslash, or -1 when it has none. The second byte of a
// double-byte character may be 0x5C ("ソ" is 0x83 0x5C) and is no separator.
ptrdiff_t LastBackslash(const char* path);

// The part before the last backslash, empty (the system's default folder) when there is none.
// A root keeps its backslash ("C:\" and "\"), since "C:" alone names the drive's current folder.
void InitialFolder(const char* path, char* folder, size_t size);

// The part after the last backslash, or the whole path when it has none.
void InitialFileName(const char* path, char* name, size_t size);
