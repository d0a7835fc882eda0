#pragma once

// True when the program file's image checksum matches the one stamped into its header at
// build time; a file changed afterwards (patched, infected, truncated) fails.
bool VerifyProgramFile(const char* path);
bool VerifyOwnProgramFile();
