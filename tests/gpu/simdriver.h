#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testenv.h"

// A private copy of the simulated driver in the test's own folder, found by the program's
// LoadLibrary("NVAPI64.DLL") through the DLL directory, with a scenario file of the test's own
// that names a journal. The driver is loaded by name and stays cached by name while loaded, so
// every test must have let go of it at the end; TearDown checks that and cleans up after a
// test that did not, so one failure does not spread.
class SimDriverTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the scenario; the journal line is added to its [driver] section unless the test
    // runs so many calls that writing the journal would dominate its time.
    void WriteScenario(const std::string& text, bool journal = true);
    // The journal lines of calls to one function, e.g. "NvAPI_GPU_GetFullName".
    std::vector<std::string> JournalLines(const std::string& function) const;
    std::string Journal() const;

    testenv::TempDir dir;
    std::string scenarioPath;
    std::string journalPath;
};

// A default GPU object setting: device 0, GPU 0, no demonstration mode, the usual tooltip line.
void ResetConfig();
