#include "child_process.h"

#include <gtest/gtest.h>

#include <cstdio>
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

void ShowChildOutput(HANDLE output, const std::string& task)
{
    std::string text;
    char block[4096];
    DWORD got = 0;
    SetFilePointer(output, 0, nullptr, FILE_BEGIN);
    while (ReadFile(output, block, sizeof block, &got, nullptr) && got)
        text.append(block, got);
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        printf("child %s| %s", task.c_str(), text.substr(at, end - at).c_str());
        at = end;
    }
    if (!text.empty() && text.back() != '\n')
        printf("\n");
    fflush(stdout);
}

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
    // The child writes into a file of its own, shown afterwards with every line marked: a
    // child's summary must never stand in the parent's output as if it were the parent's.
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    char folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "chd", 0, path))
        return STILL_ACTIVE;
    HANDLE output = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return STILL_ACTIVE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    SetEnvironmentVariableA(ChildVariable, task.c_str());
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetEnvironmentVariableA(ChildVariable, nullptr);
    DWORD code = STILL_ACTIVE;
    if (started) {
        if (WaitForSingleObject(process.hProcess, ChildTimeLimit) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    ShowChildOutput(output, task);
    CloseHandle(output);
    return code;
}

}  // namespace childprocess
