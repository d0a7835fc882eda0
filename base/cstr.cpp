#include "base/cstr.h"

#include <windows.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/textpolicy.h"

namespace {

// Zero-filled storage for a text of textLength bytes and its terminating zero, or null when it
// cannot be had; a text that a 32-bit length cannot count is never stored.
char* NewStorage(size_t textLength)
{
    if (textLength >= UINT_MAX)
        return nullptr;
    return static_cast<char*>(calloc(textLength + 1, 1));
}

int DigitValue(unsigned char byte)
{
    if (byte >= '0' && byte <= '9')
        return byte - '0';
    if (byte >= 'a' && byte <= 'z')
        return byte - 'a' + 10;
    if (byte >= 'A' && byte <= 'Z')
        return byte - 'A' + 10;
    return INT_MAX;
}

bool IsWhiteSpace(unsigned char byte) { return byte == ' ' || (byte >= 0x09 && byte <= 0x0D); }

// The second byte of a double-byte character can be a letter or a backslash; case conversion and
// trimming must not touch it.

bool StartsDoubleByte(const char* text, unsigned int index, unsigned int length)
{
    return index + 1 < length && IsDBCSLeadByteEx(TEXT_CODE_PAGE, static_cast<BYTE>(text[index]));
}

}  // namespace

CSTR::CSTR() : length_(0), text_(nullptr), errorTrap(nullptr) {}

CSTR::CSTR(const char* value) : CSTR() { Append(value); }

CSTR::CSTR(int value) : CSTR() { *this = value; }

CSTR::CSTR(const CSTR& other) : CSTR()
{
    errorTrap = other.errorTrap;
    Append(other.text_);
}

CSTR::~CSTR() { free(text_); }

CSTR& CSTR::operator=(const CSTR& other)
{
    if (&other != this) {
        Remove();
        Append(other.text_);
    }
    return *this;
}

CSTR& CSTR::operator=(const char* value)
{
    if (!value || !*value) {
        Remove();
        return *this;
    }
    // The new text may lie inside the old storage, so it is copied before that is released.
    size_t newLength = strlen(value);
    char* storage = NewStorage(newLength);
    if (!storage)
        ErrorTrap();
    memcpy(storage, value, newLength);
    free(text_);
    text_ = storage;
    length_ = static_cast<unsigned int>(newLength);
    return *this;
}

CSTR& CSTR::operator=(int value)
{
    char digits[16];
    snprintf(digits, sizeof digits, "%d", value);
    return *this = digits;
}

CSTR& CSTR::operator+=(const CSTR& other)
{
    Append(other.text_);
    return *this;
}

CSTR& CSTR::operator+=(const char* value)
{
    Append(value);
    return *this;
}

unsigned int CSTR::Length() const { return length_; }

char* CSTR::String(unsigned int index) const
{
    if (!text_ || index > length_)
        return nullptr;
    return text_ + index;
}

// Equality is a prefix test limited to this string's length, as the callers have always relied on.
bool CSTR::operator==(const CSTR& other) const
{
    if (text_ == other.text_)
        return true;
    if (!text_ || !other.text_)
        return false;
    return strncmp(text_, other.text_, length_) == 0;
}

bool CSTR::operator==(const char* value) const
{
    if (text_ == value)
        return true;
    if (!text_ || !value || !*value)
        return false;
    return strncmp(text_, value, length_) == 0;
}

bool CSTR::Compare(const char* value, unsigned int count) const
{
    if (text_ == value)
        return true;
    if (!text_ || !value || !*value)
        return false;
    return strncmp(text_, value, count ? count : length_) == 0;
}

int CSTR::Convert(int base) const
{
    if (!text_ || base < 2 || base > 36)
        return 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text_);
    while (IsWhiteSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16)
        p += 2;
    const unsigned long long limit = negative ? 2147483648ULL : 2147483647ULL;
    unsigned long long magnitude = 0;
    for (int digit; (digit = DigitValue(*p)) < base; ++p) {
        if (magnitude <= limit)
            magnitude = magnitude * base + digit;
    }
    if (magnitude > limit)
        magnitude = limit;
    return static_cast<int>(negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude));
}

