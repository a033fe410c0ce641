// Search histories: the last texts of the find and content-search dialogs,
// kept per dialog in a subkey of the program's key and shown newest first in
// the dialog's combo box.
#pragma once

#include <windows.h>

constexpr char kFindHistory[] = "FindHistory";
constexpr char kSearchHistory[] = "SearchHistory";
constexpr int kHistoryMaximum = 10;

// Fills the combo box from the history `listName`, newest first, and selects
// the newest entry. Entries whose value is empty, missing or not text are
// left out. Returns the number of letters in the stored order (0 when the
// history is missing).
int fillHistory(const char* listName, HWND combo);

// Records the combo box's current text as the history's newest entry. The
// combo box must have been filled by fillHistory, whose items remember
// which stored entry they show.
void recordHistory(const char* listName, int maximum, HWND combo);
