#pragma once

#include "base/export.h"

// Owning zero-terminated byte string (code page 932 text, handled byte by byte), sized exactly
// to its text: no spare capacity, an empty string owns no storage.
class VARNOK_API CSTR {
public:
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

    void RegisterErrorTrap(void (*trap)());

private:
    static void ErrorTrap();
    static bool IsTrim(char byte, const char* set);

    unsigned int length;
    char* text;
    void (*errorTrap)();
};
