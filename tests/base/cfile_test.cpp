#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/cfile.h"
#include "support/testenv.h"

namespace {

// Shows which stream the object holds.
class ProbedFile : public CFILE {
public:
    FILE* Stream() const { return stream; }
};

class CFileTest : public testing::Test {
protected:
    testenv::TempDir dir;
    std::string path = dir.File("out.txt");
};

// A handle that reads the file while letting every other program read, write and delete it.
HANDLE OpenSharedReader(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(HANDLE file)
{
    std::string text;
    char chunk[256];
    DWORD got = 0;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        text.append(chunk, got);
    return text;
}

}  // namespace

using CFileWrite = CFileTest;

TEST_F(CFileWrite, NothingIsWrittenWithoutStreamTextOrPermission)
{
    ProbedFile file;
    EXPECT_EQ(nullptr, file.Stream());
    EXPECT_FALSE(file.Write("x"));
    file.Enable(true);
    EXPECT_FALSE(file.Write("x"));
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_FALSE(file.Write(nullptr));
    file.Disable();
    EXPECT_FALSE(file.Write("x"));
    file.Enable(true);
    EXPECT_TRUE(file.Write("y"));
    file.Close();
    EXPECT_EQ(nullptr, file.Stream());
    EXPECT_EQ("y", testenv::ReadFile(path));
}

TEST_F(CFileWrite, AppendsInTextModeWithoutAddingLineEnds)
{
    ASSERT_TRUE(testenv::WriteFile(path, "old\r\n"));
    CFILE file;
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_TRUE(file.Write("a"));
    EXPECT_TRUE(file.Write("b\n"));
    file.Close();
    EXPECT_EQ("old\r\nab\r\n", testenv::ReadFile(path));
}

TEST_F(CFileWrite, NullNameSelectsStandardOutputWhichCloseKeeps)
{
    ProbedFile file;
    ASSERT_TRUE(file.Open(nullptr));
    EXPECT_EQ(stdout, file.Stream());
    EXPECT_TRUE(file.Write(""));
    file.Close();
    EXPECT_EQ(stdout, file.Stream());
}

TEST_F(CFileWrite, FailedOpenLeavesNoStreamEvenAfterStandardOutput)
{
    ProbedFile file;
    ASSERT_TRUE(file.Open(nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir.File("folder").c_str(), nullptr));
    EXPECT_FALSE(file.Open(dir.File("folder").c_str()));
    EXPECT_EQ(nullptr, file.Stream());
    EXPECT_FALSE(file.Write("lost"));
    EXPECT_FALSE(file.Open(dir.File("missing\\out.txt").c_str()));
    EXPECT_FALSE(file.Open(""));
    for (size_t length : {size_t(2047), size_t(2048)}) {
        std::string longPath = dir.Path() + "\\";
        longPath += std::string(length - longPath.size(), 'q');
        EXPECT_FALSE(file.Open(longPath.c_str())) << length;
        EXPECT_EQ(nullptr, file.Stream());
    }
}

using CFileSharing = CFileTest;

TEST_F(CFileSharing, OthersMayReadAndDeleteWhileOpen)
{
    CFILE file;
    ASSERT_TRUE(file.Open(path.c_str()));
    HANDLE reader = OpenSharedReader(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_TRUE(file.Write("seen\n"));
    file.Close();
    EXPECT_EQ("seen\r\n", ReadAll(reader));
    CloseHandle(reader);

    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    file.Close();
    EXPECT_FALSE(testenv::FileExists(path));
}

TEST_F(CFileSharing, WritesWhileAnotherHandleReads)
{
    ASSERT_TRUE(testenv::WriteFile(path, ""));
    HANDLE reader = OpenSharedReader(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    CFILE file;
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_TRUE(file.Write("while reading\n"));
    file.Close();
    EXPECT_EQ("while reading\r\n", ReadAll(reader));
    CloseHandle(reader);
}

// Each copy closes only the stream it owns: a copy that shared its source's stream would close
// it under the source, and the source's next write would go to a closed stream.
using CFileCopies = CFileTest;

TEST_F(CFileCopies, CopyWritesToTheSameFileAndLeavesTheSourceOpen)
{
    ProbedFile original;
    ASSERT_TRUE(original.Open(path.c_str()));
    EXPECT_TRUE(original.Write("1"));
    {
        ProbedFile copy(original);
        EXPECT_NE(nullptr, copy.Stream());
        EXPECT_NE(original.Stream(), copy.Stream());
        EXPECT_TRUE(copy.Write("2"));
    }
    EXPECT_TRUE(original.Write("3"));
    original.Close();
    EXPECT_EQ("123", testenv::ReadFile(path));
}

TEST_F(CFileCopies, AssignmentClosesTheOldStreamAndSharesNone)
{
    std::string other = dir.File("other.txt");
    ProbedFile first;
    ProbedFile second;
    ASSERT_TRUE(first.Open(path.c_str()));
    ASSERT_TRUE(second.Open(other.c_str()));
    EXPECT_TRUE(first.Write("first"));
    first = second;
    EXPECT_EQ("first", testenv::ReadFile(path)) << "the replaced stream was closed and flushed";
    EXPECT_NE(second.Stream(), first.Stream());
    EXPECT_TRUE(first.Write("A"));
    first.Close();
    EXPECT_TRUE(second.Write("B"));
    second = second;
    EXPECT_TRUE(second.Write("C"));
    second.Close();
    EXPECT_EQ("ABC", testenv::ReadFile(other));
}

TEST_F(CFileCopies, DisabledAndEmptyStatesAreCopied)
{
    ProbedFile closed;
    ProbedFile copy(closed);
    EXPECT_EQ(nullptr, copy.Stream());
    EXPECT_FALSE(copy.Write("x"));
    ProbedFile silent;
    ASSERT_TRUE(silent.Open(path.c_str()));
    silent.Disable();
    ProbedFile silentCopy(silent);
    EXPECT_FALSE(silentCopy.Write("x"));
}

TEST_F(CFileCopies, StandardOutputIsSharedAndNeverClosed)
{
    ProbedFile original;
    ASSERT_TRUE(original.Open(nullptr));
    {
        ProbedFile copy(original);
        EXPECT_EQ(stdout, copy.Stream());
    }
    EXPECT_EQ(stdout, original.Stream());
    EXPECT_NE(-1, _fileno(stdout));
    EXPECT_NE(EOF, fflush(stdout));
}
