#include <gtest/gtest.h>
#include <windows.h>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "base/cstr.h"
#include "child_process.h"

// Storage that cannot be had ends the process with a failure code. Wine accepts a job's process
// memory limit without enforcing it, and using up the address space gets the Wine process
// killed, so the child asks for a text longer than a 32-bit length can count: that storage can
// never be had, and it takes the same way out as an allocator that returns nothing.

namespace {

// A text of 4 GiB + 16 MiB - 1 bytes: one 16 MiB section of letters mapped again and again,
// then one that ends with the terminating zero, so it costs 32 MiB of real memory.
const char* MapHugeText()
{
    const SIZE_T chunk = 16u << 20;
    const int letterViews = 256;
    HANDLE letters = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, chunk, nullptr);
    HANDLE ending = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, chunk, nullptr);
    if (!letters || !ending)
        return nullptr;
    char* view = static_cast<char*>(MapViewOfFile(letters, FILE_MAP_WRITE, 0, 0, chunk));
    if (!view)
        return nullptr;
    memset(view, 'a', chunk);
    UnmapViewOfFile(view);
    view = static_cast<char*>(MapViewOfFile(ending, FILE_MAP_WRITE, 0, 0, chunk));
    if (!view)
        return nullptr;
    memset(view, 'a', chunk - 1);
    view[chunk - 1] = '\0';
    UnmapViewOfFile(view);

    char* base = static_cast<char*>(VirtualAlloc(nullptr, chunk * (letterViews + 1), MEM_RESERVE, PAGE_NOACCESS));
    if (!base)
        return nullptr;
    VirtualFree(base, 0, MEM_RELEASE);
    for (int i = 0; i <= letterViews; ++i) {
        char* at = base + i * chunk;
        if (MapViewOfFileEx(i < letterViews ? letters : ending, FILE_MAP_READ, 0, 0, chunk, at) != at)
            return nullptr;
    }
    return base;
}

// abort() and std::terminate end a MinGW program with exit code 3 as well: in the child they end it
// with codes of their own, so that 3 can only come from the string's own way out.
const unsigned int ABORTED = 98;
const unsigned int TERMINATED = 99;

void AppendTextBeyondCountableLength()
{
    signal(SIGABRT, [](int) { _exit(ABORTED); });
    std::set_terminate([] { _exit(TERMINATED); });
    const char* huge = MapHugeText();
    ASSERT_NE(nullptr, huge) << "could not map the long text";
    CSTR s("x");
    s.Append(huge);
    ADD_FAILURE() << "the string took a text of " << strlen(huge) << " bytes";
}

const bool registered =
    childprocess::RegisterChildTest("CstrStorageFailureChild", "AppendTextBeyondCountableLength",
                                    AppendTextBeyondCountableLength);

}  // namespace

TEST(CstrStorageFailure, EndsProcessWithExitCodeThree)
{
    DWORD code = childprocess::RunChildTest(childprocess::ThisProgram(), "CstrStorageFailureChild",
                                            "AppendTextBeyondCountableLength");
    EXPECT_EQ(CSTR::ALLOCATION_FAILURE_EXIT_CODE, code) << "exit code " << code;
}
