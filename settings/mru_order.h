// The order of a search history: a "MRUList" text of single lower-case
// letters, the most recently used entry's letter first, each letter naming
// the registry value that holds one entry's text.
#pragma once

// "MRUList" is read into 27 bytes, so no more letters than this are kept.
constexpr int kMruMaxLetters = 26;

struct MruChange {
    char letter;                     // the letter now at the front
    bool storeText;                  // a new entry: its text goes under `letter`
    char order[kMruMaxLetters + 1];  // the new "MRUList"
};

// Records one use in `order`. `usedLetter` is the letter of the entry that
// was used again, or 0 for a new text. A new text takes the first letter not
// yet in the order while there are fewer than `maximum` (at most 26); when
// the list is full it takes over the letter of the least recently used one.
// The letter then moves to the front.
MruChange recordMruUse(const char* order, char usedLetter, int maximum);
