#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "config/config.h"
#include "config/theme.h"

// Helpers shared by the settings and theme file tests.
namespace configtest {

// The sections and keys of a profile file, in the order they stand in it.
std::vector<std::pair<std::string, std::string>> KeysInOrder(const std::string& contents);

// The value of one key as it stands in the file ("" and false when missing).
bool FindValue(const std::string& contents, const std::string& section, const std::string& key, std::string& value);

// True when the text is terminated inside its buffer.
bool IsTerminated(const char* buffer, size_t size);

bool SameFont(const LOGFONTA& a, const LOGFONTA& b);

// Every field of the records, one after the other, as test expectations.
void ExpectSameConfig(const CONFIG& expected, const CONFIG& actual);
void ExpectSameTheme(const THEMEDATA& expected, const THEMEDATA& actual);

}  // namespace configtest
