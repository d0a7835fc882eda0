#include "base/win32ver.h"

#include <cstdio>
#include <cstring>

#include "base/textpolicy.h"

WIN32VER::WIN32VER() : path_(nullptr), block_(nullptr) {}

WIN32VER::~WIN32VER() { Close(); }

void WIN32VER::Close()
{
    if (path_)
        HeapFree(GetProcessHeap(), 0, path_);
    path_ = nullptr;
    if (block_)
        HeapFree(GetProcessHeap(), 0, block_);
    block_ = nullptr;
}

bool WIN32VER::Load(const char* path)
{
    Close();
    if (!path)
        return false;
    size_t length = strlen(path);
    path_ = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length + 1));
    if (!path_)
        return false;
    memcpy(path_, path, length + 1);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path_, &handle);
    if (size == 0)
        return false;
    block_ = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!block_)
        return false;
    if (!GetFileVersionInfoA(path_, 0, size, block_)) {
        HeapFree(GetProcessHeap(), 0, block_);
        block_ = nullptr;
        return false;
    }
    return true;
}

bool WIN32VER::Translation(WORD& language, WORD& codePage) const
{
    void* data = nullptr;
    UINT size = 0;
    if (!block_ || !VerQueryValueA(block_, "\\VarFileInfo\\Translation", &data, &size) || size != 4 || !data)
        return false;
    DWORD translation;
    memcpy(&translation, data, sizeof translation);
    language = LOWORD(translation);
    codePage = HIWORD(translation);
    return true;
}

void WIN32VER::Value(WORD language, WORD codePage, const char* name, char* text, size_t size) const
{
    if (!text || size == 0)
        return;
    char subBlock[320];
    snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\%s", language, codePage, name ? name : "");
    void* data = nullptr;
    UINT length = 0;
    const char* found;
    size_t count;
    if (!block_ || !VerQueryValueA(block_, subBlock, &data, &length) || !data) {
        found = "(error)";
        count = strlen(found);
    } else if (length == 0) {
        found = "(null)";
        count = strlen(found);
    } else {
        // The length comes from the file: the text is taken no further than it says, even when
        // its terminator is missing.
        found = static_cast<const char*>(data);
        count = strnlen(found, length);
    }
    if (count >= size)
        count = WholeCharacterLength(found, size - 1);
    memcpy(text, found, count);
    text[count] = '\0';
}
