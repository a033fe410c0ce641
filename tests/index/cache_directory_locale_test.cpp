// File names that the locale calls equal although their letters differ: a
// soft hyphen is ignored, "\xDF" equals "ss". The cache directory's lookup
// must find them as lstrcmpiA would.
#include <windows.h>

#include "doctest.h"
#include "index/cache_directory_files.h"

TEST_CASE("a file name equal only in the locale's sense is still found") {
    REQUIRE(lstrcmpiA("M0\xAD" "A.htm", "M0A.htm") == 0);
    REQUIRE(lstrcmpiA("Stra\xDF" "e.htm", "STRASSE.HTM") == 0);

    CacheDirectoryFiles files;
    REQUIRE(files.add("M0\xAD" "A.htm"));
    REQUIRE(files.add("Stra\xDF" "e.htm"));
    REQUIRE(files.add("M0B.htm"));
    CHECK(files.find("M0A.htm") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("STRASSE.HTM") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("m0b.HTM") == CacheDirectoryFiles::PRESENT);
    CHECK(files.find("M0C.htm") == CacheDirectoryFiles::ABSENT);

    CacheDirectoryFiles plain;
    REQUIRE(plain.add("M0A.htm"));
    CHECK(plain.find("M0\xAD" "A.htm") == CacheDirectoryFiles::PRESENT);
    CHECK(plain.find("\xC4M0A.htm") == CacheDirectoryFiles::ABSENT);
}
