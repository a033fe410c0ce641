// The text work on cached pages: the title of a page's head, the character
// references, the markup and blanks cleaned away, and the content search's
// match of a file against the words of a search.
//
// Input: one byte (bit 0: the file is an HTML document), the search text up
// to the first NUL, then the file's bytes.
//
// Checks: a found title lies in the head and is clean (no control bytes, no
// blanks at its ends or in pairs); each cleaner keeps its promise and never
// makes a text longer; the case-insensitive search finds the first place a
// plain search of the lowered text finds; a file matches exactly when it
// holds every word.
#include <cstdint>
#include <cstring>
#include <string>

#include "core/text_helpers.h"
#include "core/text_locale.h"
#include "fuzz/fuzz_input.h"
#include "search/content_match.h"

namespace {

// The text up to its first NUL, as the cleaners see it, with room to work in.
std::string textOf(const std::string& bytes) {
    return std::string(bytes.c_str());
}

void checkClean(const char* text) {
    size_t length = std::strlen(text);
    if (length == 0)
        return;
    FUZZ_CHECK(text[0] != ' ' && text[length - 1] != ' ');
    for (size_t i = 0; i < length; ++i) {
        FUZZ_CHECK(static_cast<unsigned char>(text[i]) >= 0x20);
        if (i > 0)
            FUZZ_CHECK(!(text[i] == ' ' && text[i - 1] == ' '));
    }
}

void checkTitle(const std::string& head) {
    std::string buffer = head;
    char* start = &buffer[0];
    char* title = findTitle(start);
    if (!title)
        return;
    FUZZ_CHECK(title >= start && title <= start + buffer.size());
    checkClean(title);
}

void checkCleaners(const std::string& text) {
    std::string stripped = text;
    stripTags(&stripped[0]);
    FUZZ_CHECK(std::strlen(stripped.c_str()) <= text.size());
    FUZZ_CHECK(!std::strchr(stripped.c_str(), '<'));

    std::string decoded = text;
    decodeEntities(&decoded[0]);
    FUZZ_CHECK(std::strlen(decoded.c_str()) <= text.size());
    // A text without references stays as it was.
    if (text.find('&') == std::string::npos)
        FUZZ_CHECK(decoded.c_str() == text);

    std::string collapsed = text;
    collapseSpaces(&collapsed[0]);
    FUZZ_CHECK(std::strlen(collapsed.c_str()) <= text.size());
    checkClean(collapsed.c_str());
}

std::string lowered(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(lowerChar(static_cast<unsigned char>(c)));
    return lower;
}

// The first place of `lowerPattern` in the lowered text, or npos.
size_t plainFind(const std::string& text, const std::string& lowerPattern) {
    if (text.empty())
        return std::string::npos;
    return lowered(text).find(lowerPattern);
}

void checkFind(const std::string& text, const std::string& lowerPattern) {
    const char* found = findTextNoCase(text.c_str(), lowerPattern.c_str());
    size_t expected = plainFind(text, lowerPattern);
    if (expected == std::string::npos)
        FUZZ_CHECK(found == nullptr);
    else
        FUZZ_CHECK(found == text.c_str() + expected);
}

void checkContentMatch(const std::string& searchText, const std::string& file, bool html) {
    std::string words = lowered(searchText);
    std::string wordBuffer = words;
    SearchWords split = splitWords(&wordBuffer[0]);
    std::string prepared = file;
    prepareSearchText(&prepared[0], html);
    prepared.resize(std::strlen(prepared.c_str()));

    bool all = true;
    bool any = false;
    size_t start = 0;
    while (start <= words.size()) {
        size_t end = words.find(' ', start);
        if (end == std::string::npos)
            end = words.size();
        std::string word = words.substr(start, end - start);
        if (!word.empty()) {
            any = true;
            checkFind(prepared, word);
            all = all && plainFind(prepared, word) != std::string::npos;
        }
        start = end + 1;
    }
    FUZZ_CHECK(containsAllWords(prepared.c_str(), split) == (any && all));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    bool html = (input.byte() & 1) != 0;
    std::string searchText = textOf(input.textUntil('\0'));
    std::string file = textOf(std::string(reinterpret_cast<const char*>(input.rest()), input.restSize()));

    checkTitle(file);
    checkCleaners(file);
    checkContentMatch(searchText, file, html);
    return 0;
}
