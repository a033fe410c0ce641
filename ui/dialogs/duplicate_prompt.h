// "Doppelter Dateiname": the question a save asks when a document's name is
// taken by a file that was in the target folder before.
#pragma once

#include <windows.h>

#include <cstdint>

// The answer when the user pressed "Abbrechen": the save is to stop.
constexpr uint32_t kDuplicatePromptCancelled = 0xFFFFFFFFu;

// Asks about `name` in a modal dialog owned by `owner`, the radio button of
// `lastAnswer` (17, 18 or 19) preselected. Returns the chosen radio button's
// id (0 when none is chosen), with DUPLICATE_FOR_ALL added for "OK für
// &Alle", or kDuplicatePromptCancelled. When the dialog cannot be shown the
// name is numbered, which neither loses nor overwrites anything.
uint32_t askAboutDuplicateName(HWND owner, const char* name, uint32_t lastAnswer);
