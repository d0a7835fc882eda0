#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/checkedformat.h"
#include "config/formats.h"

namespace {

// Formats a user-editable format that the program hands two ints.
std::string FormatTwoInts(const char* format, int first, int second, size_t size = 64)
{
    std::string buffer(size, '\x7f');
    int stored = FormatChecked(&buffer[0], size, format, "fallback %d/%d", "dd", first, second);
    EXPECT_EQ(static_cast<size_t>(stored), strlen(buffer.c_str()));
    return buffer.c_str();
}

}  // namespace

TEST(FormatAcceptance, ProgramDefaultsFitTheirArguments)
{
    EXPECT_TRUE(IsFormatAccepted(LOG_FORMAT_DEFAULT, LOG_FORMAT_ARGUMENTS));
    EXPECT_TRUE(IsFormatAccepted(TASKBAR_FORMAT_DEFAULT, TASKBAR_FORMAT_ARGUMENTS));
    EXPECT_TRUE(IsFormatAccepted(TOOLTIP_FORMAT_DEFAULT, TOOLTIP_FORMAT_ARGUMENTS));
    EXPECT_TRUE(IsFormatAccepted(UNIT_FORMAT_DEFAULT, UNIT_FORMAT_ARGUMENTS));
}

TEST(FormatAcceptance, HostileFormatsAreRefused)
{
    const char* hostile[] = {
        "%s%s%s",    // texts where ints are passed: reads through the ints as pointers
        "%n",        // writes through an argument
        "%d%n",      //
        "%hhn",      //
        "%*d",       // width taken from the argument list
        "%.*d",      //
        "%1$d",      // positional argument
        "%",         // lone percent sign
        "%d %d %",   // trailing percent sign
        "%5",        // conversion cut off by the end of the text
        "%d%d%d",    // more conversions than arguments
        "%lld",      // reads a 64-bit argument
        "%I64d",     //
        "%jd",       //
        "%zd",       //
        "%td",       //
        "%qd",       //
        "%Lf",       //
        "%p",        //
        "%c",        //
        "%lc",       //
        "%ls",       //
        "%m",        //
        "%C",        //
        "%S",        //
        "%5%",       // only a bare "%%" is a literal
        "%f",        // double where an int is passed
        "%e %d",     //
        "%#d",       // '#' has no defined meaning for d
        "%99999999d",  // width far beyond any buffer
        "%.99999999d", //
        "%256d",       //
        "%.256d",      //
        "%5-d",        // flag after the width
        "%5.1.1d",     //
        "%'d",         //
        "%hd%hhd%d",   //
    };
    for (const char* format : hostile)
        EXPECT_FALSE(IsFormatAccepted(format, "dd")) << format;
}

TEST(FormatAcceptance, TypesMustMatchInOrder)
{
    EXPECT_TRUE(IsFormatAccepted("#%d: %s - %s", "dss"));
    EXPECT_FALSE(IsFormatAccepted("#%s: %d - %s", "dss"));
    EXPECT_FALSE(IsFormatAccepted("%d %d %d", "dss"));
    EXPECT_FALSE(IsFormatAccepted("%d %s %d", "dss"));
    EXPECT_FALSE(IsFormatAccepted("%s", "d"));
    EXPECT_FALSE(IsFormatAccepted("%d", "f"));
    EXPECT_FALSE(IsFormatAccepted("%d", "s"));
    EXPECT_FALSE(IsFormatAccepted("%0s", "s"));
    EXPECT_FALSE(IsFormatAccepted("%#s", "s"));
    EXPECT_FALSE(IsFormatAccepted("%hs", "s"));
}

TEST(FormatAcceptance, FlagsWidthPrecisionAndCompatibleConversionsAreAccepted)
{
    const char* accepted[] = {"%d", "%i", "%u", "%x", "%X", "%o", "%#x", "%#o", "%-5d", "%+d", "% d", "%05d",
                              "%-+ 0#8.3x", "%.3d", "%.d", "%255d", "%.255d", "%hd", "%hhd", "%ld", "100%%%d"};
    for (const char* format : accepted)
        EXPECT_TRUE(IsFormatAccepted(format, "d")) << format;
    const char* doubles[] = {"%f", "%5.1f", "%lf", "%-8.3lf", "%e", "%E", "%g", "%G", "%a", "%A", "%F", "%#.0f", "%+010.2f"};
    for (const char* format : doubles)
        EXPECT_TRUE(IsFormatAccepted(format, "f")) << format;
    EXPECT_TRUE(IsFormatAccepted("[%-10.4s]", "s"));
}

TEST(FormatAcceptance, FewerConversionsThanArgumentsAreAccepted)
{
    // The extra arguments are never read, so this cannot go wrong; a caption of a single "%d"
    // shows the core temperature only.
    EXPECT_TRUE(IsFormatAccepted("%d", "dd"));
    EXPECT_TRUE(IsFormatAccepted("no numbers", "ddfffdd"));
    EXPECT_TRUE(IsFormatAccepted("", "d"));
    EXPECT_TRUE(IsFormatAccepted("%%", "d"));
}

