#include "child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace childprocess {

namespace {

const char ChildVariable[] = "VARNOK_TEST_CHILD";
const DWORD ChildTimeLimit = 300000;

class ChildTest : public testing::Test {
public:
    explicit ChildTest(void (*body)()) : body_(body) {}
    void TestBody() override { body_(); }

private:
    void (*body_)();
};

}  // namespace

std::string ThisProgram()
{
    char path[2048];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return std::string(path, length < sizeof path ? length : 0);
}

bool RegisterChildTest(const char* suite, const char* name, void (*body)())
{
    const char* task = getenv(ChildVariable);
    if (!task || std::string(suite) + "." + name != task)
        return false;
    testing::RegisterTest(suite, name, nullptr, nullptr, __FILE__, __LINE__,
                          [body]() -> testing::Test* { return new ChildTest(body); });
    return true;
}

DWORD RunChildTest(const std::string& program, const char* suite, const char* name)
{
    std::string task = std::string(suite) + "." + name;
    std::string commandLine = "\"" + program + "\" --gtest_filter=" + task;
    SetEnvironmentVariableA(ChildVariable, task.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableA(ChildVariable, nullptr);
    if (!started)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, ChildTimeLimit) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

}  // namespace childprocess
