#include "search/content_match.h"

#include <cstring>

#include "core/text_helpers.h"
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

bool containsAllWords(const char* text, const SearchWords& words) {
    bool any = false;
    for (const char* word = words.first; word < words.end; word += std::strlen(word) + 1) {
        if (!*word)
            continue;
        if (!findTextNoCase(text, word))
            return false;
        any = true;
    }
    return any;
}

bool isSearchCandidate(const CacheEntry& entry) {
    return !entry.hasAnyFlag(FLAG_DELETED | FLAG_NOT_TEXT);
}
