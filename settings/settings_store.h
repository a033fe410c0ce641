// The program's registry key and the settings record stored in it.
#pragma once

#include "settings/settings.h"

// The record stored as "Configuration". A missing key or value, another
// type or size, or any read error gives the defaults.
Settings loadSettings();

// Reads "Configuration" into `out`; false (and `out` unchanged) when no
// stored record was accepted.
[[nodiscard]] bool readSettingsRecord(Settings& out);

// Writes the whole record as "Configuration", creating the key if needed.
// False when the key cannot be opened or the value not written; the
// registry then stays as it was.
[[nodiscard]] bool writeSettingsRecord(const Settings& settings);

// The steps of saving state at the end of the run that other parts of the
// program own; each may be left null.
struct SaveSettingsSteps {
    void (*saveHiddenLists)(void* context);
    void (*restoreCheckServer)(void* context);
    // Copies the main window's normal rectangle, maximized state and the
    // list's column widths into the record.
    void (*recordPlacement)(Settings& settings, void* context);
    void* context;
};

// Saves the hidden lists, puts the browser's verify option back when the
// user asked for that, records the placement into `settings` and writes the
// record, in this order. Does nothing before start-up has completed: a run
// that ended early must not overwrite the stored state with half-made
// values. No failure is reported: the program is ending, and a record that
// could not be written leaves the one from before.
void saveSettings(Settings& settings, bool startupComplete, const SaveSettingsSteps& steps);
