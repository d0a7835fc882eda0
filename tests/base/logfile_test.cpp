#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "base/logfile.h"
#include "support/testenv.h"

namespace {

// Shows the stream and the stamp texts the log holds.
class ProbedLog : public LOGFILE {
public:
    FILE* Stream() const { return stream; }
    std::string Date() const { return date.Length() ? date.String() : ""; }
    std::string Time() const { return time.Length() ? time.String() : ""; }
};

std::string DateText(const SYSTEMTIME& t)
{
    char text[32];
    snprintf(text, sizeof text, "%04d/%02d/%02d", t.wYear, t.wMonth, t.wDay);
    return text;
}

std::string TimeText(const SYSTEMTIME& t)
{
    char text[32];
    snprintf(text, sizeof text, "%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
    return text;
}

class LogFile : public testing::Test {
protected:
    void SetUp() override
    {
        log.FileName(path.c_str());
        log.Enable(true);
    }

    // Writes one line and answers the lines the stamp may have given: the clock is read just
    // before and just after, so a second passing during the write is allowed for.
    std::pair<std::string, std::string> WriteStamped(const char* text, std::string (*line)(const SYSTEMTIME&))
    {
        SYSTEMTIME before;
        SYSTEMTIME after;
        GetLocalTime(&before);
        EXPECT_TRUE(log.Write(text));
        GetLocalTime(&after);
        return {line(before), line(after)};
    }

    testenv::TempDir dir;
    std::string path = dir.File("VARNOK.LOG");
    ProbedLog log;
};

void ExpectOneOf(const std::pair<std::string, std::string>& expected, const std::string& actual)
{
    EXPECT_TRUE(actual == expected.first || actual == expected.second)
        << "got \"" << actual << "\", expected \"" << expected.first << "\" or \"" << expected.second << "\"";
}

}  // namespace

using LogFileLayout = LogFile;

TEST_F(LogFileLayout, TextOnly)
{
    log.FormatType(LF_TEXT);
    EXPECT_TRUE(log.Write("abc"));
    EXPECT_EQ("abc\r\n", testenv::ReadFile(path));
}

TEST_F(LogFileLayout, DateTwoBlanksMessage)
{
    log.FormatType(LF_DATE);
    auto expected = WriteStamped("abc", [](const SYSTEMTIME& t) { return DateText(t) + "  abc\r\n"; });
    ExpectOneOf(expected, testenv::ReadFile(path));
}

TEST_F(LogFileLayout, TimeTwoBlanksMessage)
{
    log.FormatType(LF_TIME);
    auto expected = WriteStamped("abc", [](const SYSTEMTIME& t) { return TimeText(t) + "  abc\r\n"; });
    ExpectOneOf(expected, testenv::ReadFile(path));
}

TEST_F(LogFileLayout, DateBlankTimeTwoBlanksMessage)
{
    log.FormatType(LF_DATETIME);
    auto expected = WriteStamped("42 C", [](const SYSTEMTIME& t) {
        return DateText(t) + " " + TimeText(t) + "  42 C\r\n";
    });
    ExpectOneOf(expected, testenv::ReadFile(path));
    ExpectOneOf(expected, log.Date() + " " + log.Time() + "  42 C\r\n");
}

TEST_F(LogFileLayout, UnknownFormatWritesTheMessageAlone)
{
    log.FormatType(static_cast<LF_TYPE>(7));
    EXPECT_TRUE(log.Write("only this"));
    EXPECT_EQ("only this\r\n", testenv::ReadFile(path));
}

TEST_F(LogFileLayout, MessageIsWrittenUnchanged)
{
    log.FormatType(LF_TEXT);
    EXPECT_TRUE(log.Write("100% %s %n 温度"));
    EXPECT_EQ("100% %s %n 温度\r\n", testenv::ReadFile(path));
}

using LogFileWrite = LogFile;

TEST_F(LogFileWrite, LinesAppendAndTheFileIsClosedAfterEach)
{
    ASSERT_TRUE(testenv::WriteFile(path, "earlier\r\n"));
    EXPECT_TRUE(log.Write("one"));
    EXPECT_EQ(nullptr, log.Stream());
    // Nobody else holds the file: it opens without any sharing.
    HANDLE exclusive = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
    CloseHandle(exclusive);
    EXPECT_TRUE(log.Write("two"));
    EXPECT_EQ("earlier\r\none\r\ntwo\r\n", testenv::ReadFile(path));
}

TEST_F(LogFileWrite, DeletedFileIsCreatedAgainWithJustTheNewLine)
{
    EXPECT_TRUE(log.Write("first"));
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_TRUE(log.Write("second"));
    EXPECT_EQ("second\r\n", testenv::ReadFile(path));
}

TEST_F(LogFileWrite, AnotherProgramReadingDoesNotStopTheLine)
{
    ASSERT_TRUE(log.Write("first"));
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_TRUE(log.Write("second"));
    char buffer[64] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(reader, buffer, sizeof buffer - 1, &got, nullptr));
    EXPECT_STREQ("first\r\nsecond\r\n", buffer);
    CloseHandle(reader);
}

