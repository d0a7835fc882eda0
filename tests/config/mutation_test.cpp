// Settings and theme files are edited by hand and passed around; these tests load thousands of
// randomly damaged files (fixed seed, so every run sees the same ones) and check that each load
// ends with a sound record, that each damaged theme paints a frame of the panel, and that saving
// that record and loading it again gives it back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/dpi.h"
#include "config/config.h"
#include "config/theme.h"
#include "gpu/sampledata.h"
#include "records.h"
#include "render/hover.h"
#include "render/panel.h"
#include "render/panelres.h"
#include "support/panelwindow.h"
#include "support/testenv.h"
#include "ui/resourcemodule.h"

using configtest::IsTerminated;

namespace {

// How many damaged files are loaded, and how many of them are also saved and loaded again. Under
// Wine every key is one access to the file (a settings load takes 2 to 5 ms, a theme load 9 to
// 15 ms, a save 6 to 10 ms, depending on the machine's load), so these counts keep each test at a
// few seconds. Runs with eight times as many files, and with other seeds, found nothing more.
constexpr int SettingsFiles = 500;
constexpr int SettingsRoundTripEvery = 4;
constexpr int ThemeFiles = 250;
constexpr int ThemeRoundTripEvery = 2;

class Mutator {
public:
    explicit Mutator(unsigned int seed) : random(seed) {}

    std::string Mutate(const std::string& original)
    {
        std::vector<std::string> lines = SplitLines(original);
        const int steps = 1 + Below(6);
        bool truncate = false;
        for (int step = 0; step < steps; ++step) {
            switch (Below(10)) {
            case 0:
            case 1:
            case 2:
                ReplaceValue(lines);
                break;
            case 3:
                if (!lines.empty())
                    lines.erase(lines.begin() + Below(lines.size()));
                break;
            case 4:
                if (!lines.empty())
                    lines.insert(lines.begin() + Below(lines.size() + 1), lines[Below(lines.size())]);
                break;
            case 5:
                lines.insert(lines.begin() + Below(lines.size() + 1), JunkLine());
                break;
            case 6:
                if (!lines.empty())
                    FlipByte(lines[Below(lines.size())]);
                break;
            case 7:
                if (!lines.empty())
                    ChangeCase(lines[Below(lines.size())]);
                break;
            case 8:
                ReplaceValue(lines);
                ReplaceValue(lines);
                break;
            case 9:
                truncate = true;
                break;
            }
        }
        std::string result;
        for (std::string& line : lines) {
            if (IsNamelessSectionHeader(line))
                line.insert(0, ";");
            result += line + (Below(20) == 0 ? "\n" : "\r\n");
        }
        if (truncate && !result.empty())
            result.resize(Below(result.size()));
        return result;
    }

private:
    // Wine rewrites the whole file on every profile write and leaves out section headers without
    // a name, which moves the keys below such a header into the section before it. That is the
    // platform's doing and would make the save-and-load comparison fail, so none are generated.
    static bool IsNamelessSectionHeader(const std::string& line)
    {
        size_t open = line.find_first_not_of(" \t");
        if (open == std::string::npos || line[open] != '[')
            return false;
        size_t close = line.rfind(']');
        return close != std::string::npos && close > open &&
               line.find_first_not_of(" \t", open + 1) == close;
    }

    size_t Below(size_t bound) { return bound == 0 ? 0 : random() % bound; }

    static std::vector<std::string> SplitLines(const std::string& text)
    {
        std::vector<std::string> lines;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            start = end + 1;
        }
        return lines;
    }

    // One byte that may stand inside a value: anything but a line break or a zero.
    char ValueByte()
    {
        static const char common[] = " \t\"'%,;=[]-+.0123456789abcxyzABCXYZ\\#*$";
        switch (Below(8)) {
        case 0:
            return static_cast<char>(0x80 + Below(0x80));
        case 1: {
            char control = static_cast<char>(1 + Below(31));
            return control == '\r' || control == '\n' ? ' ' : control;
        }
        default:
            return common[Below(sizeof common - 1)];
        }
    }

