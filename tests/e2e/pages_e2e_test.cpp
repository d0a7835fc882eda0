// The Settings, Alert, Information and Version tabs, driven in the running program.
#include <gtest/gtest.h>
#include <windows.h>
#include <png.h>
#include <zlib.h>
#include <regex>
#include <algorithm>
#include <cstdlib>
#include <vector>
#include <string>

#include "e2e/settingsdriver.h"
#include "resources/resource.h"
#include "support/testenv.h"

using e2e::PageWith;
using e2e::Press;
using e2e::SettingsPanel;

namespace {

// The panels of this file run on display 4, each test on a GPU of its own. `global` joins
// [GLOBAL], `sections` follow; `gpuKeys` describe the GPU (the first of two equal keys counts) and
// `more` ends the driver's scenario.
bool Start(SettingsPanel& panel, unsigned int gpu, const std::string& global, const std::string& sections = "",
           const std::string& gpuKeys = "", const std::string& more = "")
{
    const e2e::GpuPair pair{4, gpu};
    return panel.RunningPanel::Start(
        "[GLOBAL]\n" + pair.Keys() + "X=40\nY=50\n" + global + "[THEME]\nFile=" + panel.themeFile + "\n" + sections,
        pair.Scenario(gpuKeys + "FullName=N\nBusType=3\nFrameBuffer=4194304\n",
                      "Journal=" + panel.folder.File("journal.txt") + "\nJournalTimes=1\n") + more);
}

// When each measurement so far read the temperatures, by the driver's journal.
std::vector<DWORD> MeasurementTimes(const SettingsPanel& panel)
{
    std::vector<DWORD> times;
    const std::string journal = panel.folder.Read("journal.txt");
    for (size_t at = journal.find("GetThermalSettings"); at != std::string::npos;
         at = journal.find("GetThermalSettings", at + 1)) {
        const size_t time = journal.find(" @", at);
        if (time != std::string::npos)
            times.push_back(static_cast<DWORD>(strtoul(journal.c_str() + time + 2, nullptr, 10)));
    }
    return times;
}

LRESULT Ask(HWND page, int id, UINT message, WPARAM wParam = 0, const char* text = nullptr)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(page, id), message, wParam, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 60000,
                        &result);
    return static_cast<LRESULT>(result);
}

void Type(HWND page, int id, const char* text) { Ask(page, id, WM_SETTEXT, 0, text); }
std::string Text(HWND page, int id) { return e2e::EditText(GetDlgItem(page, id)); }

// "SECTION Key=value" entries of the panel's settings file.
void ExpectSaved(const SettingsPanel& panel, std::initializer_list<std::string> entries)
{
    for (const std::string& entry : entries) {
        size_t space = entry.find(' ');
        size_t equals = entry.find('=');
        EXPECT_EQ(entry.substr(equals + 1),
                  e2e::ProfileValue(panel.folder.File("VARNOK.CFG"), entry.substr(0, space).c_str(),
                                    entry.substr(space + 1, equals - space - 1).c_str(), "(none)"))
            << entry;
    }
}

}  // namespace

