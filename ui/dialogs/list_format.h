// The program's own forms of sizes and time stamps, in the user's locale.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// Size texts: "%s KB" rounded up in kilobyte form, else "999 Bytes",
// "1,50 KB (1.536 Bytes)" or "4,76 MB (5.000.000 Bytes)". Takes 64 bits, so
// that sums of sizes (the status bar's) are shown as they are. The text is
// cut to `size`.
void formatSize(int64_t bytes, bool kilobyteForm, char* out, size_t size);
// Reads the user's number format again for the size texts (on a change of
// the system's settings; the first size text reads it by itself).
void updateNumberFormat();

// A time stamp of the index (UTC seconds since 1970) as local date and time
// (`timeZoneBias` seconds added to local time give UTC), short
// ("21.7.1996 13:05") or long form; "(Unbekannt)" for 0, for a time
// before 1980 and whenever the locale cannot format it or `size` cannot hold
// it (then cut to `size`).
void formatDateTime(int64_t seconds, int32_t timeZoneBias, bool shortForm, char* out, size_t size);

// Seconds since 1970 (local time) to calendar fields. False, with every field
// 0, for 0 and for times before 1980-01-01, which the program's date forms
// do not cover.
bool secondsToSystemTime(int64_t seconds, SYSTEMTIME& out);
