#include "ui/frame/program_state.h"

#include <windows.h>

#include <string>

#include "doctest.h"
#include "support/local_time.h"
#include "ui/dialogs/help_call.h"
#include "ui/dialogs/list_format.h"
#include "ui/dialogs/message_box.h"

TEST_CASE("the help file is the one beside the program, never one the help engine would search for") {
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    REQUIRE(length > 0);
    REQUIRE(length < sizeof program);
    std::string path(program, length);
    std::string beside = path.substr(0, path.rfind('\\') + 1) + "tarn.hlp";
    DeleteFileA(beside.c_str());
    RemoveDirectoryA(beside.c_str());

    char found[MAX_PATH];
    CHECK_FALSE(findProgramHelpFile(found));
    CHECK(std::string(found).empty());

    REQUIRE(CreateDirectoryA(beside.c_str(), nullptr));
    CHECK_FALSE(findProgramHelpFile(found));
    RemoveDirectoryA(beside.c_str());

    HANDLE file = CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    CHECK(findProgramHelpFile(found));
    CHECK(std::string(found) == beside);
    DeleteFileA(beside.c_str());
}

TEST_CASE("index time stamps are shown in local time, summer and winter with the one bias in force") {
    loadPreloadedStrings();
    ProgramState state;
    state.updateTimeZoneBias();
    // The test runner sets a zone away from UTC, with summer time; under UTC
    // neither a wrong sign nor a wrong choice between daylight and standard
    // bias would show.
    REQUIRE(biasInForceSeconds() != 0);
    CHECK(state.timeZoneBias() == biasInForceSeconds());
    TIME_ZONE_INFORMATION zone = {};
    const DWORD season = GetTimeZoneInformation(&zone);
    REQUIRE((season == TIME_ZONE_ID_STANDARD || season == TIME_ZONE_ID_DAYLIGHT));
    REQUIRE(zone.DaylightBias != zone.StandardBias);
    const bool summerNow = season == TIME_ZONE_ID_DAYLIGHT;

    auto shownByProgram = [&state](int64_t stamp) {
        char shown[64];
        formatDateTime(stamp, state.timeZoneBias(), true, shown, sizeof shown);
        return std::string(shown);
    };
    // The system's own conversion, which takes each date's season.
    auto shownBySystem = [](int64_t stamp) {
        SYSTEMTIME utc;
        SYSTEMTIME local;
        REQUIRE(systemTimeOfSeconds(stamp, utc));
        REQUIRE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
        return shortDateTimeText(local);
    };
    const int64_t winter = 821698200;  // 15.1.1996 09:30 UTC
    const int64_t summer = 837954300;  // 21.7.1996 13:05 UTC
    const int64_t inForce = summerNow ? summer : winter;
    const int64_t other = summerNow ? winter : summer;
    // Seconds from the other season's local time to the one in force now.
    const int64_t seasonShift =
        (summerNow ? zone.StandardBias - zone.DaylightBias : zone.DaylightBias - zone.StandardBias) * 60LL;

    {
        CAPTURE(inForce);
        CHECK(shownByProgram(inForce) == shortDateTime(inForce));
        CHECK(shownByProgram(inForce) == shownBySystem(inForce));
    }
    {
        // Shown with the bias in force now, not with its own season's.
        CAPTURE(other);
        CHECK(shownByProgram(other) == shortDateTime(other));
        CHECK(shownByProgram(other) != shownBySystem(other));
        CHECK(shownByProgram(other) == shownBySystem(other + seasonShift));
    }
}
