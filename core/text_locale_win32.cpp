#include "core/text_locale.h"

#include <windows.h>

namespace {

// The character tables of the code page, asked of the system once per byte.
// CharLowerA only treats its argument as a single character when the high
// word is zero; the byte must therefore be widened without sign extension.
struct LowerTable {
    unsigned char map[256];
    bool alphaNumeric[256];
    LowerTable() {
        for (unsigned i = 0; i < 256; ++i) {
            map[i] = static_cast<unsigned char>(
                reinterpret_cast<UINT_PTR>(CharLowerA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(i)))));
            alphaNumeric[i] = i != 0 && IsCharAlphaNumericA(static_cast<CHAR>(i));
        }
    }
};

// Built before main, before any thread can ask for it: a function-local
// static would need the runtime's thread-safe guard, which pulls in newer
// kernel functions.
const LowerTable gLowerTable;

const LowerTable& lowerTable() {
    return gLowerTable;
}

}  // namespace

int compareTextNoCase(const char* a, const char* b) {
    return lstrcmpiA(a, b);
}

int compareTextExact(const char* a, const char* b) {
    return lstrcmpA(a, b);
}

bool isAlphaNumericChar(unsigned char c) {
    return lowerTable().alphaNumeric[c];
}

unsigned char lowerChar(unsigned char c) {
    return lowerTable().map[c];
}

const unsigned char* lowerCaseMap() {
    return lowerTable().map;
}

void lowerText(char* text) {
    const unsigned char* map = lowerTable().map;
    for (; *text; ++text)
        *text = static_cast<char>(map[static_cast<unsigned char>(*text)]);
}

size_t makeSortKey(const char* text, unsigned char* out, size_t size) {
    // lstrcmpiA compares in the thread's locale with NORM_IGNORECASE; a key
    // made with the same locale and flags orders exactly like it.
    const LCID locale = GetThreadLocale();
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int written = size > 0x7FFFFFFF ? 0 : LCMapStringA(locale, flags, text, -1, reinterpret_cast<LPSTR>(out), static_cast<int>(size));
    if (written > 0)
        return static_cast<size_t>(written);
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER && size != 0)
        return 0;
    int needed = LCMapStringA(locale, flags, text, -1, nullptr, 0);
    return needed > 0 ? static_cast<size_t>(needed) : 0;
}
