// What makes a document's text match the words of a content search.
#include <cstring>
#include <string>

#include "doctest.h"
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
