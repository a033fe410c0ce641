// Index time stamps as the program's lists show them, reckoned from the
// system's own time zone and calendar calls rather than the program's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Seconds to add to a local time to get UTC: the zone's bias with its
// daylight or its standard bias, whichever is in force now. The lists take
// this one value for every date, summer or winter.
inline int64_t biasInForceSeconds() {
    TIME_ZONE_INFORMATION zone = {};
    DWORD kind = GetTimeZoneInformation(&zone);
    LONG minutes = zone.Bias + (kind == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : zone.StandardBias);
    return minutes * 60LL;
}

// Seconds since 1970 as calendar fields, by the system's calendar.
inline bool systemTimeOfSeconds(int64_t seconds, SYSTEMTIME& out) {
    const int64_t secondsFrom1601To1970 = 11644473600LL;
    ULARGE_INTEGER ticks;
    ticks.QuadPart = static_cast<ULONGLONG>((seconds + secondsFrom1601To1970) * 10000000LL);
    FILETIME fileTime = {ticks.LowPart, ticks.HighPart};
    return FileTimeToSystemTime(&fileTime, &out) != FALSE;
}

// Short date and time in the user's locale ("21.7.1996 13:05").
inline std::string shortDateTimeText(const SYSTEMTIME& time) {
    char date[64] = "";
    char clock[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}

// An index time stamp (UTC seconds since 1970) as the lists show it.
inline std::string shortDateTime(int64_t utcSeconds) {
    SYSTEMTIME time;
    if (!systemTimeOfSeconds(utcSeconds - biasInForceSeconds(), time))
        return {};
    return shortDateTimeText(time);
}

// An index time stamp in the long form of the properties sheet: the
// locale's long date and its time with seconds.
inline std::string longDateTime(int64_t utcSeconds) {
    SYSTEMTIME time;
    if (!systemTimeOfSeconds(utcSeconds - biasInForceSeconds(), time))
        return {};
    char date[128] = "";
    char clock[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, &time, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &time, nullptr, clock, sizeof clock);
    return std::string(date) + " " + clock;
}
