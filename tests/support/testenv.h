#pragma once

#include <windows.h>

#include <string>

namespace testenv {

// A folder of its own for one test, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    // The path of a file inside the folder.
    std::string File(const std::string& name) const;

private:
    std::string path_;
};

// A setting handed to the tests by CTest, as a Windows path; empty when not set.
std::string PathFromEnvironment(const char* name);

// The built program (VARNOK_EXE) loaded as data, for its dialog templates and icons: the test
// programs carry no resources of their own. Null when it cannot be loaded.
HINSTANCE ProgramResources();

// A Unix path as Wine sees it ("Z:\..."); Windows paths are returned unchanged.
std::string WindowsPath(const std::string& path);

std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);

}  // namespace testenv
