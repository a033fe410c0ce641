#include "search/content_match.h"

#include <cstring>

#include "core/text_helpers.h"
#include "core/text_locale.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"

SearchWords splitWords(char* lowerText) {
    char* end = lowerText + std::strlen(lowerText);
    for (char* p = lowerText; p < end; ++p)
        if (*p == ' ')
            *p = '\0';
    return {lowerText, end};
}

void prepareSearchText(char* text, bool html) {
    if (!html)
        return;
    // Decoding changes nothing before the first reference; most of a page is
    // skipped at the speed of strchr.
    if (char* reference = std::strchr(text, '&'))
        decodeEntities(reference);
}

namespace {

// A shift never larger than this fits the table's bytes; a shorter shift
// than the word allows is only slower, never wrong.
constexpr size_t kLongestShift = 255;

// Whether the `length` bytes of `text` hold `word` (lower case, `wordLength`
// bytes, at least one), compared as `lower` lowers the text. A skip search:
// only the byte under the last letter of each window is looked at until it
// lowers to that letter, and a window moves on by as many bytes as the
// word allows, so a page is crossed at a fraction of a lookup a byte.
bool holdsWord(const unsigned char* text, size_t length, const unsigned char* word, size_t wordLength,
               const unsigned char* lower) {
    if (wordLength > length)
        return false;
    const size_t last = wordLength - 1;
    // How far a window may move when the text byte under its end lowers to
    // a given byte: the distance of that byte's last place before the end
    // of the word, the whole word when it has none.
    unsigned char byLowered[256];
    std::memset(byLowered, static_cast<int>(wordLength < kLongestShift ? wordLength : kLongestShift),
                sizeof byLowered);
    for (size_t j = 0; j < last; ++j) {
        size_t shift = last - j;
        byLowered[word[j]] = static_cast<unsigned char>(shift < kLongestShift ? shift : kLongestShift);
    }
    const unsigned char final = word[last];
    const size_t shiftAfterCandidate = byLowered[final];
    // The same per raw text byte, with 0 for the bytes that lower to the
    // last letter, so the scan makes one lookup a step.
    unsigned char byRaw[256];
    for (int c = 0; c < 256; ++c)
        byRaw[c] = lower[c] == final ? 0 : byLowered[lower[c]];

    const unsigned char* window = text;
    const unsigned char* lastWindow = text + (length - wordLength);
    while (window <= lastWindow) {
        size_t shift = byRaw[window[last]];
        if (shift == 0) {
            size_t k = 0;
            while (k < last && lower[window[k]] == word[k])
                ++k;
            if (k == last)
                return true;
            shift = shiftAfterCandidate;
        }
        // Compared as a distance: a pointer moved far past the text's end
        // would be undefined.
        if (static_cast<size_t>(lastWindow - window) < shift)
            break;
        window += shift;
    }
    return false;
}

}  // namespace

bool containsAllWords(const char* text, const SearchWords& words) {
    if (!text)
        return false;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    // The text ends at its first NUL: measured once for all words.
    const size_t length = std::strlen(text);
    const unsigned char* lower = lowerCaseMap();
    bool any = false;
    for (const char* word = words.first; word < words.end; word += std::strlen(word) + 1) {
        size_t wordLength = std::strlen(word);
        if (wordLength == 0)
            continue;
        if (!holdsWord(bytes, length, reinterpret_cast<const unsigned char*>(word), wordLength, lower))
            return false;
        any = true;
    }
    return any;
}

bool isSearchCandidate(const CacheEntry& entry) {
    return !entry.hasAnyFlag(FLAG_DELETED | FLAG_NOT_TEXT);
}
