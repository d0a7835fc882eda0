// The Settings, Alert, Information and Version tabs, driven in the running program.
#include <gtest/gtest.h>

#include <windows.h>
#include <png.h>
#include <zlib.h>

#include <regex>
#include <string>

#include "app/mainwindow.h"
#include "e2e/settingsdriver.h"
#include "resources/resource.h"
#include "support/testenv.h"

using e2e::EditText;
using e2e::PageWith;
using e2e::Press;
using e2e::SettingsPanel;

namespace {

// The tests of this file run their panels on display 4, each test on a GPU of its own.
e2e::GpuPair Pair(unsigned int gpu) { return e2e::GpuPair{4, gpu}; }

// A panel whose settings and driver the test writes: `global` joins [GLOBAL], `sections` follow,
// `gpuKeys` describe the pair's GPU and `more` is appended to the scenario.
bool Start(SettingsPanel& panel, unsigned int gpu, const std::string& global, const std::string& sections = "",
           const std::string& gpuKeys = "", const std::string& more = "")
{
    const e2e::GpuPair pair = Pair(gpu);
    // The first of two equal keys counts: the test's own come first.
    std::string scenario = pair.Scenario(gpuKeys + "FullName=N\nBusType=3\nFrameBuffer=4194304\n",
                                         "Journal=" + panel.folder.File("journal.txt") + "\n") + more;
    std::string settings = "[GLOBAL]\n" + pair.Keys() + "X=40\nY=50\n" + global + "[THEME]\nFile=" +
                           panel.themeFile + "\n" + sections;
    return panel.RunningPanel::Start(settings, scenario);
}

void Type(HWND page, int id, const char* text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(page, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 60000,
                        &result);
}

LRESULT Ask(HWND page, int id, UINT message, WPARAM wParam = 0)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(page, id), message, wParam, 0, SMTO_BLOCK, 60000, &result);
    return static_cast<LRESULT>(result);
}

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

// "[SECTION] Key=value" entries, each checked in the panel's settings file.
void ExpectSaved(const SettingsPanel& panel, std::initializer_list<const char*> entries)
{
    const std::string path = panel.folder.File("VARNOK.CFG");
    for (std::string entry : entries) {
        size_t close = entry.find("] ");
        size_t equals = entry.find('=');
        std::string section = entry.substr(1, close - 1);
        std::string key = entry.substr(close + 2, equals - close - 2);
        char value[256] = {};
        GetPrivateProfileStringA(section.c_str(), key.c_str(), "(none)", value, sizeof value, path.c_str());
        EXPECT_EQ(entry.substr(equals + 1), value) << entry;
    }
}

// Seconds that four more measurements take: about 4 with a one-second period, 20 with five.
double SecondsForFourMeasurements(const SettingsPanel& panel)
{
    size_t before = panel.Measurements();
    DWORD start = GetTickCount();
    e2e::WaitFor([&] { return panel.Measurements() >= before + 4; });
    return (GetTickCount() - start) / 1000.0;
}

const double OneSecondPeriodLimit = 12.0;

}  // namespace

