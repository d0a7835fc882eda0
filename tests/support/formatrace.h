#pragma once

#include <cstddef>
#include <functional>

namespace testenv {

// A reload stores a format text byte by byte while a measurement worker may be formatting with
// it. Runs `use` `uses` times while another thread keeps rewriting `format` (a buffer of `size`
// bytes) with `accepted` and `hostile` in turn; `hostile` must read an argument the wrong way, so
// that a format checked in one state and used in the other crashes the program.
void RaceFormatRewrites(char* format, size_t size, const char* accepted, const char* hostile, int uses,
                        const std::function<void()>& use);

}  // namespace testenv
