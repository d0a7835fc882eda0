#pragma once

#include <string>
#include <vector>

// A reading that changes from call to call: either a scripted list, where the Nth call gets the
// Nth value and the last one repeats, or, without a script, a slow wave around a base value, so
// that the demonstration moves smoothly and every run sees the same numbers.
class SIMSEQUENCE {
public:
    SIMSEQUENCE() = default;
    SIMSEQUENCE(double base, double amplitude, double period);

    // Replaces the wave with the numbers of a comma-separated list; numbers that do not parse
    // are skipped, and an empty list keeps the wave.
    void Script(const std::string& list);
    unsigned int Next();
    // The value the next call will get, without counting a call.
    unsigned int Peek() const;

private:
    long long ValueAt(unsigned long long call) const;

    std::vector<long long> script;
    double base = 0.0;
    double amplitude = 0.0;
    double period = 1.0;
    unsigned long long calls = 0;
};

// The numbers of a comma-separated list (decimal, or hexadecimal with 0x), invalid ones skipped.
std::vector<long long> ParseNumberList(const std::string& list);
// One number; false when the text is not a number.
bool ParseNumber(const std::string& text, long long& value);