TEST_F(LogFileWrite, LockedFileDropsTheLineAndSaysSo)
{
    ASSERT_TRUE(testenv::WriteFile(path, "kept\r\n"));
    HANDLE locker = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, locker);
    EXPECT_FALSE(log.Write("dropped"));
    EXPECT_EQ(nullptr, log.Stream());
    CloseHandle(locker);
    EXPECT_EQ("kept\r\n", testenv::ReadFile(path));
}

TEST_F(LogFileWrite, DisabledAnswersTrueAndLeavesTheFileUntouched)
{
    ASSERT_TRUE(testenv::WriteFile(path, "kept\r\n"));
    log.Disable();
    EXPECT_TRUE(log.Write("not written"));
    EXPECT_EQ("kept\r\n", testenv::ReadFile(path));
    ProbedLog fresh;
    fresh.FileName(dir.File("fresh.log").c_str());
    EXPECT_TRUE(fresh.Write("not written"));
    EXPECT_FALSE(testenv::FileExists(dir.File("fresh.log")));
}

TEST_F(LogFileWrite, NullMessageWritesNothing)
{
    EXPECT_FALSE(log.Write(nullptr));
    EXPECT_FALSE(testenv::FileExists(path));
}

TEST_F(LogFileWrite, EmptyNameWritesToStandardOutputWhichStaysOpen)
{
    log.FileName("");
    log.FormatType(LF_TEXT);
    EXPECT_TRUE(log.Write("log line on standard output"));
    EXPECT_EQ(stdout, log.Stream());
    EXPECT_TRUE(log.Write("and another"));
    EXPECT_EQ(stdout, log.Stream());
    log.FileName(nullptr);
    EXPECT_TRUE(log.Write("null name as well"));
    EXPECT_EQ(stdout, log.Stream());
}

TEST_F(LogFileWrite, UnopenableNamesAnswerFalse)
{
    ASSERT_TRUE(CreateDirectoryA(dir.File("folder").c_str(), nullptr));
    for (std::string name : {dir.File("folder"), dir.File("missing\\x.log")}) {
        log.FileName(name.c_str());
        EXPECT_FALSE(log.Write("lost")) << name;
        EXPECT_EQ(nullptr, log.Stream());
    }
    for (size_t length : {size_t(2047), size_t(2048)}) {
        std::string longPath = dir.Path() + "\\";
        longPath += std::string(length - longPath.size(), 'l');
        log.FileName(longPath.c_str());
        EXPECT_FALSE(log.Write("lost")) << length;
    }
    log.FileName(path.c_str());
    EXPECT_TRUE(log.Write("found")) << "a failed line leaves the log usable";
    EXPECT_EQ("found\r\n", testenv::ReadFile(path));
}

using LogFileCopies = LogFile;

TEST_F(LogFileCopies, CopyWritesTheSameLogAndOwnsItsTexts)
{
    log.FormatType(LF_DATETIME);
    ASSERT_TRUE(log.Write("one"));
    {
        ProbedLog copy(log);
        EXPECT_EQ(log.Date(), copy.Date());
        EXPECT_TRUE(copy.Write("two"));
    }
    ProbedLog assigned;
    assigned = log;
    EXPECT_TRUE(assigned.Write("three"));
    EXPECT_TRUE(log.Write("four"));
    std::string contents = testenv::ReadFile(path);
    size_t one = contents.find("  one\r\n");
    size_t two = contents.find("  two\r\n");
    size_t three = contents.find("  three\r\n");
    size_t four = contents.find("  four\r\n");
    ASSERT_NE(std::string::npos, four) << contents;
    EXPECT_LT(one, two);
    EXPECT_LT(two, three);
    EXPECT_LT(three, four);
}

// A copy made while a stream is open must not close it under its source.
TEST_F(LogFileCopies, CopyOfAnOpenStreamLeavesTheSourcesStreamOpen)
{
    ASSERT_TRUE(log.Open(path.c_str()));
    {
        ProbedLog copy(log);
        EXPECT_NE(log.Stream(), copy.Stream());
    }
    EXPECT_TRUE(log.CFILE::Write("raw "));
    EXPECT_TRUE(log.Write("line"));
    EXPECT_EQ("raw line\r\n", testenv::ReadFile(path));
}
