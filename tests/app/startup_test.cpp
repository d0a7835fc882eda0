#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/integrity.h"
#include "app/mutex.h"
#include "support/testenv.h"

namespace {

std::string CopyOfProgram(const testenv::TempDir& dir)
{
    std::string copy = dir.File("VARNOK.exe");
    EXPECT_TRUE(CopyFileA(testenv::PathFromEnvironment("VARNOK_EXE").c_str(), copy.c_str(), FALSE));
    return copy;
}

void PatchByte(const std::string& path, size_t offset, unsigned char value)
{
    std::string data = testenv::ReadFile(path);
    ASSERT_LT(offset, data.size());
    data[offset] = static_cast<char>(value);
    ASSERT_TRUE(testenv::WriteFile(path, data));
}

size_t ChecksumOffset(const std::string& data)
{
    unsigned int pe = *reinterpret_cast<const unsigned int*>(data.data() + 0x3C);
    return pe + 4 + 20 + 64;
}

}  // namespace

TEST(ProgramIntegrity, TheBuiltProgramPassesItsCheck)
{
    testenv::TempDir dir;
    EXPECT_TRUE(VerifyProgramFile(CopyOfProgram(dir).c_str()));
}

TEST(ProgramIntegrity, AnAlteredByteFailsTheCheck)
{
    testenv::TempDir dir;
    std::string copy = CopyOfProgram(dir);
    std::string data = testenv::ReadFile(copy);
    size_t middle = data.size() / 2;
    PatchByte(copy, middle, static_cast<unsigned char>(data[middle] ^ 0x5A));
    EXPECT_FALSE(VerifyProgramFile(copy.c_str()));
}

TEST(ProgramIntegrity, AnUnstampedOrTruncatedFileFails)
{
    testenv::TempDir dir;
    std::string copy = CopyOfProgram(dir);
    std::string data = testenv::ReadFile(copy);
    size_t offset = ChecksumOffset(data);
    std::string unstamped = data;
    unstamped.replace(offset, 4, std::string(4, '\0'));
    ASSERT_TRUE(testenv::WriteFile(copy, unstamped));
    EXPECT_FALSE(VerifyProgramFile(copy.c_str()));

    ASSERT_TRUE(testenv::WriteFile(copy, data.substr(0, data.size() - 512)));
    EXPECT_FALSE(VerifyProgramFile(copy.c_str()));
    EXPECT_FALSE(VerifyProgramFile(dir.File("missing.exe").c_str()));
}

// The mutexes live on the Wine server that every test program shares, so each test here names
// pairs of its own, on devices from 100 on: no panel of the end-to-end tests uses those.
TEST(InstanceMutex, NameCarriesDeviceAndGpu)
{
    MUTEX mutex;
    ASSERT_TRUE(mutex.Acquire(101, 2));
    EXPECT_STREQ("VARNOK_DEV#101_GPU#2", mutex.Name());
}

TEST(InstanceMutex, SecondHolderOfTheSamePairIsRefusedOthersAreNot)
{
    MUTEX first;
    MUTEX second;
    MUTEX other;
    ASSERT_TRUE(first.Acquire(107, 0));
    EXPECT_FALSE(second.Acquire(107, 0));
    EXPECT_TRUE(other.Acquire(107, 1));
}

TEST(InstanceMutex, ReleasedPairCanBeTakenAgainAtOnce)
{
    {
        MUTEX first;
        ASSERT_TRUE(first.Acquire(103, 4));
    }
    MUTEX again;
    EXPECT_TRUE(again.Acquire(103, 4));
}