int CSTR::Bit() const { return Convert(2); }
int CSTR::Oct() const { return Convert(8); }
int CSTR::Dec() const { return Convert(10); }
int CSTR::Hex() const { return Convert(16); }

char* CSTR::Append(const char* value)
{
    if (!value || !*value || value == text_)
        return text_;
    size_t added = strlen(value);
    // A sum beyond what the length can count is storage that cannot be had.
    char* storage = added < UINT_MAX - length_ ? NewStorage(length_ + added) : nullptr;
    if (!storage)
        ErrorTrap();
    if (text_)
        memcpy(storage, text_, length_);
    memcpy(storage + length_, value, added);
    free(text_);
    text_ = storage;
    length_ += static_cast<unsigned int>(added);
    return text_;
}

char* CSTR::Insert(const char* value, unsigned int position)
{
    if (!value || !*value || value == text_ || position >= length_)
        return text_;
    size_t added = strlen(value);
    char* storage = added < UINT_MAX - length_ ? NewStorage(length_ + added) : nullptr;
    if (!storage)
        ErrorTrap();
    memcpy(storage, text_, position);
    memcpy(storage + position, value, added);
    memcpy(storage + position + added, text_ + position, length_ - position);
    free(text_);
    text_ = storage;
    length_ += static_cast<unsigned int>(added);
    return text_;
}

void CSTR::Remove()
{
    free(text_);
    text_ = nullptr;
    length_ = 0;
}

char* CSTR::Upper()
{
    for (unsigned int i = 0; i < length_; ++i) {
        if (StartsDoubleByte(text_, i, length_))
            ++i;
        else if (text_[i] >= 'a' && text_[i] <= 'z')
            text_[i] = static_cast<char>(text_[i] - 'a' + 'A');
    }
    return text_;
}

char* CSTR::Lower()
{
    for (unsigned int i = 0; i < length_; ++i) {
        if (StartsDoubleByte(text_, i, length_))
            ++i;
        else if (text_[i] >= 'A' && text_[i] <= 'Z')
            text_[i] = static_cast<char>(text_[i] - 'A' + 'a');
    }
    return text_;
}

char* CSTR::Convert(bool upper) { return upper ? Upper() : Lower(); }

// A double-byte character is never a trim byte, whatever its bytes are.
char* CSTR::TrimLeft(const char* set)
{
    unsigned int start = 0;
    while (start < length_ && !StartsDoubleByte(text_, start, length_) && IsTrim(text_[start], set))
        ++start;
    if (start == 0)
        return text_;
    // Assigning from inside the own storage copies the rest before the old storage goes.
    *this = text_ + start;
    return text_;
}

char* CSTR::TrimRight(const char* set)
{
    // Which byte ends a character is known only from the start of the text.
    unsigned int end = 0;
    for (unsigned int i = 0; i < length_; ++i) {
        if (StartsDoubleByte(text_, i, length_))
            end = ++i + 1;
        else if (!IsTrim(text_[i], set))
            end = i + 1;
    }
    if (end == length_)
        return text_;
    if (end == 0) {
        Remove();
        return text_;
    }
    char* storage = NewStorage(end);
    if (!storage)
        ErrorTrap();
    memcpy(storage, text_, end);
    free(text_);
    text_ = storage;
    length_ = end;
    return text_;
}

char* CSTR::Trim(const char* set)
{
    TrimLeft(set);
    return TrimRight(set);
}

void CSTR::RegisterErrorTrap(void (*trap)()) { errorTrap = trap; }

void CSTR::ErrorTrap() { ExitProcess(ALLOCATION_FAILURE_EXIT_CODE); }

bool CSTR::IsTrim(char byte, const char* set)
{
    if (!set)
        return IsWhiteSpace(static_cast<unsigned char>(byte));
    for (; *set; ++set)
        if (*set == byte)
            return true;
    return false;
}