TEST(SettingsPages, OkStoresBothTabsKeepsRefusedNumbersAndTheNewPeriodRunsAtOnce)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 0, "Timer=5\n", "[ILLUMINATION]\nEnable=1\nSync=2\n[ALERT]\nCore=100\nAmbient=80\n"));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND settings = PageWith(dialog, IDC_DEVICE_EDIT);
    HWND alert = PageWith(dialog, IDC_ALERT_ENABLE);
    ASSERT_TRUE(settings && alert);
    EXPECT_EQ("5", EditText(GetDlgItem(settings, IDC_TIMER_EDIT)));
    EXPECT_EQ(2, Ask(settings, IDC_LED_SYNC, CB_GETCURSEL));
    EXPECT_EQ(BST_CHECKED, Ask(settings, IDC_LED_ENABLE, BM_GETCHECK));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(settings, IDC_LED_SYNC)));

    Type(settings, IDC_TIMER_EDIT, "1");
    Type(settings, IDC_LIMIT_EDIT, "300");
    Type(settings, IDC_MEMORY_RATE_EDIT, "abc");
    Type(settings, IDC_LOG_FORMAT, "%3d|%3d");
    Ask(settings, IDC_LED_SYNC, CB_SETCURSEL, 3);
    Ask(settings, IDC_STABLE, BM_SETCHECK, BST_CHECKED);
    Type(alert, IDC_ALERT_CORE_EDIT, "120");
    Type(alert, IDC_ALERT_AMBIENT_EDIT, "30");
    Type(alert, IDC_ALERT_FILE, "C:\\sounds\\hot.wav");
    SetWindowPos(panel.window, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Press(dialog, IDOK);
    EXPECT_FALSE(IsWindow(dialog));

    ExpectSaved(panel, {"[GLOBAL] Timer=1", "[GLOBAL] Limit=160", "[GLOBAL] MemoryRate=2", "[GLOBAL] Stable=1",
                        "[GLOBAL] X=123", "[GLOBAL] Y=77", "[ILLUMINATION] Enable=1", "[ILLUMINATION] Sync=3",
                        "[ALERT] File=C:\\sounds\\hot.wav", "[ALERT] Core=120", "[ALERT] Ambient=80",
                        "[LOG] Format=%3d|%3d"});
    EXPECT_LT(SecondsForFourMeasurements(panel), OneSecondPeriodLimit);
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsPages, AppliedValuesLiveOnAfterCancelUnsavedUntilTheNextSave)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 1, "Timer=5\n"));
    const std::string before = panel.folder.Read("VARNOK.CFG");
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND settings = PageWith(dialog, IDC_DEVICE_EDIT);
    Type(settings, IDC_TIMER_EDIT, "1");
    Ask(settings, IDC_USAGE, BM_SETCHECK, BST_UNCHECKED);
    Type(PageWith(dialog, IDC_ALERT_ENABLE), IDC_ALERT_CORE_EDIT, "77");
    Press(dialog, IDC_APPLY);
    Press(dialog, IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(before, panel.folder.Read("VARNOK.CFG"));
    EXPECT_FALSE(testenv::FileExists(panel.themeFile));
    EXPECT_LT(SecondsForFourMeasurements(panel), OneSecondPeriodLimit);

    // The next opening reads the applied values from the record.
    dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("1", EditText(GetDlgItem(PageWith(dialog, IDC_DEVICE_EDIT), IDC_TIMER_EDIT)));
    EXPECT_EQ("77", EditText(GetDlgItem(PageWith(dialog, IDC_ALERT_ENABLE), IDC_ALERT_CORE_EDIT)));
    Press(dialog, IDCANCEL);

    panel.Send(WM_COMMAND, CMD_CONFIG_SAVE);
    ExpectSaved(panel, {"[GLOBAL] Timer=1", "[GLOBAL] Usage=0", "[ALERT] Core=77"});
    EXPECT_TRUE(panel.Exit());
}

TEST(SettingsPages, ABoardWithoutLedClearsEnableAndSyncEvenWhenCancelled)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 2, "Timer=1\n", "[ILLUMINATION]\nEnable=1\nSync=3\nValue=40\n", "Illumination=0\n"));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND settings = PageWith(dialog, IDC_DEVICE_EDIT);
    for (int id : {IDC_LED_VALUE_EDIT, IDC_LED_VALUE_UPDOWN, IDC_LED_ENABLE, IDC_LED_SYNC})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(settings, id))) << id;
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(settings, IDC_TIMER_EDIT)));
    EXPECT_EQ(BST_UNCHECKED, Ask(settings, IDC_LED_ENABLE, BM_GETCHECK));
    EXPECT_EQ(0, Ask(settings, IDC_LED_SYNC, CB_GETCURSEL));
    EXPECT_EQ("40", EditText(GetDlgItem(settings, IDC_LED_VALUE_EDIT)));
    Press(dialog, IDCANCEL);

    panel.Send(WM_COMMAND, CMD_CONFIG_SAVE);
    ExpectSaved(panel, {"[ILLUMINATION] Enable=0", "[ILLUMINATION] Sync=0", "[ILLUMINATION] Value=40"});
    EXPECT_TRUE(Has(panel.folder.Read("journal.txt"),
                    "NvAPI_GPU_QueryIlluminationSupport gpu=4.2 attribute=0 version=0x10018 -> 0"));
    EXPECT_TRUE(panel.Exit());
}