    std::string RandomText()
    {
        static const size_t lengths[] = {0, 1, 2, 5, 14, 15, 16, 17, 31, 32, 33, 63, 64, 127, 128, 129, 200, 2046, 2047, 2048, 2049, 3000};
        size_t length = Below(3) == 0 ? lengths[Below(std::size(lengths))] : Below(40);
        std::string text;
        while (text.size() < length) {
            if (Below(6) == 0) {
                // A double-byte character of code page 932, or only its lead byte.
                text += static_cast<char>(Below(2) ? 0x81 + Below(0x1F) : 0xE0 + Below(0x1D));
                if (Below(5))
                    text += static_cast<char>(0x40 + Below(0xBD));
            } else {
                text += ValueByte();
            }
        }
        return text;
    }

    std::string RandomNumber()
    {
        static const char* const numbers[] = {"0", "-1", "-5", "1", "120", "121", "99", "100", "200", "201",
                                              "4294967295", "4294967296", "99999999999999999999", "-2147483648",
                                              "2147483647", "0x7fffffff", "0xFFFFFFFF", "0x", "+12", "  42  ",
                                              "12abc", "-", "1e9", "0012", "--3", "\"7\"", "255,255,255",
                                              "256,-1,1000", "1,2", ",,,"};
        if (Below(2))
            return numbers[Below(std::size(numbers))];
        return std::to_string(static_cast<long long>(random()) - 2147483648LL);
    }

    // Colour and font forms: a list of numbers, perhaps with a face name after the last comma.
    std::string RandomList()
    {
        std::string text;
        const size_t count = Below(16);
        for (size_t i = 0; i < count; ++i) {
            if (i)
                text += ',';
            text += Below(8) ? std::to_string(static_cast<int>(random() % 2000) - 1000) : RandomNumber();
        }
        if (Below(2))
            text += "," + RandomText();
        return text;
    }

    void ReplaceValue(std::vector<std::string>& lines)
    {
        if (lines.empty())
            return;
        std::string& line = lines[Below(lines.size())];
        size_t equals = line.find('=');
        if (equals == std::string::npos)
            return;
        std::string value;
        switch (Below(3)) {
        case 0:
            value = RandomNumber();
            break;
        case 1:
            value = RandomList();
            break;
        default:
            value = RandomText();
            break;
        }
        line = line.substr(0, equals + 1) + value;
    }

    std::string JunkLine()
    {
        switch (Below(5)) {
        case 0:
            return "[" + RandomText() + "]";
        case 1:
            return "=" + RandomText();
        case 2:
            return RandomText() + "=" + RandomText();
        case 3:
            return "; " + RandomText();
        default:
            return RandomText();
        }
    }

    void FlipByte(std::string& line)
    {
        if (line.empty())
            return;
        char byte = static_cast<char>(Below(256));
        line[Below(line.size())] = byte == '\n' || byte == '\r' || byte == '\0' ? '\x81' : byte;
    }

    void ChangeCase(std::string& line)
    {
        for (char& c : line)
            if (c >= 'a' && c <= 'z' && Below(2))
                c = static_cast<char>(c - 'a' + 'A');
            else if (c >= 'A' && c <= 'Z' && Below(2))
                c = static_cast<char>(c - 'A' + 'a');
    }

    std::mt19937 random;
};

