// What the document list holds and what of it is selected, counted as items
// come and go so that the status bar and the command states need no walk
// over the list.
#pragma once

#include <cstdint>

struct ListStats {
    int32_t count = 0;
    int32_t selected = 0;
    int32_t selectedHidden = 0;
    int32_t selectedMissing = 0;
    // Sizes come from the index as 32-bit numbers each; their sums over a
    // folder of many large files need more.
    int64_t totalSize = 0;
    int64_t selectedSize = 0;
};

// One list item as the counters see it.
struct CountedItem {
    bool hidden;   // hidden and its file still there
    bool missing;  // its file was deleted
    int64_t size;
};

// An item was inserted (delta +1) or deleted (delta -1).
void countItem(ListStats& stats, const CountedItem& item, bool selected, int delta);
// An item's selection changed to `nowSelected`.
void countSelectionChange(ListStats& stats, const CountedItem& item, bool nowSelected);
