// What makes a document's text match the words of a content search.
#include <cstring>
#include <string>

#include "doctest.h"
#include "core/text_locale.h"
#include "search/content_match.h"

namespace {

// The search as the worker makes it: the words split once, the file's text
// prepared, then every word looked for.
bool matches(std::string text, std::string words, bool html = false) {
    SearchWords split = splitWords(&words[0]);
    prepareSearchText(&text[0], html);
    return containsAllWords(text.c_str(), split);
}

}  // namespace

TEST_CASE("a text matches when it holds every word, in any order and case") {
    CHECK(matches("Der Leopard schlaeft im TIERPARK", "tierpark leopard"));
    CHECK(matches("<a href=\"tierpark.html\">Leopard</a>", "tierpark leopard"));
    // A word inside a longer word counts.
    CHECK(matches("Leopardenfell", "leopard"));
    CHECK_FALSE(matches("Der Leopard schlaeft", "tierpark leopard"));
    CHECK_FALSE(matches("", "leopard"));
    // No word at all finds nothing.
    CHECK_FALSE(matches("Leopard", ""));

    SUBCASE("a NUL byte ends the searchable text") {
        std::string text("Anfang", 6);
        text += '\0';
        text += "Leopard";
        CHECK_FALSE(matches(text, "leopard"));
        CHECK(matches(text, "anfang"));
    }
}

TEST_CASE("character references are read as their characters only in HTML documents") {
    const std::string bytes = "Gr&uuml;&szlig;e vom Gepard &amp; mehr";
    CHECK(matches(bytes, "grüße gepard", true));
    CHECK(matches(bytes, "&", true));
    CHECK_FALSE(matches(bytes, "grüße", false));
    CHECK(matches(bytes, "&uuml;", false));
}

TEST_CASE("a word is found wherever it lies, as the locale lowers the text, also past long skips") {
    // Any place of a word in a text over few letters of both cases, bytes
    // above 0x7F among them, against a plain search of the lowered text.
    // The space comes last: words are drawn from the others.
    const char letters[] = {'a', 'A', 'n', 'N', '\xC4', '\xE4', 'x', ' '};
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    auto lowered = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(lowerChar(static_cast<unsigned char>(c)));
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        std::string text, word;
        for (unsigned n = next(40); n > 0; --n)
            text += letters[next(sizeof letters)];
        for (unsigned n = 1 + next(6); n > 0; --n)
            word += letters[next(sizeof letters - 1)];
        word = lowered(word);
        bool expected = !text.empty() && lowered(text).find(word) != std::string::npos;
        INFO("text \"", text, "\" word \"", word, "\"");
        REQUIRE(matches(text, word) == expected);
    }

    // A word longer than the farthest skip the search takes in one step.
    std::string longWord(300, 'q');
    longWord += "ende";
    CHECK(matches(std::string(1000, 'Q') + "ENDE", longWord));
    CHECK_FALSE(matches(std::string(1000, 'Q') + "END", longWord));
}