TEST(FormatAcceptance, NullArgumentsAreRefused)
{
    EXPECT_FALSE(IsFormatAccepted(nullptr, "d"));
    EXPECT_FALSE(IsFormatAccepted("%d", nullptr));
    EXPECT_FALSE(IsFormatAccepted("%d", ""));
    EXPECT_FALSE(IsFormatAccepted("%d", "x"));
}

TEST(FormatAcceptance, DoubleByteTextAroundConversionsIsAccepted)
{
    // "温度%d℃" in code page 932: no trail byte can be a percent sign.
    EXPECT_TRUE(IsFormatAccepted("\x89\xB7\x93\x78%d\x81\x8E", "d"));
    EXPECT_TRUE(IsFormatAccepted("%d\xB0" "C", "d"));
}

TEST(CheckedFormatting, AcceptedFormatIsUsed)
{
    EXPECT_EQ("core 65/ambient 40", FormatTwoInts("core %d/ambient %d", 65, 40));
    EXPECT_EQ(" 65|40   |100%", FormatTwoInts("%3d|%-5d|100%%", 65, 40));
}

TEST(CheckedFormatting, RefusedFormatFallsBackToTheDefault)
{
    EXPECT_EQ("fallback 65/40", FormatTwoInts("%s%s%s", 65, 40));
    EXPECT_EQ("fallback 65/40", FormatTwoInts("%n", 65, 40));
    EXPECT_EQ("fallback 65/40", FormatTwoInts("%*d", 65, 40));
    EXPECT_EQ("fallback 65/40", FormatTwoInts("%99999999d", 65, 40));
    EXPECT_EQ("fallback 65/40", FormatTwoInts("%", 65, 40));
}

TEST(CheckedFormatting, BadFallbackGivesAnEmptyText)
{
    char buffer[16] = "untouched";
    EXPECT_EQ(0, FormatChecked(buffer, sizeof buffer, "%s", "%s", "d", 5));
    EXPECT_STREQ("", buffer);
}

TEST(CheckedFormatting, DefaultFormatsGiveTheirDesignedText)
{
    char buffer[256];
    FormatChecked(buffer, sizeof buffer, LOG_FORMAT_DEFAULT, LOG_FORMAT_DEFAULT, LOG_FORMAT_ARGUMENTS, 65, 40, 1215.5,
                  3505.0, 0.0, 1800, 45);
    EXPECT_STREQ(" 65, 40,1215.5,3505.0,  0.0, 1800, 45", buffer);

    EXPECT_EQ(9, FormatChecked(buffer, sizeof buffer, TASKBAR_FORMAT_DEFAULT, TASKBAR_FORMAT_DEFAULT,
                                TASKBAR_FORMAT_ARGUMENTS, 65, 40));
    EXPECT_EQ(0, memcmp(buffer, "65\xB0" "C/40\xB0" "C", 10));

    FormatChecked(buffer, sizeof buffer, TOOLTIP_FORMAT_DEFAULT, TOOLTIP_FORMAT_DEFAULT, TOOLTIP_FORMAT_ARGUMENTS, 0, "GPU",
                  "GPU INTERNAL");
    EXPECT_STREQ("#0: GPU - GPU INTERNAL", buffer);

    FormatChecked(buffer, sizeof buffer, UNIT_FORMAT_DEFAULT, UNIT_FORMAT_DEFAULT, UNIT_FORMAT_ARGUMENTS, 80);
    EXPECT_STREQ(" 80", buffer);
}

TEST(CheckedFormatting, LfPrintsADouble)
{
    char buffer[32];
    FormatChecked(buffer, sizeof buffer, "%lf|%5.1lf", "", "ff", 2.25, 1.5);
    EXPECT_STREQ("2.250000|  1.5", buffer);
}

TEST(CheckedFormatting, ResultIsCutToTheBuffer)
{
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(7, FormatChecked(buffer, sizeof buffer, "%d-%d-and more", "", "dd", 123456, 7));
    EXPECT_STREQ("123456-", buffer);

    char guarded[12];
    memset(guarded, 'G', sizeof guarded);
    EXPECT_EQ(3, FormatChecked(guarded, 4, "%255d", "", "d", 1));
    EXPECT_STREQ("   ", guarded);
    EXPECT_EQ('G', guarded[4]);
}

TEST(CheckedFormatting, CutNeverSplitsADoubleByteCharacter)
{
    // "温度" is four bytes; a five-byte buffer holds "1" and the first character whole, and
    // not the lead byte of the second one.
    char buffer[5];
    EXPECT_EQ(3, FormatChecked(buffer, sizeof buffer, "%d\x89\xB7\x93\x78", "", "d", 1));
    EXPECT_STREQ("1\x89\xB7", buffer);
}

TEST(CheckedFormatting, EmptyOrMissingBufferIsLeftAlone)
{
    char buffer[4] = "abc";
    EXPECT_EQ(0, FormatChecked(buffer, 0, "%d", "%d", "d", 5));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(0, FormatChecked(nullptr, 10, "%d", "%d", "d", 5));
}

TEST(CheckedFormatting, TextsAreCutByPrecision)
{
    char buffer[32];
    FormatChecked(buffer, sizeof buffer, "%d:%.3s|%5s", "", "dss", 7, "ADM1032", "ab");
    EXPECT_STREQ("7:ADM|   ab", buffer);
}
