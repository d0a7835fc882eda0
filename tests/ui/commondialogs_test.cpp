#include <gtest/gtest.h>
#include <cstdio>
#include <cstring>
#include <string>

#include "support/dialogwatch.h"
#include "support/testenv.h"
#include "ui/commondialogs.h"
#include "ui/filechoosers.h"
#include "ui/initialpath.h"

namespace {

void Press(HWND dialog, int button) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

// Whether `block` is an allocated block of the process heap.
bool IsHeldByProcessHeap(const void* block)
{
    HANDLE heap = GetProcessHeap();
    bool held = false;
    if (!HeapLock(heap))
        return false;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.lpData == block && (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)) {
            held = true;
            break;
        }
    }
    HeapUnlock(heap);
    return held;
}

char* NewWorkBuffer()
{
    char* buffer = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, PATH_CAPACITY));
    memset(buffer, 'W', PATH_CAPACITY);
    return buffer;
}

class FileChooser : public ::testing::Test {
protected:
    // The path buffer as the program holds it: 2048 bytes.
    void SetPath(const std::string& text) { snprintf(path_, sizeof path_, "%s", text.c_str()); }

    testenv::TempDir dir_;
    char path_[PATH_CAPACITY] = {};
};

}  // namespace

TEST_F(FileChooser, CancelledOpenAndSaveLeaveThePathAlone)
{
    testenv::DialogWatch cancel([](HWND dialog) { Press(dialog, IDCANCEL); });
    for (BOOL open : {TRUE, FALSE}) {
        SCOPED_TRACE(open ? "open" : "save");
        const std::string original = dir_.File("DARK.VKT");
        SetPath(original);
        char before[PATH_CAPACITY];
        memcpy(before, path_, sizeof before);
        char folder[PATH_CAPACITY];
        InitialFolder(path_, folder, sizeof folder);
        EXPECT_EQ(0, FileDialog(nullptr, FILE_TITLE_THEME_LOAD, FILE_FILTER_THEME, folder, path_, open));
        EXPECT_EQ(0, memcmp(before, path_, sizeof before));
    }
    EXPECT_EQ(2, cancel.Seen());
}

// Accepting the chooser as it opened gives back its initial folder and file name: the path the
// program started with, only when both were derived from it correctly.
TEST_F(FileChooser, AcceptedChooserStartsInTheFolderAndNameOfThePath)
{
    testenv::DialogWatch accept([](HWND dialog) { Press(dialog, IDOK); });
    for (BOOL open : {TRUE, FALSE}) {
        SCOPED_TRACE(open ? "open" : "save");
        const std::string original = dir_.File("CHOSEN.VKT");
        SetPath(original);
        EXPECT_EQ(1, SelectFile(nullptr, FILE_TITLE_THEME_SAVE, FILE_FILTER_THEME, path_, open, NewWorkBuffer()));
        EXPECT_STREQ(original.c_str(), path_);
    }
}

