#include "dialogs/win32ver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/testenv.h"

namespace {

void Align(std::string& block)
{
    while (block.size() % 4)
        block += '\0';
}

// One node of a version block: length, value length, type, key, then the value and the children,
// each starting on a four-byte boundary.
std::string Node(const std::wstring& key, WORD type, const std::string& value, WORD valueLength,
                 const std::vector<std::string>& children = {})
{
    std::string block(6, '\0');
    block.append(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * sizeof(wchar_t));
    if (!value.empty()) {
        Align(block);
        block += value;
    }
    for (const std::string& child : children) {
        Align(block);
        block += child;
    }
    WORD header[3] = {static_cast<WORD>(block.size()), valueLength, type};
    block.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
    return block;
}

std::string Text(const std::wstring& key, const std::wstring& text)
{
    std::string value(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
    return text.empty() ? Node(key, 1, "", 0) : Node(key, 1, value, static_cast<WORD>(text.size() + 1));
}

// A version block with a Japanese string table (0411, code page 932) and `translations`.
std::string VersionBlock(const std::vector<DWORD>& translations)
{
    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = 0xFEEF04BD;
    fixed.dwStrucVersion = 0x00010000;
    std::string table = Node(L"041103a4", 1, "", 0, {Text(L"FileDescription", L"Desc"), Text(L"FileVersion", L"")});
    std::string list(reinterpret_cast<const char*>(translations.data()), translations.size() * sizeof(DWORD));
    std::string variables = Node(L"VarFileInfo", 1, "", 0, {Node(L"Translation", 0, list, static_cast<WORD>(list.size()))});
    return Node(L"VS_VERSION_INFO", 0, std::string(reinterpret_cast<const char*>(&fixed), sizeof fixed),
                sizeof fixed, {Node(L"StringFileInfo", 1, "", 0, {table}), variables});
}

// A copy of a small library of the build, given the version block.
bool WriteLibrary(const std::string& path, const std::string& block)
{
    if (!CopyFileA(testenv::PathFromEnvironment("VARNOK_NOQUERY_DLL").c_str(), path.c_str(), FALSE))
        return false;
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    if (!update)
        return false;
    bool written = UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO),
                                   MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), const_cast<char*>(block.data()),
                                   static_cast<DWORD>(block.size()));
    return EndUpdateResourceA(update, !written) && written;
}

std::string Value(const WIN32VER& version, const char* name)
{
    char text[64] = "unset";
    version.Value(0x0411, 932, name, text, sizeof text);
    return text;
}

}  // namespace

TEST(Win32Ver, OneTranslationGivesItsTextsMissingAndEmptyOnesAreNamed)
{
    testenv::TempDir folder;
    const std::string path = folder.File("one.dll");
    ASSERT_TRUE(WriteLibrary(path, VersionBlock({MAKELONG(0x0411, 932)})));
    WIN32VER version;
    ASSERT_TRUE(version.Load(path.c_str()));
    EXPECT_EQ(path, version.Path());
    WORD language = 0;
    WORD codePage = 0;
    ASSERT_TRUE(version.Translation(language, codePage));
    EXPECT_EQ(0x0411, language);
    EXPECT_EQ(932, codePage);
    EXPECT_EQ("Desc", Value(version, "FileDescription"));
    EXPECT_EQ("(null)", Value(version, "FileVersion"));
    EXPECT_EQ("(error)", Value(version, "LegalCopyright"));
    char small[3];
    version.Value(0x0411, 932, "FileDescription", small, sizeof small);
    EXPECT_STREQ("De", small);
}

TEST(Win32Ver, TwoTranslationsOrNoBlockGiveNothing)
{
    testenv::TempDir folder;
    const std::string path = folder.File("two.dll");
    ASSERT_TRUE(WriteLibrary(path, VersionBlock({MAKELONG(0x0411, 932), MAKELONG(0x0409, 1252)})));
    WIN32VER version;
    ASSERT_TRUE(version.Load(path.c_str()));
    WORD language = 0;
    WORD codePage = 0;
    EXPECT_FALSE(version.Translation(language, codePage));

    EXPECT_FALSE(version.Load(testenv::PathFromEnvironment("VARNOK_NOQUERY_DLL").c_str()));
    EXPECT_FALSE(version.Translation(language, codePage));
    EXPECT_EQ("(error)", Value(version, "FileDescription"));
    EXPECT_FALSE(version.Load(folder.File("missing.dll").c_str()));
    EXPECT_FALSE(version.Load(nullptr));
}
