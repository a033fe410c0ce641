// Which documents and folders the views show, and in which order.
#pragma once

#include <cstdint>

#include "core/sorted_collection.h"
#include "settings/settings.h"

class CacheEntry;

// The document sort keys: the field is the absolute value, a negative key
// sorts descending.
enum DocumentSortField : int32_t {
    SORT_BY_TITLE = 1,
    SORT_BY_TYPE = 2,
    SORT_BY_URL = 3,
    SORT_BY_FILE = 4,
    SORT_BY_SIZE = 5,
    SORT_BY_DATE = 6,
};

// The field of a sort key (1 to 6), or 0 for a key outside the fields.
int32_t sortField(int32_t sortKey);

// The flags that hide an object under the view options (OPTION_TEXT_ONLY,
// OPTION_WEB_ONLY, OPTION_SHOW_ALL of the settings): deleted documents
// always; hidden ones, and with the options non-text and non-web ones,
// unless everything is to be shown.
uint32_t filterMask(uint32_t viewOptions);

// Negative, 0 or positive. Text fields compare case-insensitively in the
// locale's order; any key outside 1 to 6 makes all documents equal.
int compareDocuments(const CacheEntry& a, const CacheEntry& b, int32_t sortKey);

// The documents of a folder, or of all folders of a folder list, that the
// mask lets through; 0 for a folder or list whose own flags it hides.
int32_t visibleCount(const SortedCollection& folderOrList, uint32_t mask);

// The key after the command for `field` (1 to 6): the same field again flips
// the direction; another field sorts ascending, except the date, which sorts
// newest first.
int32_t chooseSortKey(int32_t currentKey, int32_t field);

// The visible documents of a folder in the list's order; equal documents
// keep their order in the folder (URL order). It only points to them.
class DocumentView : public SortedCollection {
public:
    DocumentView(uint32_t filterMask, int32_t sortKey);

    uint32_t filterMask() const { return filterMask_; }
    int32_t sortKey() const { return sortKey_; }
    CacheEntry* entryAt(int32_t index) const;

    int compareItems(const NamedItem& a, const NamedItem& b) const override;

private:
    uint32_t filterMask_;
    int32_t sortKey_;
};

// Refills the view from a folder, or from every folder of a folder list in
// folder order. False when memory ran out; the view is then empty.
bool fillView(DocumentView& view, const SortedCollection& folderOrList);

// Puts the view's documents into its sort order; equal documents keep the
// order they have in the view. Needs no memory of its own when none is left.
void sortView(DocumentView& view);
