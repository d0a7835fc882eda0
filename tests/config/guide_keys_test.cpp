// The user guide's tables of settings and theme keys (docs/guide.md) against the program: the
// keys and their order, the defaults as a save writes them, the ranges that loading enforces and
// the text limits. A key added, renamed or given another default fails here until the guide says so.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "config/config.h"
#include "config/keyschema.h"
#include "config/theme.h"
#include "records.h"
#include "support/testenv.h"

using configtest::FindValue;
using configtest::KeysInOrder;

namespace {

using Key = std::pair<std::string, std::string>;

struct GuideRow {
    Key key;
    std::wstring defaultCell, range, meaning;
};

std::wstring Wide(const std::string& utf8)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(size, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], size);
    return text;
}

// The files hold code page 932 text; the guide is UTF-8.
std::string Cp932(const std::wstring& text)
{
    int size = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring Trim(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    size_t last = text.find_last_not_of(L' ');
    return first == std::wstring::npos ? L"" : text.substr(first, last - first + 1);
}

// The table that follows the marker comment: one row per key, "| `[SECTION] Key` | ... |".
std::vector<GuideRow> GuideTable(const wchar_t* marker)
{
    std::wstring guide = Wide(testenv::ReadFile(testenv::PathFromEnvironment("VARNOK_SOURCE_DIR") + "\\docs\\guide.md"));
    std::vector<GuideRow> rows;
    size_t at = guide.find(marker);
    if (at == std::wstring::npos)
        return rows;
    std::wistringstream lines(guide.substr(at));
    std::wstring line;
    const std::wregex row(LR"(^\| `\[([^\]]+)\] ([^`]+)` \|(.*)\|(.*)\|(.*)\|\s*$)");
    std::getline(lines, line);  // the marker
    while (std::getline(lines, line) && !line.empty() && line[0] == L'|') {
        std::wsmatch match;
        if (std::regex_match(line, match, row))
            rows.push_back({{Cp932(match[1]), Cp932(match[2])}, Trim(match[3]), Trim(match[4]), Trim(match[5])});
    }
    return rows;
}

// The file text a default cell stands for: the text between its backticks, with \xB0 as that one
// byte, or a system colour named in words, as "red,green,blue" of this system's colour.
std::string ExpectedDefault(const std::wstring& cell)
{
    static const std::pair<const wchar_t*, int> systemColours[] = {
        {L"システム色（ボタンの文字色）", COLOR_BTNTEXT},
        {L"システム色（ボタンの影の色）", COLOR_BTNSHADOW},
        {L"システム色（ボタンの表面色）", COLOR_BTNFACE},
        {L"システム色（選択項目の背景色）", COLOR_HIGHLIGHT},
    };
    for (const auto& colour : systemColours) {
        if (cell == colour.first) {
            COLORREF value = GetSysColor(colour.second);
            char text[32];
            snprintf(text, sizeof text, "%d,%d,%d", GetRValue(value), GetGValue(value), GetBValue(value));
            return text;
        }
    }
    if (cell.size() < 2 || cell.front() != L'`' || cell.back() != L'`')
        return "(no default in backticks: " + Cp932(cell) + ")";
    std::string text = Cp932(cell.substr(1, cell.size() - 2));
    for (size_t at; (at = text.find("\\xB0")) != std::string::npos;)
        text.replace(at, 4, "\xB0");
    return text;
}

bool IsNumber(const std::string& text) { return std::regex_match(text, std::regex("-?[0-9]+")); }

bool Hidden(const GuideRow& row) { return (row.range + row.meaning).find(L"保存されません") != std::wstring::npos; }

// Writes one file of the keys given (each section once), loads it, saves it, and gives the saved text.
using RoundTrip = std::string (*)(const std::string& path);

std::string ProfileText(const std::vector<std::pair<Key, std::string>>& values)
{
    std::map<std::string, std::string> sections;
    std::vector<std::string> order;
    for (const auto& value : values) {
        if (!sections.count(value.first.first))
            order.push_back(value.first.first);
        sections[value.first.first] += value.first.second + "=" + value.second + "\r\n";
    }
    std::string text;
    for (const std::string& section : order)
        text += "[" + section + "]\r\n" + sections[section];
    return text;
}

std::string SettingsRoundTrip(const std::string& path)
{
    memset(&Config, 0, sizeof Config);
    EXPECT_TRUE(SetConfigPath(path.c_str()));
    LoadConfig();
    static_cast<void>(SaveConfig());
    return testenv::ReadFile(path);
}

std::string ThemeRoundTrip(const std::string& path)
{
    memset(&Theme, 0, sizeof Theme);
    SetThemeStartupValues();
    snprintf(Config.Theme.File, sizeof Config.Theme.File, "%s", path.c_str());
    LoadTheme();
    static_cast<void>(SaveTheme());
    return testenv::ReadFile(path);
}

class GuideKeyTable : public ::testing::Test {
protected:
    // Loads a file holding these values and gives back what a save then writes.
    std::string LoadAndSave(RoundTrip roundTrip, const std::vector<std::pair<Key, std::string>>& values)
    {
        std::string path = dir.File("probe" + std::to_string(++files) + ".ini");
        if (!values.empty()) {
            EXPECT_TRUE(testenv::WriteFile(path, ProfileText(values)));
        }
        return roundTrip(path);
    }

    void ExpectDefaults(const std::vector<GuideRow>& rows, const std::string& saved,
                        const std::map<Key, std::string>& unsaved)
    {
        for (const GuideRow& row : rows) {
            SCOPED_TRACE("[" + row.key.first + "] " + row.key.second);
            std::string value;
            if (unsaved.count(row.key)) {
                value = unsaved.at(row.key);
            } else {
                EXPECT_TRUE(FindValue(saved, row.key.first, row.key.second, value)) << "the save writes no such key";
            }
            EXPECT_EQ(ExpectedDefault(row.defaultCell), value);
            EXPECT_FALSE(row.range.empty());
            EXPECT_FALSE(row.meaning.empty());
        }
    }

    // A range "A～B（読み込み時に補正）" is enforced on loading: below A gives A, above B gives B and so
    // does a negative number (the comparison is unsigned). Any other whole number is kept as it is.
    // "最大 N バイト" cuts a longer text to N bytes.
    void ExpectRanges(const std::vector<GuideRow>& rows, RoundTrip roundTrip)
    {
        const std::wregex clamped(LR"(^(\d+)～(\d+)（読み込み時に補正）$)");
        const std::wregex limit(LR"(^最大 (\d+) バイト$)");
        std::vector<std::pair<Key, std::string>> high, low, negative;
        std::map<Key, std::string> wantHigh, wantLow, wantNegative;
        int checked = 0;
        for (const GuideRow& row : rows) {
            std::wsmatch match;
            if (Hidden(row))
                continue;
            if (std::regex_match(row.range, match, clamped)) {
                const long lowest = std::stol(match[1]), highest = std::stol(match[2]);
                high.push_back({row.key, std::to_string(highest + 1)});
                wantHigh[row.key] = std::to_string(highest);
                negative.push_back({row.key, "-1"});
                wantNegative[row.key] = std::to_string(highest);
                if (lowest > 0) {
                    low.push_back({row.key, std::to_string(lowest - 1)});
                    wantLow[row.key] = std::to_string(lowest);
                }
            } else if (std::regex_match(row.range, match, limit)) {
                const size_t bytes = std::stoul(match[1]);
                high.push_back({row.key, std::string(bytes + 5, 'x')});
                wantHigh[row.key] = std::string(bytes, 'x');
            } else if (IsNumber(ExpectedDefault(row.defaultCell))) {
                high.push_back({row.key, "12345"});
                wantHigh[row.key] = "12345";
            } else {
                continue;
            }
            ++checked;
        }
        EXPECT_GT(checked, 0);
        const std::pair<const std::vector<std::pair<Key, std::string>>*, const std::map<Key, std::string>*> probes[] = {
            {&high, &wantHigh}, {&low, &wantLow}, {&negative, &wantNegative}};
        for (const auto& probe : probes) {
            if (probe.first->empty())
                continue;
            std::string saved = LoadAndSave(roundTrip, *probe.first);
            for (const auto& want : *probe.second) {
                std::string value;
                FindValue(saved, want.first.first, want.first.second, value);
                EXPECT_EQ(want.second, value) << "[" << want.first.first << "] " << want.first.second;
            }
        }
    }

    testenv::TempDir dir;
    int files = 0;
};

// The guide's range column says what the key schema holds: "A～B（読み込み時に補正）" for a range
// that loading enforces, "（設定画面では A～B）" for one only the dialog offers, "0～N" first for an
// enumeration.
void ExpectSchemaRanges(const std::vector<GuideRow>& rows, KEYTABLE table)
{
    int described = 0;
    for (const KEYSCHEMA& key : table) {
        const Key name = {key.section, key.key};
        SCOPED_TRACE("[" + name.first + "] " + name.second);
        const GuideRow* row = nullptr;
        for (const GuideRow& candidate : rows)
            if (candidate.key == name)
                row = &candidate;
        if (!row) {
            ADD_FAILURE() << "not in the guide";
            continue;
        }
        auto span = [](int low, int high) { return std::to_wstring(low) + L"～" + std::to_wstring(high); };
        if (key.loaded.IsSet()) {
            EXPECT_EQ(0u, row->range.find(span(key.loaded.low, key.loaded.high) + L"（読み込み時に補正）"));
            ++described;
        } else if (key.offered.IsSet()) {
            EXPECT_NE(std::wstring::npos,
                      row->range.find(L"（設定画面では " + span(key.offered.low, key.offered.high) + L"）"));
            ++described;
        }
        if (key.enumCount > 0) {
            EXPECT_EQ(0u, row->range.find(span(0, key.enumCount - 1)));
            ++described;
        }
    }
    EXPECT_GT(described, 0);
}

std::vector<Key> RowKeys(const std::vector<GuideRow>& rows)
{
    std::vector<Key> keys;
    for (const GuideRow& row : rows)
        keys.push_back(row.key);
    return keys;
}

}  // namespace

