// What the fuzz targets share: cutting one input into the parts a target
// feeds to the program, and the check whose failure is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// A broken promise of the program: libFuzzer keeps the input that led here.
[[noreturn]] inline void fuzzFailure(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : fuzzFailure(#condition, __FILE__, __LINE__))

// Reads an input front to back: single bytes, texts up to a separator, and
// whatever is left. Reading past the end gives zeros and empty texts, so
// that every input, however short, is a valid one.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }

    // The bytes up to `separator` (not included); the separator is passed.
    std::string textUntil(char separator) {
        size_t start = at_;
        while (at_ < size_ && data_[at_] != static_cast<uint8_t>(separator))
            ++at_;
        std::string text(reinterpret_cast<const char*>(data_ + start), at_ - start);
        if (at_ < size_)
            ++at_;
        return text;
    }

    const uint8_t* rest() const { return data_ + at_; }
    size_t restSize() const { return size_ - at_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The lines of `text`, each without its "\n" (a "\r" before it stays: it is
// part of what a name may hold).
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
