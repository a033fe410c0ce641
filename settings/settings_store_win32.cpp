#include "settings/settings_store.h"

#include "core/win_handles.h"

const char kProgramKeyPath[] = "Software\\Quill\\TARN";

namespace {

const char kConfigurationValue[] = "Configuration";

}  // namespace

bool readSettingsRecord(Settings& out) {
    RegKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, KEY_QUERY_VALUE, key.receive()) != ERROR_SUCCESS)
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

void loadSettings() {
    Settings& settings = processSettings();
    if (!readSettingsRecord(settings))
        settings = defaultSettings();
}

bool writeSettingsRecord(const Settings& settings) {
    RegKey key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, key.receive(), nullptr) != ERROR_SUCCESS)
        return false;
    unsigned char data[kSettingsRecordSize];
    encodeSettings(settings, data);
    return RegSetValueExA(key.get(), kConfigurationValue, 0, REG_BINARY, data, sizeof data) == ERROR_SUCCESS;
}

void saveSettings(HWND mainWindow, bool startupComplete, const SaveSettingsSteps& steps) {
    if (!startupComplete)
        return;
    Settings& settings = processSettings();
    if (steps.saveHiddenLists)
        steps.saveHiddenLists(steps.context);
    if ((settings.optionFlags & OPTION_RESTORE_BROWSER) && steps.restoreCheckServer)
        steps.restoreCheckServer(steps.context);
    if (steps.recordPlacement)
        steps.recordPlacement(mainWindow, settings, steps.context);
    writeSettingsRecord(settings);
}