void ExpectSoundConfig()
{
    EXPECT_GE(Config.Global.Timer, 1u);
    EXPECT_LE(Config.Global.Timer, 120u);
    EXPECT_GE(Config.Global.Limit, 100u);
    EXPECT_LE(Config.Global.Limit, 200u);
    EXPECT_GE(Config.Global.MemoryRate, 1u);
    EXPECT_LE(Config.Global.MemoryRate, 4u);
    EXPECT_LE(Config.Illumination.Value, 100u);
    EXPECT_TRUE(IsTerminated(Config.Alert.File, sizeof Config.Alert.File));
    EXPECT_TRUE(IsTerminated(Config.Log.File, sizeof Config.Log.File));
    EXPECT_TRUE(IsTerminated(Config.Log.Format, sizeof Config.Log.Format));
    EXPECT_TRUE(IsTerminated(Config.Taskbar.Format, sizeof Config.Taskbar.Format));
    EXPECT_TRUE(IsTerminated(Config.Tooltip.Title, sizeof Config.Tooltip.Title));
    EXPECT_TRUE(IsTerminated(Config.Tooltip.Format, sizeof Config.Tooltip.Format));
    EXPECT_TRUE(IsTerminated(Config.Theme.File, sizeof Config.Theme.File));
}

void ExpectSoundTheme()
{
    const COLORREF colors[] = {Theme.Color.Title,  Theme.Color.Frame,  Theme.Color.Label,  Theme.Color.Value,
                               Theme.Shadow.Title, Theme.Shadow.Frame, Theme.Shadow.Label, Theme.Shadow.Value,
                               Theme.Skin.Color,   Theme.Mask.Color,   Theme.Frame.Color,  Theme.Unit.Color,
                               Theme.Unit.Shadow,  Theme.Grid.Color};
    for (COLORREF color : colors)
        EXPECT_LE(color, 0xFFFFFFu);
    for (const THEMETRACE& trace : Theme.Trace)
        EXPECT_LE(trace.Color, 0xFFFFFFu);
    for (const LOGFONTA* font : {&Theme.Font.Title, &Theme.Font.Frame, &Theme.Font.Label, &Theme.Font.Value, &Theme.Unit.Font})
        EXPECT_TRUE(IsTerminated(font->lfFaceName, sizeof font->lfFaceName));
    const char(*labels)[16] = &Theme.Label.Core;
    for (size_t i = 0; i < sizeof Theme.Label / 16; ++i)
        EXPECT_TRUE(IsTerminated(labels[i], 16)) << "label " << i;
    EXPECT_TRUE(IsTerminated(Theme.Skin.File, sizeof Theme.Skin.File));
    EXPECT_TRUE(IsTerminated(Theme.Mask.File, sizeof Theme.Mask.File));
    EXPECT_TRUE(IsTerminated(Theme.Unit.Format, sizeof Theme.Unit.Format));
}

// The file as text a reader can paste back into a test: bytes outside ASCII as escapes.
std::string Printable(const std::string& contents)
{
    std::string text;
    for (unsigned char c : contents) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            text += static_cast<char>(c);
        } else {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        }
    }
    return text;
}

class DamagedFiles : public ::testing::Test {
protected:
    testenv::TempDir dir;
};

// A panel made from the program's template, with a full history, the fault cross and the cursor
// line, so that every font, pen and brush of a theme is drawn with.
class PanelForThemes {
public:
    PanelForThemes()
    {
        memset(&Sample, 0, sizeof Sample);
        Sample.HistoryCount = HISTORY_SIZE;
        for (unsigned int i = 0; i < HISTORY_SIZE; ++i) {
            HISTORYENTRY& entry = Sample.History[i];
            entry.CoreTemp = entry.AmbientTemp = entry.UsageCore = entry.FanLevel = i % 120;
            entry.ClockCore = entry.ClockMemory = entry.ClockShader = 10.0 * i;
        }
        Sample.BoostClockCore = Sample.BoostClockMemory = Sample.BoostClockShader = 1000.0;
        Sample.ClockShader = 500.0;
        Sample.Fault = 1;
        Config.Global.Limit = 150;
        Config.Global.Usage = 1;
        savedResources_ = ResourceModule;
        ResourceModule = panel.Resources();
        laidOut_ = LayOutPanel(WindowDpi(panel.Handle()));
    }
    ~PanelForThemes()
    {
        FreeRenderResources();
        ResourceModule = savedResources_;
    }

