#pragma once

#include <string>

// Appends one line to the journal file: opened, written and closed again, so that a test can
// read every line the moment the call has returned, and a crash loses nothing.
void AppendJournalLine(const std::string& path, const std::string& line);
