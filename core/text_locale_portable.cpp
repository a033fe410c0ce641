// The native build's stand-in for the locale: ASCII case folding and byte
// order. It keeps the same contracts as the Win32 version so that portable
// code can be run under the sanitizers and fuzzers.
#include "core/text_locale.h"

#include <cstring>

namespace {

constexpr unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

struct AsciiLowerTable {
    unsigned char map[256] = {};
    constexpr AsciiLowerTable() {
        for (unsigned i = 0; i < 256; ++i)
            map[i] = asciiLower(static_cast<unsigned char>(i));
    }
};

constexpr AsciiLowerTable kAsciiLower;

}  // namespace

int compareTextNoCase(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        int d = asciiLower(*p) - asciiLower(*q);
        if (d != 0 || *p == 0)
            return d;
    }
}

int compareTextExact(const char* a, const char* b) {
    return std::strcmp(a, b);
}

bool isAlphaNumericChar(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

unsigned char lowerChar(unsigned char c) {
    return asciiLower(c);
}

const unsigned char* lowerCaseMap() {
    return kAsciiLower.map;
}

void lowerText(char* text) {
    for (; *text; ++text)
        *text = static_cast<char>(asciiLower(static_cast<unsigned char>(*text)));
}

size_t makeSortKey(const char* text, unsigned char* out, size_t size) {
    size_t needed = std::strlen(text) + 1;
    if (needed > size)
        return needed;
    for (size_t i = 0; i < needed; ++i)
        out[i] = asciiLower(static_cast<unsigned char>(text[i]));
    return needed;
}
