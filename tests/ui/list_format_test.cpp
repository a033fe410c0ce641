#include "ui/dialogs/list_format.h"

#include <cstring>
#include <string>

#include "doctest.h"
#include "ui/dialogs/message_box.h"

namespace {

std::string size(int64_t bytes, bool kilobytes = false) {
    loadPreloadedStrings();
    char out[300];
    formatSize(bytes, kilobytes, out, sizeof out);
    return out;
}

// The date as the program shows it, for seconds of local time.
std::string dateTime(int64_t localSeconds, bool shortForm = true) {
    loadPreloadedStrings();
    char out[128];
    formatDateTime(localSeconds, 0, shortForm, out, sizeof out);
    return out;
}

struct Date {
    int year, month, day, hour, minute, second, weekday;
};

Date calendarOf(int64_t seconds) {
    SYSTEMTIME t;
    REQUIRE(secondsToSystemTime(seconds, t));
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wDayOfWeek};
}

}  // namespace

TEST_CASE("sizes read in bytes, kilobytes or megabytes in the German form") {
    CHECK(size(999) == "999 Bytes");
    CHECK(size(1000) == "0,97 KB (1.000 Bytes)");
    CHECK(size(1536) == "1,50 KB (1.536 Bytes)");
    CHECK(size(150000) == "146 KB (150.000 Bytes)");
    CHECK(size(999999) == "977 KB (999.999 Bytes)");
    CHECK(size(1000000) == "0,95 MB (1.000.000 Bytes)");
    CHECK(size(5000000) == "4,76 MB (5.000.000 Bytes)");
    CHECK(size(0) == "0 Bytes");
}

TEST_CASE("the size column rounds up to whole kilobytes") {
    CHECK(size(0, true) == "0 KB");
    CHECK(size(1, true) == "1 KB");
    CHECK(size(1024, true) == "1 KB");
    CHECK(size(1025, true) == "2 KB");
    CHECK(size(-7, true) == "0 KB");
    // The largest size of the index must not wrap while it is rounded.
    CHECK(size(0x7FFFFFFF, true) == "2.097.152 KB");
}

TEST_CASE("sums of sizes beyond 32 bits keep their value") {
    CHECK(size(3 * static_cast<int64_t>(0x7FFFFFFF)) == "6.144 MB (6.442.450.941 Bytes)");
}

TEST_CASE("a size text is cut to the buffer it is given") {
    loadPreloadedStrings();
    char out[8];
    std::memset(out, 'x', sizeof out);
    formatSize(5000000, false, out, sizeof out);
    CHECK(std::string(out) == "4,76 MB");
}

TEST_CASE("index seconds become calendar dates") {
    Date summer = calendarOf(837954300);
    CHECK(summer.year == 1996);
    CHECK(summer.month == 7);
    CHECK(summer.day == 21);
    CHECK(summer.hour == 13);
    CHECK(summer.minute == 5);
    CHECK(summer.second == 0);
    CHECK(summer.weekday == 0);  // a Sunday

    Date leap = calendarOf(825638399);
    CHECK(leap.month == 2);
    CHECK(leap.day == 29);
    CHECK(leap.hour == 23);
    CHECK(leap.second == 59);

    Date first = calendarOf(315532800);
    CHECK(first.year == 1980);
    CHECK(first.month == 1);
    CHECK(first.day == 1);

    CHECK(calendarOf(951782400).day == 29);  // 2000 was a leap year
    Date newYearsEve = calendarOf(4102444799);
    CHECK(newYearsEve.year == 2099);
    CHECK(newYearsEve.month == 12);
    CHECK(newYearsEve.day == 31);
    // 2100 is not a leap year: the day after 28 February is 1 March.
    Date spring2100 = calendarOf(4107585600);
    CHECK(spring2100.month == 3);
    CHECK(spring2100.day == 1);
}

TEST_CASE("times before 1980 have no calendar date") {
    SYSTEMTIME t;
    std::memset(&t, 0x55, sizeof t);
    CHECK_FALSE(secondsToSystemTime(315532799, t));
    CHECK(t.wYear == 0);
    CHECK(t.wDay == 0);
    CHECK_FALSE(secondsToSystemTime(0, t));
    CHECK_FALSE(secondsToSystemTime(-86400, t));
}

TEST_CASE("dates read in the short German form, unknown ones as (Unbekannt)") {
    CHECK(dateTime(837954300) == "21.7.1996 13:05");
    CHECK(dateTime(315532800) == "1.1.1980 00:00");
    CHECK(dateTime(837954300, false).find("Juli 1996 13:05") != std::string::npos);
    CHECK(dateTime(315532799) == "(Unbekannt)");
    CHECK(dateTime(-3600) == "(Unbekannt)");

    loadPreloadedStrings();
    char out[64];
    formatDateTime(0, 0, true, out, sizeof out);
    CHECK(std::string(out) == "(Unbekannt)");

    SUBCASE("a buffer too small for date and time gives the cut unknown text") {
        char small[12];
        formatDateTime(837954300, 0, true, small, sizeof small);
        CHECK(std::string(small) == "(Unbekannt)");
        char tiny[5];
        formatDateTime(837954300, 0, true, tiny, sizeof tiny);
        CHECK(std::string(tiny) == "(Unb");
    }
}
