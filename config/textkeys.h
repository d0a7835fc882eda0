#pragma once

#include "base/textpolicy.h"

class INIFILE;

// Text values of the settings and theme files. The profile functions drop blanks around a value
// and one pair of enclosing quotation marks, and Wine's cut of a long value can leave a stray
// byte or lose the last character of a quoted one. What is read here and saved again comes back
// unchanged from the next load.

// Reads the key (or defaultText when it is missing) into field, cut to size - 1 bytes without
// splitting a double-byte character. size is at most PATH_CAPACITY (base/textpolicy.h).
void ReadProfileText(INIFILE& file, const char* section, const char* key, const char* defaultText, char* field,
                     unsigned long size);

// Writes the text of field (at most size - 1 bytes), in quotation marks when the profile
// functions would otherwise strip something from it. False when the write failed.
[[nodiscard]] bool WriteProfileText(INIFILE& file, const char* section, const char* key, const char* field, unsigned long size);

// Cuts what a value read back could not keep at the end of text: half of a double-byte character
// and blanks or control bytes (the profile functions strip those around a value). For texts that
// end a value of several fields, such as the face name of a font.
void TrimValueEnd(char* text, unsigned long size);

