#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

// The program's texts are compiled to code page 932; a UTF-8 byte in the binary would show
// as garbage in every message box.
TEST(Charset, JapaneseTextsAreCodePage932Bytes)
{
    const char text[] = "エラー情報";
    const unsigned char expected[] = {0x83, 0x47, 0x83, 0x89, 0x81, 0x5B, 0x8F, 0xEE, 0x95, 0xF1, 0x00};
    ASSERT_EQ(sizeof text, sizeof expected);
    EXPECT_EQ(0, memcmp(text, expected, sizeof expected));
}

TEST(Charset, RunsWithAnsiCodePage932)
{
    EXPECT_EQ(932u, GetACP());
}
