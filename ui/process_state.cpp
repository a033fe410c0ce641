#include "ui/process_state.h"

#include <windows.h>

#include "core/owned_text.h"

namespace {

struct ProcessState {
    char helpFilePath[MAX_PATH] = "";
    char lastSaveFolder[MAX_PATH] = "";
    int32_t timeZoneBias = 0;
    bool daylightSaving = false;
};

ProcessState& state() {
    static ProcessState instance;
    return instance;
}

const char kHelpFileName[] = "tarn.hlp";

}  // namespace

void fixHelpFilePath() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path cut at the buffer's end is not the executable's and must not be
    // taken for it.
    state().helpFilePath[0] = '\0';
    if (length == 0 || length >= sizeof path)
        return;
    char* slash = nullptr;
    for (char* p = path; *p; ++p)
        if (*p == '\\')
            slash = p;
    char* nameStart = slash ? slash + 1 : path;
    *nameStart = '\0';
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (appendTextBounded(path, sizeof path, kHelpFileName))
        attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        copyTextBounded(state().helpFilePath, sizeof state().helpFilePath, path);
}

const char* helpFilePath() {
    return state().helpFilePath;
}

void rememberSaveFolder(const char* folder) {
    copyTextBounded(state().lastSaveFolder, sizeof state().lastSaveFolder, folder);
}

const char* lastSaveFolder() {
    return state().lastSaveFolder;
}

void updateTimeZoneBias() {
    TIME_ZONE_INFORMATION zone = {};
    DWORD result = GetTimeZoneInformation(&zone);
    state().daylightSaving = result == TIME_ZONE_ID_DAYLIGHT;
    LONG minutes = zone.Bias + (state().daylightSaving ? zone.DaylightBias : zone.StandardBias);
    state().timeZoneBias = minutes * 60;
}

int32_t timeZoneBias() {
    return state().timeZoneBias;
}

bool daylightSaving() {
    return state().daylightSaving;
}
