#include "simdriver.h"

#include <windows.h>

#include <cstring>

#include "config/config.h"
#include "gpu/nvapiclient.h"

void ResetConfig()
{
    memset(&Config, 0, sizeof Config);
    snprintf(Config.Tooltip.Format, sizeof Config.Tooltip.Format, "%s", "#%d: %s - %s");
}

void SimDriverTest::SetUp()
{
    ASSERT_EQ(nullptr, GetModuleHandleA("NVAPI64.DLL")) << "a driver library is still loaded";
    std::string dll = testenv::PathFromEnvironment("VARNOK_SIMGPU_DLL");
    ASSERT_TRUE(testenv::FileExists(dll)) << "VARNOK_SIMGPU_DLL: " << dll;
    ASSERT_TRUE(CopyFileA(dll.c_str(), dir.File("nvapi64.dll").c_str(), FALSE));
    ASSERT_TRUE(SetDllDirectoryA(dir.Path().c_str()));
    scenarioPath = dir.File("scenario.ini");
    journalPath = dir.File("journal.txt");
    WriteScenario("");
    SetEnvironmentVariableA("VARNOK_SIMGPU", scenarioPath.c_str());
    ResetConfig();
}

void SimDriverTest::TearDown()
{
    bool leftLoaded = NvAPI_IsLoaded() || GetModuleHandleA("NVAPI64.DLL") != nullptr;
    while (NvAPI_IsLoaded())
        NvAPI_Unload();
    for (int i = 0; i < 16 && GetModuleHandleA("NVAPI64.DLL"); ++i)
        FreeLibrary(GetModuleHandleA("NVAPI64.DLL"));
    SetDllDirectoryA(nullptr);
    SetEnvironmentVariableA("VARNOK_SIMGPU", nullptr);
    EXPECT_FALSE(leftLoaded) << "the test ended with the driver library loaded";
}

void SimDriverTest::WriteScenario(const std::string& text, bool withJournal)
{
    const std::string journal = withJournal ? "Journal=" + journalPath + "\n" : std::string();
    std::string scenario = text;
    size_t driver = scenario.find("[driver]\n");
    if (driver == std::string::npos)
        scenario = "[driver]\n" + journal + scenario;
    else
        scenario.insert(driver + strlen("[driver]\n"), journal);
    ASSERT_TRUE(testenv::WriteFile(scenarioPath, scenario));
}

std::string SimDriverTest::Journal() const { return testenv::ReadFile(journalPath); }

std::vector<std::string> SimDriverTest::JournalLines(const std::string& function) const
{
    std::vector<std::string> lines;
    std::string journal = Journal();
    size_t start = 0;
    while (start < journal.size()) {
        size_t end = journal.find('\n', start);
        if (end == std::string::npos)
            end = journal.size();
        std::string line = journal.substr(start, end - start);
        if (line.compare(0, function.size() + 1, function + " ") == 0)
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