TEST(InformationAndVersion, TheScriptedBoardTheProgramsVersionAndTheCountersWithDebug)
{
    SettingsPanel panel;
    ASSERT_TRUE(Start(panel, 3, "Timer=1\nDebug=1\n", "",
                      "FullName=GeForce Test 980\nBios=84.04.1F.00.01\nAgpRate=0\nPcieWidth=16\n"
                      "AgpAperture=262144\nSensors=1\nSensor0=1,1\nSensor0Limits=0,127\n",
                      "[fail]\nNvAPI_GPU_GetTachReading=always\n"));
    HWND dialog = panel.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    HWND information = PageWith(dialog, IDC_INFO_ADAPTER);
    ASSERT_NE(nullptr, information);
    auto text = [&](HWND page, int id) { return EditText(GetDlgItem(page, id)); };
    EXPECT_EQ("GeForce Test 980", text(information, IDC_INFO_ADAPTER));
    EXPECT_EQ("84.04.1F.00.01", text(information, IDC_INFO_BIOS));
    EXPECT_EQ("347.9 (r347_00)", text(information, IDC_INFO_DRIVER));
    EXPECT_EQ("127", text(information, IDC_INFO_TEMP_LIMIT));
    EXPECT_EQ("PCI-E", text(information, IDC_INFO_BUS_MODE));
    EXPECT_EQ("16", text(information, IDC_INFO_BUS_RATE));
    EXPECT_EQ("256", text(information, IDC_INFO_APERTURE));
    EXPECT_EQ("4096", text(information, IDC_INFO_MEMORY));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(information, IDC_INFO_BAR_CORE)));

    HWND version = PageWith(dialog, IDC_VERSION_FILE);
    ASSERT_NE(nullptr, version);
    EXPECT_EQ("VARNOK GPU Monitor", text(version, IDC_VERSION_DESCRIPTION));
    EXPECT_TRUE(std::regex_match(text(version, IDC_VERSION_FILE), std::regex(R"(Version \d+\.\d+\.\d+\.\d+ \(x64\))")))
        << text(version, IDC_VERSION_FILE);
    EXPECT_TRUE(Has(text(version, IDC_VERSION_COPYRIGHT), "VARNOK"));
    EXPECT_EQ("simgpu NVAPI 1.0", text(version, IDC_VERSION_NVAPI));
    EXPECT_EQ(std::string("LIBPNG Version ") + png_get_libpng_ver(nullptr) + " , ZLIB Version " + zlibVersion(),
              text(version, IDC_VERSION_LIBRARIES));
    EXPECT_EQ("Critical Section 'Probe' Error : 0", text(version, IDC_VERSION_DEBUG_LINE1));
    EXPECT_TRUE(std::regex_match(text(version, IDC_VERSION_DEBUG_LINE2), std::regex(R"(Critical Section 'Update' Error : \d+)")));
    // Every measurement so far failed to read the fan speed.
    std::smatch counts;
    std::string errors = text(version, IDC_VERSION_DEBUG_LINE3);
    ASSERT_TRUE(std::regex_match(errors, counts, std::regex(R"(API Error Temp/Clock/Fan : 0/0/(\d+))"))) << errors;
    EXPECT_GE(std::stoi(counts[1]), 1);
    EXPECT_EQ("", text(version, IDC_VERSION_DEBUG_LINE4));
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(panel.Exit());

    SettingsPanel quiet;
    ASSERT_TRUE(Start(quiet, 4, "Timer=1\nDebug=0\n", "", "", "[fail]\nNvAPI_GPU_GetTachReading=always\n"));
    dialog = quiet.OpenDialog();
    ASSERT_NE(nullptr, dialog);
    version = PageWith(dialog, IDC_VERSION_FILE);
    for (int id : {IDC_VERSION_DEBUG_LINE1, IDC_VERSION_DEBUG_LINE2, IDC_VERSION_DEBUG_LINE3, IDC_VERSION_DEBUG_LINE4})
        EXPECT_EQ("", text(version, id)) << id;
    EXPECT_EQ("VARNOK GPU Monitor", text(version, IDC_VERSION_DESCRIPTION));
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(quiet.Exit());
}
