// The MIME type list answers from its tables what going down the list with
// the locale's comparison would answer: the same type for every name, and
// new types numbered as they appear.
#include <cstdio>
#include <string>
#include <vector>

#include "core/text_locale.h"
#include "doctest.h"
#include "index/mime_type_list.h"

namespace {

// The first type equal to `name` in the locale's order, going down the list.
int32_t findByGoingDown(const MimeTypeList& list, const char* name) {
    for (int32_t i = 0; i < list.count(); ++i) {
        if (compareTextNoCase(list.at(i)->name(), name) == 0)
            return i;
    }
    return -1;
}

// Looks every name up in turn, appending the ones not found, and checks
// each answer against the list gone down.
void checkNames(MimeTypeList& list, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        INFO(name);
        int32_t expected = findByGoingDown(list, name.c_str());
        REQUIRE(list.find(name.c_str()) == expected);
        int32_t count = list.count();
        REQUIRE(list.findOrAppend(name.c_str()) == (expected >= 0 ? expected : count));
    }
}

}  // namespace

TEST_CASE("a MIME type is found as the locale compares, and new ones follow in order") {
    SUBCASE("letters, sort keys and the names only the locale calls equal") {
        MimeTypeList list;
        REQUIRE(list.valid());
        // Plain names first: their misses are decided by their letters.
        checkNames(list, {"text/html", "text/plain", "TEXT/HTML", "audio/x-wav", "Audio/X-WAV", "a-b/c", "ab/c"});
        // Under the real locale a soft hyphen is ignored and "\xDF" equals
        // "ss": once such a type is held, plain names must ask the sort keys.
        checkNames(list, {"text/ht\xADml", "Stra\xDF" "e/x", "STRASSE/X", "strasse/x", "\xC4pfel/x", "\xE4PFEL/X",
                          "apfel/x", "text/\xADplain"});
        CHECK(std::string(list.at(0)->name()) == "text/html");
    }
    SUBCASE("thousands of types, looked up in other letter case") {
        MimeTypeList list;
        std::vector<std::string> names;
        char name[40];
        for (int i = 0; i < 600; ++i) {
            std::snprintf(name, sizeof name, "application/x-bench-%d", i);
            names.push_back(name);
            std::snprintf(name, sizeof name, "APPLICATION/X-Bench-%d", i / 2);
            names.push_back(name);
        }
        checkNames(list, names);
        CHECK(list.count() == 600);
    }
}
