// Values the whole process fixes at start: where the help file is, and how
// far local time is from the UTC seconds the browser stores in its index.
#pragma once

#include <cstdint>

// Fixes the help file path: "tarn.hlp" beside the executable when it is
// there, else the bare name, so that the help engine searches for it.
void fixHelpFilePath();
const char* helpFilePath();

// Reads the system's time zone again (at start and on WM_TIMECHANGE).
void updateTimeZoneBias();
// Seconds to add to a local time to get UTC.
int32_t timeZoneBias();
bool daylightSaving();