    // One frame into the back buffer, from render resources built from the theme record.
    bool Paint()
    {
        FreeRenderResources();
        if (!panel.Handle() || !laidOut_ || !BuildRenderResources(panel.Handle()))
            return false;
        HoverPosition = {PanelRes.graphX + PanelRes.graphW / 2, PanelRes.graphY + PanelRes.graphH / 2};
        ComposePanel(panel.Handle(), PanelRes.backBuffer.hdc);
        return true;
    }

private:
    testenv::PanelWindow panel;
    HINSTANCE savedResources_;
    bool laidOut_;
};

}  // namespace

TEST_F(DamagedFiles, SettingsLoadSoundlyAndSurviveASave)
{
    memset(&Config, 0, sizeof Config);
    const std::string basePath = dir.File("base.cfg");
    ASSERT_TRUE(SetConfigPath(basePath.c_str()));
    LoadConfig();
    Config.Global.Debug = 1;
    ASSERT_TRUE(SaveConfig());
    const std::string original = "; hand-written\r\n[GLOBAL]\r\nDebug=1\r\nDummy=0\r\n" + testenv::ReadFile(basePath) +
                                 "[FOREIGN]\r\nKey=value\r\n";

    Mutator mutator(20240611u);
    for (int round = 0; round < SettingsFiles && !HasFailure(); ++round) {
        const std::string damaged = mutator.Mutate(original);
        char name[32];
        snprintf(name, sizeof name, "m%05d.cfg", round);
        const std::string path = dir.File(name);
        ASSERT_TRUE(testenv::WriteFile(path, damaged));
        ASSERT_TRUE(SetConfigPath(path.c_str()));

        memset(&Config, 0xCD, sizeof Config);
        LoadConfig();
        ExpectSoundConfig();

        if (round % SettingsRoundTripEvery == 0) {
            ASSERT_TRUE(SaveConfig());
            const CONFIG saved = Config;
            memset(&Config, 0x5A, sizeof Config);
            LoadConfig();
            configtest::ExpectSameConfig(saved, Config);
        }
        if (HasFailure())
            ADD_FAILURE() << "round " << round << ", file:\n" << Printable(damaged);
    }
}

TEST_F(DamagedFiles, ThemesLoadSoundlyPaintAndSurviveASave)
{
    PanelForThemes panel;
    memset(&Theme, 0, sizeof Theme);
    SetThemeStartupValues();
    const std::string basePath = dir.File("base.vkt");
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", basePath.c_str());
    LoadTheme();
    ASSERT_TRUE(SaveTheme());
    const std::string original = "; theme notes\r\n" + testenv::ReadFile(basePath) + "[AUTHOR]\r\nName=someone\r\n";

    Mutator mutator(19700101u);
    for (int round = 0; round < ThemeFiles && !HasFailure(); ++round) {
        const std::string damaged = mutator.Mutate(original);
        char name[32];
        snprintf(name, sizeof name, "m%05d.vkt", round);
        const std::string path = dir.File(name);
        ASSERT_TRUE(testenv::WriteFile(path, damaged));
        snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", path.c_str());

        memset(&Theme, 0, sizeof Theme);
        SetThemeStartupValues();
        LoadTheme();
        ExpectSoundTheme();
        EXPECT_TRUE(panel.Paint());

        if (round % ThemeRoundTripEvery == 0) {
            ASSERT_TRUE(SaveTheme());
            const THEMEDATA saved = Theme;
            memset(&Theme, 0, sizeof Theme);
            SetThemeStartupValues();
            LoadTheme();
            configtest::ExpectSameTheme(saved, Theme);
        }
        if (HasFailure())
            ADD_FAILURE() << "round " << round << ", file:\n" << Printable(damaged);
    }
}
