#pragma once

#include <windows.h>
#include <cstddef>

// Reads the version information of a program file: its translation and the texts of its string
// table. Holds a copy of the file's path and the version block, both freed when it goes.
class WIN32VER {
public:
    WIN32VER();
    virtual ~WIN32VER();
    WIN32VER(const WIN32VER&) = delete;
    WIN32VER& operator=(const WIN32VER&) = delete;

    // Reads the version block of the file at `path`; false when the file has none or it cannot be
    // read. Whatever an earlier Load held is freed first.
    [[nodiscard]] bool Load(const char* path);
    void Close();

    // The one translation of the block: language and code page. False when there is none, or more
    // than one, since it would not be clear which string table is meant.
    [[nodiscard]] bool Translation(WORD& language, WORD& codePage) const;
    // A text of the string table of that translation ("FileVersion") into `text` of `size` bytes:
    // "(error)" when the entry is missing, "(null)" when it is empty.
    void Value(WORD language, WORD codePage, const char* name, char* text, size_t size) const;

    const char* Path() const { return path_; }

private:
    char* path_;
    void* block_;
};
