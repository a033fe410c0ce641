#include <cstring>
#include <utility>

#include "core/owned_text.h"
#include "doctest.h"

TEST_CASE("bounded copies always end inside their buffer") {
    char buffer[8];
    CHECK(copyTextBounded(buffer, sizeof buffer, "abc"));
    CHECK(std::strcmp(buffer, "abc") == 0);
    CHECK(appendTextBounded(buffer, sizeof buffer, "defg"));
    CHECK(std::strcmp(buffer, "abcdefg") == 0);
    CHECK_FALSE(appendTextBounded(buffer, sizeof buffer, "h"));
    CHECK(std::strcmp(buffer, "abcdefg") == 0);
    CHECK_FALSE(copyTextBounded(buffer, sizeof buffer, "0123456789"));
    CHECK(std::strcmp(buffer, "0123456") == 0);
    CHECK_FALSE(copyTextBounded(buffer, 0, "x"));

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    CHECK_FALSE(appendTextBounded(unterminated, sizeof unterminated, "e"));
    CHECK(unterminated[3] == '\0');
}

TEST_CASE("an owned text keeps its old value when assignment fails or moves") {
    OwnedText text;
    CHECK(std::strcmp(text.view(), "") == 0);
    CHECK(text.assign("one"));
    OwnedText moved(std::move(text));
    CHECK_FALSE(text);
    CHECK(std::strcmp(moved.get(), "one") == 0);
    CHECK(moved.assign(nullptr));
    CHECK(std::strcmp(moved.get(), "") == 0);
}

TEST_CASE("a copy of a range holds exactly its bytes and ends in a NUL") {
    OwnedText host(duplicateRange("host/path", 4));
    REQUIRE(host);
    CHECK(std::strcmp(host.get(), "host") == 0);
    OwnedText none(duplicateRange("abc", 0));
    REQUIRE(none);
    CHECK(std::strcmp(none.get(), "") == 0);
    OwnedText inner(duplicateRange("a\0b", 3));
    REQUIRE(inner);
    CHECK(std::memcmp(inner.get(), "a\0b\0", 4) == 0);
}
