#include "simgpu/sequence.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

SIMSEQUENCE::SIMSEQUENCE(double base, double amplitude, double period)
    : base(base), amplitude(amplitude), period(period > 0.0 ? period : 1.0)
{
}

void SIMSEQUENCE::Script(const std::string& list)
{
    std::vector<long long> numbers = ParseNumberList(list);
    if (!numbers.empty())
        script = numbers;
}

long long SIMSEQUENCE::ValueAt(unsigned long long call) const
{
    if (!script.empty())
        return script[call < script.size() ? call : script.size() - 1];
    const double pi = 3.14159265358979323846;
    return std::llround(base + amplitude * std::sin(2.0 * pi * static_cast<double>(call) / period));
}

unsigned int SIMSEQUENCE::Next() { return static_cast<unsigned int>(ValueAt(calls++)); }

unsigned int SIMSEQUENCE::Peek() const { return static_cast<unsigned int>(ValueAt(calls)); }

bool ParseNumber(const std::string& text, long long& value)
{
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return false;
    std::string number = text.substr(begin, end - begin + 1);
    const char* start = number.c_str();
    const char* digits = start[0] == '-' || start[0] == '+' ? start + 1 : start;
    int base = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') ? 16 : 10;
    char* stop = nullptr;
    errno = 0;
    long long parsed = strtoll(start, &stop, base);
    if (stop == start || *stop != '\0' || errno == ERANGE)
        return false;
    value = parsed;
    return true;
}

std::vector<long long> ParseNumberList(const std::string& list)
{
    std::vector<long long> numbers;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        long long value;
        if (ParseNumber(list.substr(start, comma - start), value))
            numbers.push_back(value);
        start = comma + 1;
    }
    return numbers;
}
