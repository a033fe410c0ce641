#include "model/document_view.h"

#include "core/text_locale.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"

namespace {

int compareNumbers(int32_t a, int32_t b) {
    return (a > b) - (a < b);
}

int compareField(const CacheEntry& a, const CacheEntry& b, int32_t field) {
    switch (field) {
    case SORT_BY_TITLE:
        return compareTextNoCase(a.title(), b.title());
    case SORT_BY_TYPE:
        // The model keeps one item per type: the same index means equal
        // types, and the items' sort keys order different ones.
        if (a.mimeIndex() == b.mimeIndex())
            return 0;
        if (!a.mimeTypeItem() || !b.mimeTypeItem())
            return compareTextNoCase(a.mimeType(), b.mimeType());
        return a.mimeTypeItem()->compareName(*b.mimeTypeItem());
    case SORT_BY_URL:
        return a.compareName(b);
    case SORT_BY_FILE:
        return compareTextNoCase(a.localFile(), b.localFile());
    case SORT_BY_SIZE:
        return compareNumbers(a.contentLength(), b.contentLength());
    case SORT_BY_DATE:
        return compareNumbers(a.lastAccessed(), b.lastAccessed());
    default:
        return 0;
    }
}

bool isVisible(const NamedItem& item, uint32_t mask) {
    return (item.flags() & mask) == 0;
}

}  // namespace

uint32_t filterMask(uint32_t viewOptions) {
    if (viewOptions & OPTION_SHOW_ALL)
        return FLAG_DELETED;
    uint32_t mask = FLAG_HIDDEN | FLAG_DELETED;
    if (viewOptions & OPTION_TEXT_ONLY)
        mask |= FLAG_NOT_TEXT;
    if (viewOptions & OPTION_WEB_ONLY)
        mask |= FLAG_NOT_WEB;
    return mask;
}

int32_t sortField(int32_t sortKey) {
    // The key comes from the registry: widened, so that even the most
    // negative value has a magnitude.
    int64_t magnitude = sortKey < 0 ? -static_cast<int64_t>(sortKey) : sortKey;
    return magnitude >= SORT_BY_TITLE && magnitude <= SORT_BY_DATE ? static_cast<int32_t>(magnitude) : 0;
}

int compareDocuments(const CacheEntry& a, const CacheEntry& b, int32_t sortKey) {
    int result = compareField(a, b, sortField(sortKey));
    return sortKey < 0 ? -result : result;
}

int32_t visibleCount(const SortedCollection& folderOrList, uint32_t mask) {
    if (!isVisible(folderOrList, mask))
        return 0;
    int32_t count = 0;
    if (folderOrList.isNested()) {
        folderOrList.forEach([&](NamedItem* folder) { count += visibleCount(*static_cast<SortedCollection*>(folder), mask); });
        return count;
    }
    if (mask == 0)
        return folderOrList.count();
    folderOrList.forEach([&](NamedItem* entry) { count += isVisible(*entry, mask) ? 1 : 0; });
    return count;
}

int32_t chooseSortKey(int32_t currentKey, int32_t field) {
    if (field != 0 && field == sortField(currentKey))
        return -currentKey;
    return field == SORT_BY_DATE ? -SORT_BY_DATE : field;
}

DocumentView::DocumentView(uint32_t filterMask, int32_t sortKey)
    : SortedCollection(kCapacity, kDelta, true, false, false), filterMask_(filterMask), sortKey_(sortKey) {}

CacheEntry* DocumentView::entryAt(int32_t index) const {
    return static_cast<CacheEntry*>(at(index));
}

int DocumentView::compareItems(const NamedItem& a, const NamedItem& b) const {
    int result = compareDocuments(static_cast<const CacheEntry&>(a), static_cast<const CacheEntry&>(b), sortKey_);
    return (result > 0) - (result < 0);
}

bool fillView(DocumentView& view, const SortedCollection& folderOrList) {
    view.clear();
    if (!view.grow(folderOrList.totalCount()))
        return false;
    uint32_t mask = view.filterMask();
    folderOrList.forEachDeep([&](NamedItem* entry) {
        if (isVisible(*entry, mask))
            view.insertAt(view.count(), entry);
    });
    sortView(view);
    return true;
}

void sortView(DocumentView& view) {
    if (view.sortStable())
        return;
    // Without memory for the merge, the same order by insertion, which needs
    // none: the view already has room for every document.
    int32_t count = view.count();
    for (int32_t i = 1; i < count; ++i) {
        NamedItem* item = view.at(i);
        int32_t place = i;
        while (place > 0 && view.compareItems(*view.at(place - 1), *item) > 0)
            --place;
        if (place < i) {
            view.detachAt(i);
            view.insertAt(place, item);
        }
    }
}
