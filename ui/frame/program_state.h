// What the program keeps for its whole run: the settings record, the texts
// of the last find and content search, where its help file is and the last
// save went, and how far local time is from the UTC seconds the browser
// stores in its index.
// WinMain makes the one instance and hands it to the main window, which
// hands it on to its panes and dialogs; lower layers get values from it.
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/owned_text.h"
#include "settings/settings.h"

// The texts of the last confirmed find and content search, in lower case;
// empty (null) until the first confirmed dialog. "Weitersuchen" repeats the
// one, the worker of a content search copies the other.
struct LastSearchTexts {
    OwnedText find;
    OwnedText contents;
};

class ProgramState {
public:
    Settings settings = defaultSettings();
    LastSearchTexts searchTexts;

    // Fixes the help file at start: "tarn.hlp" beside the executable when it
    // is there (findProgramHelpFile), else "".
    void locateHelpFile();
    const char* helpFilePath() const { return helpFilePath_; }

    // The folder the last save of this run wrote to ("" before the first):
    // files written there came from the cache, so no program is ever started
    // from it.
    void rememberSaveFolder(const char* folder);
    const char* lastSaveFolder() const { return lastSaveFolder_; }

    // Reads the system's time zone again (at start and on WM_TIMECHANGE).
    void updateTimeZoneBias();
    // Seconds to add to a local time to get UTC.
    int32_t timeZoneBias() const { return timeZoneBias_; }

private:
    char helpFilePath_[MAX_PATH] = "";
    char lastSaveFolder_[MAX_PATH] = "";
    int32_t timeZoneBias_ = 0;
};
