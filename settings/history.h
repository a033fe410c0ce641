// Search histories: the last texts of the find and content-search dialogs,
// kept per dialog in a subkey of the program's key, newest first.
#pragma once

#include "settings/mru_order.h"

constexpr char kFindHistory[] = "FindHistory";
constexpr char kSearchHistory[] = "SearchHistory";
constexpr int kHistoryMaximum = 10;
// The longest text kept, its NUL included.
constexpr int kHistoryTextSize = 260;

struct History {
    // The letters of the stored order (0 when the history is missing).
    int letterCount = 0;
    // The entries in the stored order, without those whose value is empty,
    // missing or not text: each keeps its own letter, because entries left
    // out shift the list against the order.
    int count = 0;
    struct Entry {
        char letter;
        char text[kHistoryTextSize];
    } entries[kMruMaxLetters];
};

// Reads the history `listName`; a missing one reads as empty.
void readHistory(const char* listName, History& out);

// Records `text` as the newest entry of `listName`. `usedLetter` is the
// letter of the stored entry the text was taken from, or 0 for a new text.
// Nothing is written when the key cannot be made.
void recordHistoryUse(const char* listName, int maximum, const char* text, char usedLetter);
