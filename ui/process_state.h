// Values the whole process keeps: where the help file is, where the last
// save went, and how far local time is from the UTC seconds the browser
// stores in its index.
#pragma once

#include <cstdint>

// Fixes the help file path: "tarn.hlp" beside the executable when it is
// there, else "". Never the bare name: the help engine would search the
// current folder for it.
void fixHelpFilePath();
const char* helpFilePath();

// The folder the last save of this session wrote to ("" before the first):
// files written there came from the cache, so no program is ever started
// from it.
void rememberSaveFolder(const char* folder);
const char* lastSaveFolder();

// Reads the system's time zone again (at start and on WM_TIMECHANGE).
void updateTimeZoneBias();
// Seconds to add to a local time to get UTC.
int32_t timeZoneBias();
bool daylightSaving();
