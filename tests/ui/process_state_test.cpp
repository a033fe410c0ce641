#include "ui/process_state.h"

#include <windows.h>

#include <string>

#include "doctest.h"
#include "support/local_time.h"
#include "ui/list_format.h"
#include "ui/message_box.h"

TEST_CASE("the help file is the one beside the program, never one the help engine would search for") {
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    REQUIRE(length > 0);
    REQUIRE(length < sizeof program);
    std::string path(program, length);
    std::string beside = path.substr(0, path.rfind('\\') + 1) + "tarn.hlp";
    DeleteFileA(beside.c_str());
    RemoveDirectoryA(beside.c_str());

    fixHelpFilePath();
    CHECK(std::string(helpFilePath()).empty());

    REQUIRE(CreateDirectoryA(beside.c_str(), nullptr));
    fixHelpFilePath();
    CHECK(std::string(helpFilePath()).empty());
    RemoveDirectoryA(beside.c_str());

    HANDLE file = CreateFileA(beside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    fixHelpFilePath();
    CHECK(std::string(helpFilePath()) == beside);
    DeleteFileA(beside.c_str());
    fixHelpFilePath();
}

TEST_CASE("index time stamps are shown in local time, summer and winter with the one bias in force") {
    loadPreloadedStrings();
    updateTimeZoneBias();
    // The test runner sets a zone away from UTC; under UTC neither a wrong
    // sign nor a wrong choice between daylight and standard bias would show.
    REQUIRE(biasInForceSeconds() != 0);
    CHECK(timeZoneBias() == biasInForceSeconds());

    const int64_t winter = 821698200;  // 15.1.1996 09:30 UTC
    const int64_t summer = 837954300;  // 21.7.1996 13:05 UTC
    for (int64_t stamp : {winter, summer}) {
        CAPTURE(stamp);
        char shown[64];
        formatDateTime(stamp, true, shown, sizeof shown);
        CHECK(std::string(shown) == shortDateTime(stamp));
    }

    // The reckoning above against the system's own date-by-date conversion:
    // for the stamp in the season that is in force now, the two agree.
    auto systemLocal = [](int64_t stamp) {
        SYSTEMTIME utc;
        SYSTEMTIME local;
        REQUIRE(systemTimeOfSeconds(stamp, utc));
        REQUIRE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
        return shortDateTimeText(local);
    };
    CHECK((shortDateTime(winter) == systemLocal(winter) || shortDateTime(summer) == systemLocal(summer)));
}
