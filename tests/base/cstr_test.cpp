#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "base/cstr.h"

namespace {

// The length must match the stored text exactly: no spare capacity, no stale count.
void ExpectText(const CSTR& s, const char* expected)
{
    EXPECT_EQ(strlen(expected), s.Length());
    if (*expected) {
        ASSERT_NE(nullptr, s.String());
        EXPECT_STREQ(expected, s.String());
    } else {
        EXPECT_EQ(nullptr, s.String()) << "an empty string owns no storage";
    }
}

// Convert(int) is a query and Convert(bool) a change; on a string that is not const, a call with
// an int is ambiguous in ISO C++, so the queries go through a const string.
int ConvertIn(const CSTR& s, int base) { return s.Convert(base); }

}  // namespace

TEST(CstrConstruction, NumbersGiveTheirDecimalText)
{
    ExpectText(CSTR(0), "0");
    ExpectText(CSTR(-123), "-123");
    ExpectText(CSTR(2147483647), "2147483647");
    ExpectText(CSTR(INT_MIN), "-2147483648");
}

TEST(CstrConstruction, EmptyAndNullTextsOwnNoStorage)
{
    ExpectText(CSTR(), "");
    ExpectText(CSTR(static_cast<const char*>(nullptr)), "");
    ExpectText(CSTR(""), "");
}

TEST(CstrConstruction, CopyOwnsItsOwnStorage)
{
    CSTR original("abc");
    CSTR copy(original);
    ExpectText(copy, "abc");
    EXPECT_NE(original.String(), copy.String());
    original.Upper();
    ExpectText(copy, "abc");
}

TEST(CstrAssignment, SelfAssignmentKeepsTheText)
{
    CSTR s("keep");
    CSTR& same = s;
    s = same;
    ExpectText(s, "keep");
}

TEST(CstrAssignment, TextFromInsideOwnStorageIsCopiedFirst)
{
    CSTR s("abcdef");
    s = s.String(2);
    ExpectText(s, "cdef");
    s = s.String();
    ExpectText(s, "cdef");
    s = s.String(s.Length());
    ExpectText(s, "");
}

TEST(CstrAssignment, ReplacesTextWithNumbersTextsAndStrings)
{
    CSTR s("old text");
    s = -7;
    ExpectText(s, "-7");
    s = "new";
    ExpectText(s, "new");
    s = CSTR("other");
    ExpectText(s, "other");
    s = static_cast<const char*>(nullptr);
    ExpectText(s, "");
    s = CSTR();
    ExpectText(s, "");
}

TEST(CstrAppend, NullEmptyAndOwnTextChangeNothing)
{
    CSTR s("abc");
    char* before = s.String();
    EXPECT_EQ(before, s.Append(nullptr));
    EXPECT_EQ(before, s.Append(""));
    EXPECT_EQ(before, s.Append(s.String()));
    s += s;
    ExpectText(s, "abc");
}

TEST(CstrAppend, JoinsTextsIntoExactStorage)
{
    CSTR s;
    s.Append("ab");
    s += "cd";
    s += CSTR("ef");
    ExpectText(s, "abcdef");
    // Part of the own text is a different pointer and is appended like any other text.
    s.Append(s.String(4));
    ExpectText(s, "abcdefef");
}

TEST(CstrInsert, PutsTextBeforeThePosition)
{
    CSTR s("abc");
    s.Insert("X", 0);
    ExpectText(s, "Xabc");
    s.Insert("YZ", 2);
    ExpectText(s, "XaYZbc");
}

TEST(CstrInsert, AtTheEndOrIntoEmptyDoesNothing)
{
    CSTR s("abc");
    EXPECT_EQ(s.String(), s.Insert("X", 3));
    EXPECT_EQ(s.String(), s.Insert("X", 100));
    EXPECT_EQ(s.String(), s.Insert(nullptr, 0));
    EXPECT_EQ(s.String(), s.Insert(s.String(), 1));
    ExpectText(s, "abc");
    CSTR empty;
    EXPECT_EQ(nullptr, empty.Insert("X", 0));
    ExpectText(empty, "");
}

TEST(CstrTrim, NullSetRemovesWhiteSpaceAtBothEndsOnly)
{
    CSTR s(" \t a b\t\r\n\v\f ");
    s.Trim();
    ExpectText(s, "a b");
}

TEST(CstrTrim, EmptySetRemovesNothing)
{
    CSTR s("  abc  ");
    s.Trim("");
    ExpectText(s, "  abc  ");
}

TEST(CstrTrim, OnlyTrimBytesLeavesEmptyString)
{
    CSTR hyphens("---");
    EXPECT_EQ(nullptr, hyphens.TrimRight("-"));
    ExpectText(hyphens, "");
    CSTR blanks("   ");
    EXPECT_EQ(nullptr, blanks.TrimLeft());
    ExpectText(blanks, "");
}

TEST(CstrTrim, SetBytesAreTrimmedFromTheChosenEnd)
{
    CSTR s("xxabcxx");
    s.TrimLeft("x");
    ExpectText(s, "abcxx");
    s.TrimRight("xc");
    ExpectText(s, "ab");
}

TEST(CstrTrim, HighBytesAreNeverWhiteSpace)
{
    CSTR s("\xA0" "abc" "\x85");
    s.Trim();
    ExpectText(s, "\xA0" "abc" "\x85");
}

