// A search history shown in a dialog's combo box, newest first.
#pragma once

#include <windows.h>

// Fills the combo box from the history `listName`, newest first, and selects
// the newest entry. Returns the number of letters in the stored order (0
// when the history is missing).
int fillHistory(const char* listName, HWND combo);

// Records the combo box's current text as the history's newest entry. The
// combo box must have been filled by fillHistory, whose items remember
// which stored entry they show.
void recordHistory(const char* listName, int maximum, HWND combo);