TEST_F(FileChooser, JapaneseFolderWithBackslashBytesIsOpened)
{
    const std::string folder = dir_.File("ソフト表");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string original = folder + "\\表示ソ.VKT";
    SetPath(original);
    testenv::DialogWatch accept([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(1, SelectFile(nullptr, FILE_TITLE_MASK, FILE_FILTER_MASK, path_, TRUE, NewWorkBuffer()));
    EXPECT_STREQ(original.c_str(), path_);
}

TEST_F(FileChooser, BareNameOpensInTheDefaultFolderWithTheWholeName)
{
    SetPath("BARE.VKT");
    testenv::DialogWatch accept([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(1, SelectFile(nullptr, FILE_TITLE_THEME_LOAD, FILE_FILTER_THEME, path_, TRUE, NewWorkBuffer()));
    std::string chosen = path_;
    EXPECT_NE(std::string::npos, chosen.find(":\\")) << chosen;
    EXPECT_EQ("\\BARE.VKT", chosen.substr(chosen.size() - 9)) << chosen;
}

TEST_F(FileChooser, SelectFileFreesItsWorkBufferOnEveryPath)
{
    SetPath(dir_.File("DARK.VKT"));
    {
        char* work = NewWorkBuffer();
        ASSERT_TRUE(IsHeldByProcessHeap(work));
        EXPECT_EQ(0, SelectFile(nullptr, FILE_TITLE_THEME_LOAD, FILE_FILTER_THEME, nullptr, TRUE, work));
        EXPECT_FALSE(IsHeldByProcessHeap(work)) << "no path";
    }
    for (int button : {IDCANCEL, IDOK}) {
        char* work = NewWorkBuffer();
        ASSERT_TRUE(IsHeldByProcessHeap(work));
        int chosen;
        {
            testenv::DialogWatch answer([button](HWND dialog) { Press(dialog, button); });
            chosen = SelectFile(nullptr, FILE_TITLE_THEME_LOAD, FILE_FILTER_THEME, path_, TRUE, work);
        }
        EXPECT_EQ(button == IDOK ? 1 : 0, chosen);
        EXPECT_FALSE(IsHeldByProcessHeap(work)) << (button == IDOK ? "chosen" : "cancelled");
    }
}

TEST_F(FileChooser, SelectFileWithoutWorkBufferStillOpens)
{
    const std::string original = dir_.File("CHOSEN.VKT");
    SetPath(original);
    testenv::DialogWatch accept([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(1, SelectFile(nullptr, FILE_TITLE_THEME_LOAD, FILE_FILTER_THEME, path_, TRUE, nullptr));
    EXPECT_EQ(1, accept.Seen());
}

TEST(FileChooserFilters, EveryFilterIsPairsEndedByAnEmptyEntry)
{
    for (const char* filter : {FILE_FILTER_THEME, FILE_FILTER_LOG, FILE_FILTER_SOUND, FILE_FILTER_SKIN, FILE_FILTER_MASK}) {
        int entries = 0;
        for (const char* entry = filter; *entry; entry += strlen(entry) + 1)
            ++entries;
        EXPECT_EQ(4, entries) << filter;
    }
    EXPECT_STREQ("*.BMP;*.JPG;*.JPEG;*.GIF;*.WMF;*.PNG", FILE_FILTER_SKIN + strlen(FILE_FILTER_SKIN) + 1);
}

TEST(FontChooser, CancelledChooserLeavesTheFontAlone)
{
    LOGFONTA font = {};
    font.lfHeight = -17;
    font.lfWeight = 123;
    font.lfItalic = TRUE;
    snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "Arial");
    LOGFONTA before = font;
    testenv::DialogWatch cancel([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(0, SelectFont(nullptr, font));
    EXPECT_EQ(0, memcmp(&before, &font, sizeof font));
    EXPECT_EQ(1, cancel.Seen());
}

// The chooser only offers regular and bold weights: a chosen font comes back with one of them.
TEST(FontChooser, ChosenFontIsWrittenBack)
{
    LOGFONTA font = {};
    font.lfHeight = -17;
    font.lfWeight = 123;
    snprintf(font.lfFaceName, sizeof font.lfFaceName, "%s", "Arial");
    testenv::DialogWatch accept([](HWND dialog) { Press(dialog, IDOK); });
    EXPECT_EQ(1, SelectFont(nullptr, font));
    EXPECT_NE(123, font.lfWeight);
    EXPECT_NE('\0', font.lfFaceName[0]);
}

TEST(ColorChooser, CancelledChooserGivesTheInitialColour)
{
    testenv::DialogWatch cancel([](HWND dialog) { Press(dialog, IDCANCEL); });
    EXPECT_EQ(RGB(12, 34, 56), SelectColor(nullptr, RGB(12, 34, 56)));
    EXPECT_EQ(1, cancel.Seen());
}

TEST(ColorChooser, ColourTypedIntoTheChooserIsReturned)
{
    // Red, green and blue fields of the colour chooser.
    testenv::DialogWatch choose([](HWND dialog) {
        SetDlgItemInt(dialog, 706, 200, FALSE);
        SetDlgItemInt(dialog, 707, 100, FALSE);
        SetDlgItemInt(dialog, 708, 50, FALSE);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(RGB(200, 100, 50), SelectColor(nullptr, RGB(12, 34, 56)));
}

TEST(ColorChooser, CustomColoursAreBlackAgainAtEveryCall)
{
    COLORREF custom[16];
    CHOOSECOLORA chooser;
    for (int call = 0; call < 2; ++call) {
        for (COLORREF& colour : custom)
            colour = RGB(255, 128, 7);
        PrepareColorChooser(chooser, nullptr, RGB(1, 2, 3), custom);
        for (COLORREF colour : custom)
            EXPECT_EQ(RGB(0, 0, 0), colour);
        EXPECT_EQ(custom, chooser.lpCustColors);
        EXPECT_EQ(RGB(1, 2, 3), chooser.rgbResult);
        EXPECT_EQ(static_cast<DWORD>(CC_RGBINIT | CC_ANYCOLOR), chooser.Flags);
    }
}
