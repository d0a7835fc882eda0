#include "app/integrity.h"

#include <windows.h>
#include <imagehlp.h>

#include "base/textpolicy.h"

bool VerifyProgramFile(const char* path)
{
    DWORD stamped = 0;
    DWORD computed = 0;
    if (MapFileAndCheckSumA(const_cast<char*>(path), &stamped, &computed) != CHECKSUM_SUCCESS)
        return false;
    // An unstamped file (checksum 0) cannot prove anything, so it fails too.
    return stamped != 0 && stamped == computed;
}

bool VerifyOwnProgramFile()
{
    char path[PATH_CAPACITY];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return false;
    return VerifyProgramFile(path);
}
