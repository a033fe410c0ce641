// Deleting the cached files of documents. The cache index is never changed:
// a document whose file is gone is marked FLAG_DELETED and shown as such.
#pragma once

#include <windows.h>

#include <memory>

#include "core/global_text_list.h"
#include "core/sorted_collection.h"

class CacheEntry;
class CacheModel;

// The documents of one "Löschen", gathered before anything is deleted: the
// list the user chose them from changes once they are marked.
class DocumentDeletion {
public:
    explicit DocumentDeletion(const CacheModel& model);

    // Takes `entry` when its cached file is there as an ordinary file, or is
    // gone already, and it is not marked deleted already. False when memory
    // ran out, also for the making of the deletion itself.
    bool add(CacheEntry& entry);
    bool empty() const;

    // Hands the files that are there to the shell, which moves them to the
    // recycle bin (or deletes them for good with `forGood`) and asks the
    // user in dialogs owned by `owner`; then marks every document whose
    // file is gone.
    void run(HWND owner, bool forGood);

private:
    const CacheModel& model_;
    std::unique_ptr<SortedCollection> documents_;
    GlobalTextList paths_;
};
