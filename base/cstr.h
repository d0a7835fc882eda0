#pragma once

#include "base/export.h"

// Owning zero-terminated byte string (code page 932 text, handled byte by byte, except that case
// conversion and trimming leave double-byte characters whole), sized exactly to its text: no
// spare capacity, an empty string owns no storage.
class VARNOK_API CSTR {
public:
    // A process that ran out of storage for a string must not look as if it ended well.
    static constexpr unsigned int ALLOCATION_FAILURE_EXIT_CODE = 3;

    CSTR();
    CSTR(const char* text);
    CSTR(int value);
    CSTR(const CSTR& other);
    virtual ~CSTR();

    CSTR& operator=(const CSTR& other);
    CSTR& operator=(const char* text);
    CSTR& operator=(int value);
    CSTR& operator+=(const CSTR& other);
    CSTR& operator+=(const char* text);

    unsigned int Length() const;
    // Null for an empty string and for an index beyond the terminating zero.
    char* String(unsigned int index = 0) const;
    bool operator==(const CSTR& other) const;
    bool operator==(const char* text) const;
    bool Compare(const char* text, unsigned int count = 0) const;
    int Convert(int base) const;
    int Bit() const;
    int Oct() const;
    int Dec() const;
    int Hex() const;

    char* Append(const char* text);
    char* Insert(const char* text, unsigned int position);
    void Remove();
    char* Upper();
    char* Lower();
    char* Convert(bool upper);
    char* TrimLeft(const char* set = nullptr);
    char* TrimRight(const char* set = nullptr);
    char* Trim(const char* set = nullptr);

    // The trap travels with copies of the string but is never called: running foreign code
    // while storage is exhausted is not safe, so allocation failure always ends the process.
    void RegisterErrorTrap(void (*trap)());

private:
    [[noreturn]] static void ErrorTrap();
    static bool IsTrim(char byte, const char* set);

    unsigned int length_;
    char* text_;
    void (*errorTrap)();
};
