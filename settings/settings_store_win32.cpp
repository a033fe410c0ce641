#include "settings/settings_store.h"

#include "settings/program_key.h"

namespace {

const char kConfigurationValue[] = "Configuration";

}  // namespace

bool readSettingsRecord(Settings& out) {
    RegKey key = openProgramKey(PROGRAM_KEY_READ);
    if (!key)
        return false;
    // A value longer than the record fails with ERROR_MORE_DATA and counts
    // as unreadable.
    unsigned char data[kSettingsRecordSize];
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key.get(), kConfigurationValue, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    return type == REG_BINARY && decodeSettings(data, size, out);
}

Settings loadSettings() {
    Settings stored;
    return readSettingsRecord(stored) ? stored : defaultSettings();
}

bool writeSettingsRecord(const Settings& settings) {
    RegKey key = openProgramKey(PROGRAM_KEY_CREATE);
    if (!key)
        return false;
    unsigned char data[kSettingsRecordSize];
    encodeSettings(settings, data);
    return RegSetValueExA(key.get(), kConfigurationValue, 0, REG_BINARY, data, sizeof data) == ERROR_SUCCESS;
}

void saveSettings(Settings& settings, bool startupComplete, const SaveSettingsSteps& steps) {
    if (!startupComplete)
        return;
    if (steps.saveHiddenLists)
        steps.saveHiddenLists(steps.context);
    if ((settings.optionFlags & OPTION_RESTORE_BROWSER) && steps.restoreCheckServer)
        steps.restoreCheckServer(steps.context);
    if (steps.recordPlacement)
        steps.recordPlacement(settings, steps.context);
    if (!writeSettingsRecord(settings))
        return;  // the stored record stays the one from before
}
