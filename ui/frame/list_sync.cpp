// Keeping the document list in step with a folder. The list's order is a
// DocumentView of the folder: the documents the filter lets through, sorted
// stably by the sort key, equal ones in URL order. Between changes of the
// tree's selection only what differs changes: documents come and go, the
// selection and the focus stay with their documents.
#include "ui/frame/list_pane.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <new>

#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "settings/settings.h"
#include "ui/dialogs/message_box.h"
#include "ui/frame/main_window.h"

namespace {

// More items coming or going than this are drawn once at the end.
const int kRedrawSlack = 10;

std::unique_ptr<DocumentView> makeView(uint32_t mask, int32_t sortKey, int32_t capacity) {
    int32_t status;
    std::unique_ptr<DocumentView> view(checkCreated(new (std::nothrow) DocumentView(mask, sortKey), status));
    if (view && !view->grow(capacity > 0 ? capacity : 1))
        view.reset();
    return view;
}

// The documents that were selected, to be found again after the order has
// changed: their addresses, sorted for a binary search.
class EntrySet {
public:
    EntrySet() = default;
    ~EntrySet() { std::free(entries_); }
    EntrySet(const EntrySet&) = delete;
    EntrySet& operator=(const EntrySet&) = delete;

    // False when no memory could be had; the set is then empty.
    bool reserve(int count) {
        entries_ = static_cast<const CacheEntry**>(std::malloc(sizeof(CacheEntry*) * (count > 0 ? count : 1)));
        capacity_ = entries_ ? count : 0;
        return entries_ != nullptr;
    }
    void add(const CacheEntry* entry) {
        if (count_ < capacity_)
            entries_[count_++] = entry;
    }
    void seal() { std::sort(entries_, entries_ + count_, std::less<const CacheEntry*>()); }
    bool contains(const CacheEntry* entry) const {
        return count_ > 0 && std::binary_search(entries_, entries_ + count_, entry, std::less<const CacheEntry*>());
    }
    int count() const { return count_; }

private:
    const CacheEntry** entries_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

int indexOfEntry(const DocumentView& view, const CacheEntry* entry) {
    if (!entry)
        return -1;
    for (int32_t i = 0; i < view.count(); ++i)
        if (view.entryAt(i) == entry)
            return i;
    return -1;
}

bool sameItems(const DocumentView& a, const DocumentView& b) {
    if (a.count() != b.count())
        return false;
    for (int32_t i = 0; i < a.count(); ++i)
        if (a.entryAt(i) != b.entryAt(i))
            return false;
    return true;
}

}  // namespace

void ListPane::clear() {
    listed_.reset();
    ListView_SetItemCount(window_, 0);
    // A list emptied of its items forgets where a range selection began.
    ListView_SetSelectionMark(window_, -1);
    if (statsLock_ == 0) {
        stats_ = ListStats();
        updateStatusBar();
    }
}

void ListPane::syncList(DomainFolder* folder) {
    syncItems(folder, loadingFinished_);
    loadingFinished_ = false;
}

void ListPane::sortItems() {
    syncItems(nullptr, true);
}

void ListPane::syncItems(DomainFolder* folder, bool reorder) {
    if (!folder)
        folder = main_.tree().selectedFolder();
    if (!folder)
        return;
    const uint32_t mask = filterMask(main_.settings().optionFlags);
    const int32_t sortKey = main_.settings().documentSortKey;
    suspendStats();

    // FLAG_LISTED marks what the list holds now: a shown document without
    // it is new, and new documents are sorted in with all the others.
    folder->forEachDeep([](NamedItem* entry) { entry->clearFlags(FLAG_LISTED); });
    const int listed = itemCount();
    for (int i = 0; i < listed; ++i)
        listed_->entryAt(i)->setFlags(FLAG_LISTED);
    bool inserted = false;
    folder->forEachDeep([&](NamedItem* entry) {
        if (!entry->hasAnyFlag(mask | FLAG_LISTED))
            inserted = true;
    });

    std::unique_ptr<DocumentView> items;
    if (inserted || reorder || listed == 0) {
        // A sort of the list itself: the documents listed now keep their
        // order among equals, and new ones follow them in URL order.
        items = makeView(mask, sortKey, folder->totalCount() + listed);
        bool complete = items != nullptr;
        for (int i = 0; complete && i < listed; ++i)
            if (!listed_->entryAt(i)->hasAnyFlag(mask))
                complete = items->insertAt(items->count(), listed_->entryAt(i)) >= 0;
        folder->forEachDeep([&](NamedItem* entry) {
            if (complete && !entry->hasAnyFlag(mask | FLAG_LISTED))
                complete = items->insertAt(items->count(), entry) >= 0;
        });
        if (complete)
            sortView(*items);
        else
            items.reset();
    } else {
        // Only departures: the others keep their places, unsorted anew.
        items = makeView(mask, sortKey, listed);
        for (int i = 0; items && i < listed; ++i)
            if (!listed_->entryAt(i)->hasAnyFlag(mask))
                items->insertAt(items->count(), listed_->entryAt(i));
    }
    if (!items) {
        // Without memory the list stays as it is (empty, for a folder just
        // opened), and the user is told why.
        resumeStats();
        showOutOfMemory();
        return;
    }
    const bool redrawSuspended = std::abs(listed - items->count()) > kRedrawSlack;
    if (redrawSuspended)
        suspendRedraw();
    const bool sortOnly = reorder && !loadingFinished_ && !inserted && items->count() == listed;
    showItems(std::move(items), sortOnly);
    if (!sortOnly) {
        int focused = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
        if (focused >= 0)
            ListView_EnsureVisible(window_, focused, FALSE);
    }
    resumeStats();
    if (redrawSuspended)
        resumeRedraw();
    main_.commands().updateToolbarObjectStates();
}

void ListPane::showItems(std::unique_ptr<DocumentView> items, bool keepScroll) {
    if (listed_ && sameItems(*listed_, *items)) {
        // Titles, icons or marks may have changed; they are asked for anew.
        listed_ = std::move(items);
        InvalidateRect(window_, nullptr, TRUE);
        return;
    }
    const int oldCount = itemCount();
    // Where the selection, the focus and the start of a range selection
    // were, by document.
    EntrySet selected;
    int selectedCount = oldCount > 0 ? ListView_GetSelectedCount(window_) : 0;
    if (selectedCount > 0 && selected.reserve(selectedCount)) {
        forEachSelected([&](CacheEntry* entry) { selected.add(entry); });
        selected.seal();
    }
    const int oldFocus = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
    const CacheEntry* markEntry = entryAt(ListView_GetSelectionMark(window_));
    const int oldTop = keepScroll ? ListView_GetTopIndex(window_) : -1;

    // The new items carry FLAG_LISTED, the departed ones no longer.
    for (int i = 0; i < oldCount; ++i)
        listed_->entryAt(i)->clearFlags(FLAG_LISTED);
    for (int32_t i = 0; i < items->count(); ++i)
        items->entryAt(i)->setFlags(FLAG_LISTED);
    // A departed focus goes, as when items are deleted, to the next
    // document that stays, or else to the last one before it.
    const CacheEntry* focusEntry = nullptr;
    for (int i = oldFocus; i >= 0 && i < oldCount && !focusEntry; ++i)
        if (listed_->entryAt(i)->hasAnyFlag(FLAG_LISTED))
            focusEntry = listed_->entryAt(i);
    for (int i = oldFocus - 1; i >= 0 && i < oldCount && !focusEntry; --i)
        if (listed_->entryAt(i)->hasAnyFlag(FLAG_LISTED))
            focusEntry = listed_->entryAt(i);

    std::unique_ptr<DocumentView> previous = std::move(listed_);
    listed_ = std::move(items);
    const int newCount = itemCount();
    ListView_SetItemCountEx(window_, newCount, LVSICF_NOSCROLL);
    if (selectedCount > 0) {
        ListView_SetItemState(window_, -1, 0, LVIS_SELECTED);
        for (int i = 0; i < newCount && selected.count() > 0; ++i)
            if (selected.contains(listed_->entryAt(i)))
                ListView_SetItemState(window_, i, LVIS_SELECTED, LVIS_SELECTED);
    }
    const int newFocus = indexOfEntry(*listed_, focusEntry);
    if (newFocus >= 0) {
        ListView_SetItemState(window_, newFocus, LVIS_FOCUSED, LVIS_FOCUSED);
    } else if (oldFocus >= 0 && oldFocus < newCount) {
        ListView_SetItemState(window_, oldFocus, 0, LVIS_FOCUSED);
    }
    ListView_SetSelectionMark(window_, indexOfEntry(*listed_, markEntry));
    if (oldTop >= 0) {
        // Moving the focus scrolls it into view; a sort leaves the list
        // where it was.
        int top = ListView_GetTopIndex(window_);
        RECT was, is;
        if (top != oldTop && oldTop < newCount && ListView_GetItemRect(window_, oldTop, &was, LVIR_BOUNDS) &&
            ListView_GetItemRect(window_, top, &is, LVIR_BOUNDS))
            ListView_Scroll(window_, was.left - is.left, was.top - is.top);
    }
    InvalidateRect(window_, nullptr, TRUE);
}
