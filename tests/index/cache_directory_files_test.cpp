#include <cstdio>
#include <string>

#include "doctest.h"
#include "index/cache_directory_files.h"

TEST_CASE("the cache directory's files are found in any letter case, and only they") {
    CacheDirectoryFiles files;
    CHECK(files.find("M0A.htm") == CacheDirectoryFiles::ABSENT);
    REQUIRE(files.add("M0A3C101.htm"));
    REQUIRE(files.add("m0a3c102.GIF"));
    REQUIRE(files.add("FAT.DB"));
    CHECK(files.find("m0a3c101.HTM") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("M0A3C102.gif") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("M0A3C101.htmx") == CacheDirectoryFiles::ABSENT);
    CHECK(files.find("M0A3C10.htm") == CacheDirectoryFiles::ABSENT);
    CHECK(files.find("") == CacheDirectoryFiles::ABSENT);
    CHECK(files.count() == 3);
}

TEST_CASE("a directory of many thousand files keeps every name") {
    CacheDirectoryFiles files;
    char name[32];
    for (int i = 0; i < 30000; ++i) {
        std::snprintf(name, sizeof name, "M%07X.htm", i);
        REQUIRE(files.add(name));
    }
    for (int i = 0; i < 30000; i += 7) {
        std::snprintf(name, sizeof name, "m%07x.HTM", i);
        REQUIRE(files.find(name) == CacheDirectoryFiles::PRESENT);
    }
    CHECK(files.find("M0030000.htm") == CacheDirectoryFiles::ABSENT);
}

TEST_CASE("names outside printable ASCII are looked up by the locale's rules") {
    CacheDirectoryFiles files;
    REQUIRE(files.add("plain.htm"));
    REQUIRE(files.add("Gr\xFC\xDF" "e.htm"));
    CHECK_FALSE(isPlainAsciiName("Gr\xFC\xDF" "e.htm"));
    CHECK(isPlainAsciiName("M0A3C101.htm"));
    CHECK(files.find("Gr\xFC\xDF" "e.htm") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("GR\xFC\xDF" "E.HTM") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("other\xFC.htm") == CacheDirectoryFiles::ABSENT);
    CHECK(files.find("PLAIN.HTM") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("absent.htm") == CacheDirectoryFiles::ABSENT);
}
