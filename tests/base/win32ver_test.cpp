#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

#include "base/win32ver.h"
#include "support/testenv.h"

namespace {

// One node of a version block: length, value length, type and key, then the value and each child
// on a four-byte boundary.
std::string Node(const std::wstring& key, WORD type, const std::string& value, WORD valueLength,
                 const std::vector<std::string>& children = {})
{
    std::string block(6, '\0');
    block.append(reinterpret_cast<const char*>(key.c_str()), (key.size() + 1) * sizeof(wchar_t));
    std::vector<std::string> parts = children;
    parts.insert(parts.begin(), value);
    for (const std::string& part : parts) {
        block.resize((block.size() + 3) & ~size_t{3});
        block += part;
    }
    WORD header[3] = {static_cast<WORD>(block.size()), valueLength, type};
    return block.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
}

// A copy of a small library of the build with a version block: a Japanese string table with a
// description and an empty version, and the translations listed.
std::string Library(const testenv::TempDir& folder, const char* name, const std::vector<DWORD>& translations)
{
    VS_FIXEDFILEINFO fixed = {};
    fixed.dwSignature = 0xFEEF04BD;
    fixed.dwStrucVersion = 0x00010000;
    std::wstring text = L"Desc";
    std::string table = Node(L"041103a4", 1, "", 0,
                             {Node(L"FileDescription", 1, std::string(reinterpret_cast<const char*>(text.c_str()), 10), 5),
                              Node(L"FileVersion", 1, "", 0)});
    std::string list(reinterpret_cast<const char*>(translations.data()), translations.size() * sizeof(DWORD));
    std::string block = Node(L"VS_VERSION_INFO", 0, std::string(reinterpret_cast<const char*>(&fixed), sizeof fixed),
                             sizeof fixed,
                             {Node(L"StringFileInfo", 1, "", 0, {table}),
                              Node(L"VarFileInfo", 1, "", 0, {Node(L"Translation", 0, list, static_cast<WORD>(list.size()))})});
    std::string path = folder.File(name);
    CopyFileA(testenv::PathFromEnvironment("VARNOK_NOQUERY_DLL").c_str(), path.c_str(), FALSE);
    HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
    EXPECT_TRUE(update && UpdateResourceA(update, RT_VERSION, MAKEINTRESOURCEA(VS_VERSION_INFO), 0, &block[0],
                                          static_cast<DWORD>(block.size())));
    EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
    return path;
}

std::string Value(const WIN32VER& version, const char* name, size_t size = 64)
{
    char text[64] = "unset";
    version.Value(0x0411, 932, name, text, size);
    return text;
}

}  // namespace

TEST(Win32Ver, OneTranslationGivesItsTextsTwoOrNoneGiveNothing)
{
    testenv::TempDir folder;
    WIN32VER version;
    ASSERT_TRUE(version.Load(Library(folder, "one.dll", {MAKELONG(0x0411, 932)}).c_str()));
    WORD language = 0;
    WORD codePage = 0;
    ASSERT_TRUE(version.Translation(language, codePage));
    EXPECT_EQ(0x0411, language);
    EXPECT_EQ(932, codePage);
    EXPECT_EQ("Desc", Value(version, "FileDescription"));
    EXPECT_EQ("De", Value(version, "FileDescription", 3));
    EXPECT_EQ("(null)", Value(version, "FileVersion"));
    EXPECT_EQ("(error)", Value(version, "LegalCopyright"));

    ASSERT_TRUE(version.Load(Library(folder, "two.dll", {MAKELONG(0x0411, 932), MAKELONG(0x0409, 1252)}).c_str()));
    EXPECT_FALSE(version.Translation(language, codePage));
    EXPECT_FALSE(version.Load(testenv::PathFromEnvironment("VARNOK_NOQUERY_DLL").c_str()));
    EXPECT_FALSE(version.Translation(language, codePage));
    EXPECT_EQ("(error)", Value(version, "FileDescription"));
    EXPECT_FALSE(version.Load(nullptr));
}
