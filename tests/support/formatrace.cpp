#include "support/formatrace.h"

#include <atomic>
#include <cstring>
#include <thread>

namespace testenv {

namespace {

void Store(volatile char* format, size_t size, const char* text)
{
    const size_t length = strlen(text) < size ? strlen(text) : size - 1;
    for (size_t i = 0; i < length; ++i)
        format[i] = text[i];
    format[length] = '\0';
}

}  // namespace

void RaceFormatRewrites(char* format, size_t size, const char* accepted, const char* hostile, int uses,
                        const std::function<void()>& use)
{
    Store(format, size, accepted);
    std::atomic<bool> done{false};
    std::atomic<bool> started{false};
    std::thread writer([&] {
        while (!done) {
            Store(format, size, hostile);
            Store(format, size, accepted);
            started = true;
        }
    });
    // A thread takes a while to start under Wine; uses before then would prove nothing.
    while (!started)
        std::this_thread::yield();
    for (int i = 0; i < uses; ++i)
        use();
    done = true;
    writer.join();
    Store(format, size, accepted);
}

}  // namespace testenv
