// "Suchen" and "Weitersuchen": the walk through the host folders and their
// documents, in the order the tree and the list show them, from the current
// position to the first hit. The walk itself knows no windows: the tree's
// order of folders comes from a FolderSequence.
#pragma once

#include <cstdint>

#include "core/message_code.h"

class CacheEntry;
class DomainFolder;

struct FindQuery {
    const char* lowerText;
    // OPTION_FIND_HOSTS, OPTION_FIND_URLS, OPTION_FIND_TITLES of the settings.
    uint32_t options;
    // Those of the list: the documents it leaves out are not found either,
    // and the order in which they are met is the list's.
    uint32_t filterMask;
    int32_t sortKey;
};

// The folders after the starting one, in the tree's display order.
class FolderSequence {
public:
    virtual ~FolderSequence() = default;
    // The next folder, or null at the end of the tree.
    virtual DomainFolder* nextFolder() = 0;
};

struct FindHit {
    // MSG_OK on a hit, MSG_FIND_FINISHED at the end of the tree, or
    // MSG_OUT_OF_MEMORY.
    MessageCode result;
    DomainFolder* folder;  // the folder hit, or the one whose document was hit
    CacheEntry* entry;     // the document hit; null for a folder hit
};

// Searches the documents of `start` that follow `after` (all of them when
// `after` is null or not among them), then each following folder: its name,
// then its documents. The starting folder's own name is never tested; the
// walk does not wrap around. A document is tested by its title first, then
// by its URL.
FindHit findNext(DomainFolder& start, const CacheEntry* after, const FindQuery& query, FolderSequence& folders);