// 表 and ソ end with the byte of a backslash; trimming separators must not split them.
TEST(CstrTrim, DoubleByteCharactersStayWhole)
{
    CSTR path("C:\\表\\ソ\\\\");
    path.TrimRight("\\");
    ExpectText(path, "C:\\表\\ソ");
    CSTR name("表");
    name.TrimRight("\\");
    ExpectText(name, "表");
}

TEST(CstrCase, ConvertsOnlyAsciiLetters)
{
    CSTR s("Abc1");
    s.Upper();
    ExpectText(s, "ABC1");
    s.Lower();
    ExpectText(s, "abc1");
    s.Convert(true);
    ExpectText(s, "ABC1");
    s.Convert(false);
    ExpectText(s, "abc1");
}

TEST(CstrCase, BytesFromHalfUpAndDoubleByteCharactersStay)
{
    // ア is 0x83 0x41 and ヂ is 0x83 0x61: a blind byte conversion turns one into the other.
    CSTR s("aア\xB1ヂz");
    s.Upper();
    ExpectText(s, "Aア\xB1ヂZ");
    s.Lower();
    ExpectText(s, "aア\xB1ヂz");
    CSTR empty;
    EXPECT_EQ(nullptr, empty.Upper());
}

TEST(CstrNumbers, ParsesInEachBase)
{
    EXPECT_EQ(255, CSTR("ff").Hex());
    EXPECT_EQ(16, CSTR("0x10").Hex());
    EXPECT_EQ(31, CSTR("0X1f").Hex());
    EXPECT_EQ(12, CSTR("12ab").Dec());
    EXPECT_EQ(2, CSTR("102").Bit());
    EXPECT_EQ(15, CSTR("17").Oct());
    EXPECT_EQ(35, ConvertIn("z", 36));
}

TEST(CstrNumbers, SignsAndLeadingWhiteSpace)
{
    EXPECT_EQ(-42, CSTR(" \t-42").Dec());
    EXPECT_EQ(7, CSTR("+7").Dec());
    EXPECT_EQ(-16, CSTR("-0x10").Hex());
}

TEST(CstrNumbers, NoDigitsGiveZero)
{
    EXPECT_EQ(0, CSTR().Dec());
    EXPECT_EQ(0, CSTR("abc").Dec());
    EXPECT_EQ(0, CSTR("-").Dec());
    EXPECT_EQ(0, CSTR("0x").Hex());
    EXPECT_EQ(0, CSTR("0xg").Hex());
    EXPECT_EQ(0, CSTR("2").Bit());
}

TEST(CstrNumbers, ValuesBeyondRangeAreHeldAtItsEnds)
{
    EXPECT_EQ(INT_MAX, CSTR("2147483647").Dec());
    EXPECT_EQ(INT_MAX, CSTR("2147483648").Dec());
    EXPECT_EQ(INT_MIN, CSTR("-2147483648").Dec());
    EXPECT_EQ(INT_MIN, CSTR("-2147483649").Dec());
    EXPECT_EQ(INT_MAX, CSTR("99999999999999999999999999999999").Dec());
    EXPECT_EQ(INT_MAX, CSTR("ffffffffffffffffff").Hex());
}

TEST(CstrNumbers, UnusableBaseGivesZero)
{
    EXPECT_EQ(0, ConvertIn("10", 0));
    EXPECT_EQ(0, ConvertIn("10", 1));
    EXPECT_EQ(0, ConvertIn("10", 37));
    EXPECT_EQ(0, ConvertIn("10", -10));
}

TEST(CstrComparison, EqualityIsLimitedToThisLength)
{
    EXPECT_TRUE(CSTR("abc") == CSTR("abcd"));
    EXPECT_FALSE(CSTR("abcd") == CSTR("abc"));
    EXPECT_TRUE(CSTR("abc") == "abcdef");
    EXPECT_FALSE(CSTR("abcdef") == "abc");
    EXPECT_FALSE(CSTR("abc") == "abd");
}

TEST(CstrComparison, EmptySides)
{
    EXPECT_TRUE(CSTR() == CSTR());
    EXPECT_FALSE(CSTR() == CSTR("a"));
    EXPECT_FALSE(CSTR("a") == CSTR());
    EXPECT_TRUE(CSTR() == static_cast<const char*>(nullptr));
    EXPECT_FALSE(CSTR("a") == static_cast<const char*>(nullptr));
    EXPECT_FALSE(CSTR("a") == "");
    EXPECT_FALSE(CSTR() == "a");
}

TEST(CstrComparison, CompareCountsBytes)
{
    CSTR s("abcdef");
    EXPECT_TRUE(s.Compare("abcxyz", 3));
    EXPECT_FALSE(s.Compare("abcxyz", 4));
    EXPECT_TRUE(s.Compare("abcdef"));
    EXPECT_FALSE(s.Compare("abcdeg"));
    EXPECT_FALSE(s.Compare("abc"));
    EXPECT_TRUE(s.Compare(s.String()));
    EXPECT_FALSE(s.Compare(nullptr));
    EXPECT_FALSE(s.Compare(""));
    EXPECT_TRUE(CSTR().Compare(nullptr));
    EXPECT_FALSE(CSTR().Compare("a"));
}

TEST(CstrQueries, StringPointsIntoTheTextUpToItsEnd)
{
    CSTR s("abc");
    EXPECT_EQ(s.String() + 2, s.String(2));
    EXPECT_EQ('\0', *s.String(3));
    EXPECT_EQ(nullptr, s.String(4));
    EXPECT_EQ(nullptr, s.String(UINT_MAX));
}