TEST_F(GuideKeyTable, SettingsTableIsTheProgramsKeys)
{
    const std::vector<GuideRow> rows = GuideTable(L"<!-- settings-keys");
    ASSERT_FALSE(rows.empty()) << "no settings table in docs/guide.md";

    std::vector<Key> program;
    std::map<Key, std::string> unsaved;
    for (const KEYSCHEMA& key : SettingKeys()) {
        program.push_back({key.section, key.key});
        if (!key.saved)
            unsaved[program.back()] = std::to_string(key.defaultNumber);
    }
    EXPECT_EQ(program, RowKeys(rows)) << "the guide must list every settings key, in file order";
    for (const GuideRow& row : rows)
        EXPECT_EQ(unsaved.count(row.key) == 1, Hidden(row)) << row.key.second << ": saved or not, as the guide says";

    ExpectDefaults(rows, LoadAndSave(SettingsRoundTrip, {}), unsaved);
    ExpectRanges(rows, SettingsRoundTrip);
    ExpectSchemaRanges(rows, SettingKeys());
}

TEST_F(GuideKeyTable, ThemeTableIsTheProgramsKeys)
{
    const std::vector<GuideRow> rows = GuideTable(L"<!-- theme-keys");
    ASSERT_FALSE(rows.empty()) << "no theme table in docs/guide.md";

    // A theme save writes every key the program knows, in file order.
    const std::string saved = LoadAndSave(ThemeRoundTrip, {});
    EXPECT_EQ(KeysInOrder(saved), RowKeys(rows)) << "the guide must list every theme key, in file order";

    std::vector<Key> program;
    for (const KEYSCHEMA& key : ThemeKeys())
        program.push_back({key.section, key.key});
    EXPECT_EQ(program, RowKeys(rows));

    ExpectDefaults(rows, saved, {});
    ExpectRanges(rows, ThemeRoundTrip);
    ExpectSchemaRanges(rows, ThemeKeys());
}
