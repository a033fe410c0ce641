#include "ui/frame/program_state.h"

#include "ui/dialogs/help_call.h"

void ProgramState::locateHelpFile() {
    findProgramHelpFile(helpFilePath_);
}

void ProgramState::rememberSaveFolder(const char* folder) {
    copyTextBounded(lastSaveFolder_, sizeof lastSaveFolder_, folder);
}

void ProgramState::updateTimeZoneBias() {
    TIME_ZONE_INFORMATION zone = {};
    const bool daylight = GetTimeZoneInformation(&zone) == TIME_ZONE_ID_DAYLIGHT;
    LONG minutes = zone.Bias + (daylight ? zone.DaylightBias : zone.StandardBias);
    timeZoneBias_ = minutes * 60;
}