TEST(SettingsPages, ApplyLivesOnAfterCancelAndOkSavesItWithRefusedNumbersKeptAndTheNewPeriod)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 0, "Timer=5\n", "[ILLUMINATION]\nEnable=1\nSync=2\n"));
    const std::string before = panel.folder.Read("VARNOK.CFG");
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND settings = PageWith(dialog, IDC_DEVICE_EDIT);
    HWND alert = PageWith(dialog, IDC_ALERT_ENABLE);
    EXPECT_EQ(2, Ask(settings, IDC_LED_SYNC, CB_GETCURSEL));
    Type(settings, IDC_LIMIT_EDIT, "300");
    Type(settings, IDC_MEMORY_RATE_EDIT, "abc");
    Ask(settings, IDC_STABLE, BM_SETCHECK, BST_CHECKED);
    Type(alert, IDC_ALERT_CORE_EDIT, "120");
    Type(alert, IDC_ALERT_AMBIENT_EDIT, "30");
    Type(alert, IDC_ALERT_FILE, "C:\\sounds\\hot.wav");
    Press(dialog, IDC_APPLY);
    Press(dialog, IDCANCEL);
    EXPECT_EQ(before, panel.folder.Read("VARNOK.CFG"));
    EXPECT_FALSE(testenv::FileExists(panel.themeFile));

    // The next opening shows what Apply put into the record.
    dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    settings = PageWith(dialog, IDC_DEVICE_EDIT);
    EXPECT_EQ("160", Text(settings, IDC_LIMIT_EDIT));
    EXPECT_EQ("120", Text(PageWith(dialog, IDC_ALERT_ENABLE), IDC_ALERT_CORE_EDIT));
    Type(settings, IDC_TIMER_EDIT, "1");
    SetWindowPos(panel.window, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));
    ExpectSaved(panel, {"GLOBAL Timer=1", "GLOBAL Limit=160", "GLOBAL MemoryRate=2", "GLOBAL Stable=1",
                        "GLOBAL X=123", "GLOBAL Y=77", "ILLUMINATION Sync=2", "ALERT Core=120", "ALERT Ambient=80",
                        "ALERT File=C:\\sounds\\hot.wav"});
    // The new period in effect: measurements 1 second apart, not 5. A busy machine can only stretch
    // a period, never shorten one, so the closest two of four tell the periods apart.
    size_t measured = panel.Measurements();
    EXPECT_TRUE(e2e::WaitFor([&] { return panel.Measurements() >= measured + 4; }));
    const std::vector<DWORD> times = MeasurementTimes(panel);
    ASSERT_GE(times.size(), measured + 4);
    DWORD closest = ~0u;
    for (size_t i = measured + 1; i < times.size(); ++i)
        closest = std::min(closest, times[i] - times[i - 1]);
    EXPECT_LT(closest, 4000u);
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsPages, ABoardWithoutLedClearsEnableAndSyncEvenWhenCancelled)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 1, "Timer=1\n", "[ILLUMINATION]\nEnable=1\nSync=3\nValue=40\n", "Illumination=0\n"));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND settings = PageWith(dialog, IDC_DEVICE_EDIT);
    for (int id : {IDC_LED_VALUE_EDIT, IDC_LED_VALUE_UPDOWN, IDC_LED_ENABLE, IDC_LED_SYNC})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(settings, id))) << id;
    EXPECT_EQ(BST_UNCHECKED, Ask(settings, IDC_LED_ENABLE, BM_GETCHECK));
    Press(dialog, IDCANCEL);
    panel.Send(WM_COMMAND, CMD_CONFIG_SAVE);
    ExpectSaved(panel, {"ILLUMINATION Enable=0", "ILLUMINATION Sync=0", "ILLUMINATION Value=40"});
    EXPECT_NE(std::string::npos, panel.folder.Read("journal.txt")
                                     .find("QueryIlluminationSupport gpu=4.1 attribute=0 version=0x10018 -> 0"));
    EXPECT_TRUE(panel.Exit());
}

TEST(InformationAndVersion, TheScriptedBoardTheProgramsVersionAndTheCountersOnlyWithDebug)
{
    for (int debug : {1, 0}) {
        SettingsPanel panel;
        ASSERT_TRUE(Start(panel, 2 + debug, "Timer=1\nDebug=" + std::to_string(debug) + "\n", "",
                          "FullName=GeForce Test 980\nBios=84.04.1F.00.01\nPcieWidth=16\nAgpAperture=262144\n"
                          "Sensors=1\nSensor0=1,1\nSensor0Limits=0,127\n",
                          "[fail]\nNvAPI_GPU_GetTachReading=always\n"));
        HWND dialog = panel.OpenDialog();
        ASSERT_NE(nullptr, dialog);
        HWND information = PageWith(dialog, IDC_INFO_ADAPTER);
        const std::pair<int, const char*> identity[] = {
            {IDC_INFO_ADAPTER, "GeForce Test 980"}, {IDC_INFO_BIOS, "84.04.1F.00.01"},
            {IDC_INFO_DRIVER, "347.9 (r347_00)"},   {IDC_INFO_TEMP_LIMIT, "127"},
            {IDC_INFO_BUS_MODE, "PCI-E"},           {IDC_INFO_BUS_RATE, "16"},
            {IDC_INFO_APERTURE, "256"},             {IDC_INFO_MEMORY, "4096"}};
        for (const auto& field : identity)
            EXPECT_EQ(field.second, Text(information, field.first));

        HWND version = PageWith(dialog, IDC_VERSION_FILE);
        EXPECT_EQ("VARNOK GPU Monitor", Text(version, IDC_VERSION_DESCRIPTION));
        EXPECT_TRUE(std::regex_match(Text(version, IDC_VERSION_FILE), std::regex(R"(Version \d+\.\d+\.\d+\.\d+ \(x64\))")));
        EXPECT_EQ("simgpu NVAPI 1.0", Text(version, IDC_VERSION_NVAPI));
        EXPECT_EQ(std::string("LIBPNG Version ") + png_get_libpng_ver(nullptr) + " , ZLIB Version " + zlibVersion(),
                  Text(version, IDC_VERSION_LIBRARIES));
        std::string lines;
        for (int id : {IDC_VERSION_DEBUG_LINE1, IDC_VERSION_DEBUG_LINE2, IDC_VERSION_DEBUG_LINE3, IDC_VERSION_DEBUG_LINE4})
            lines += Text(version, id) + "|";
        // Every measurement so far failed to read the fan speed.
        std::regex counters(R"(Critical Section 'Probe' Error : \d+\|Critical Section 'Update' Error : \d+\|)"
                            R"(API Error Temp/Clock/Fan : 0/0/[1-9]\d*\|\|)");
        EXPECT_TRUE(debug ? std::regex_match(lines, counters) : lines == "||||") << lines;
        Press(dialog, IDCANCEL);
        EXPECT_TRUE(panel.Exit());
    }
}
