#include "core/sorted_collection.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/stable_sort.h"

SortedCollection::SortedCollection(int32_t capacity, int32_t delta, bool sorted, bool ownsItems, bool nested,
                                   const char* name)
    : NamedItem(name), delta_(delta), sorted_(sorted), ownsItems_(ownsItems), nested_(nested) {
    if (status() != 0)
        return;
    if (!grow(capacity > 0 ? capacity : 1))
        setStatus(-1);
}

SortedCollection::~SortedCollection() {
    clear();
    std::free(items_);
}

int SortedCollection::compareItems(const NamedItem& a, const NamedItem& b) const {
    if (a.isLess(b))
        return -1;
    return a.isEqual(b) ? 0 : 1;
}

int SortedCollection::compareKey(const NamedItem& item, const TextKey& key) const {
    if (item.isLessKey(key))
        return -1;
    return item.isEqualKey(key) ? 0 : 1;
}

namespace {

// The search of both lookups: a binary search on a sorted collection (on
// several equal items it may land on any of them), else the first equal
// item from the start. `compare` compares an item with what is sought.
template <class Compare>
SearchResult searchWith(NamedItem* const* items, int32_t count, bool sorted, Compare compare) {
    if (!sorted) {
        for (int32_t i = 0; i < count; ++i)
            if (compare(*items[i]) == 0)
                return {true, i};
        return {false, count};
    }
    int32_t lo = 0, hi = count - 1;
    while (lo <= hi) {
        int32_t mid = lo + (hi - lo) / 2;
        int c = compare(*items[mid]);
        if (c == 0)
            return {true, mid};
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return {false, lo};
}

}  // namespace

SearchResult SortedCollection::searchItem(const NamedItem& item) const {
    return searchWith(items_, count_, sorted_, [&](const NamedItem& at) { return compareItems(at, item); });
}

SearchResult SortedCollection::searchKey(const TextKey& key) const {
    return searchWith(items_, count_, sorted_, [&](const NamedItem& at) { return compareKey(at, key); });
}

SearchResult SortedCollection::searchKey(const char* key) const {
    TextKey probe(key);
    return searchKey(probe);
}

int32_t SortedCollection::insertItem(NamedItem* item) {
    if (!item)
        return -1;
    if (!sorted_)
        return insertAt(count_, item);
    SearchResult at = searchItem(*item);
    int32_t index = at.index;
    if (at.found) {
        // Equal items keep their arrival order: the new one goes behind all.
        while (index + 1 < count_ && compareItems(*items_[index + 1], *item) == 0)
            ++index;
        ++index;
    }
    return insertAt(index, item);
}

int32_t SortedCollection::insertAt(int32_t index, NamedItem* item) {
    if (!item || index < 0 || index > count_)
        return -1;
    if (count_ == capacity_) {
        int32_t step = growthStep();
        if (step <= 0 || capacity_ > INT32_MAX - step || !grow(capacity_ + step))
            return -1;
    }
    std::memmove(items_ + index + 1, items_ + index, sizeof(NamedItem*) * static_cast<size_t>(count_ - index));
    items_[index] = item;
    ++count_;
    return index;
}

int32_t SortedCollection::insertString(const char* text) {
    NamedItem* item = new (std::nothrow) NamedItem(text);
    int32_t status;
    item = checkCreated(item, status);
    if (!item)
        return -1;
    int32_t index = insertItem(item);
    if (index < 0)
        delete item;
    return index;
}

int32_t SortedCollection::insertStringAt(int32_t index, const char* text) {
    if (index < 0 || index > count_)
        return -1;
    NamedItem* item = new (std::nothrow) NamedItem(text);
    int32_t status;
    item = checkCreated(item, status);
    if (!item)
        return -1;
    int32_t at = insertAt(index, item);
    if (at < 0)
        delete item;
    return at;
}

int32_t SortedCollection::removeAt(int32_t index) {
    if (index < 0 || index >= count_)
        return -1;
    NamedItem* item = items_[index];
    detachAt(index);
    if (ownsItems_)
        delete item;
    return index;
}

int32_t SortedCollection::detachAt(int32_t index) {
    if (index < 0 || index >= count_)
        return -1;
    --count_;
    std::memmove(items_ + index, items_ + index + 1, sizeof(NamedItem*) * static_cast<size_t>(count_ - index));
    return index;
}

int32_t SortedCollection::replaceAt(int32_t index, NamedItem* item) {
    if (!item || index < 0 || index >= count_)
        return -1;
    NamedItem* old = items_[index];
    items_[index] = item;
    if (ownsItems_)
        delete old;
    return index;
}

int32_t SortedCollection::removeKey(const char* key) {
    SearchResult at = searchKey(key);
    return at.found ? removeAt(at.index) : -1;
}

void SortedCollection::clear() {
    for (int32_t i = count_ - 1; i >= 0; --i)
        removeAt(i);
}

void SortedCollection::clearDeep() {
    if (!nested_) {
        clear();
        return;
    }
    for (int32_t i = 0; i < count_; ++i)
        collectionAt(i)->clearDeep();
}

int32_t SortedCollection::growthStep() const {
    int32_t proportional = capacity_ / 2;
    return proportional > delta_ ? proportional : delta_;
}

bool SortedCollection::sortStable() {
    if (count_ < 2)
        return true;
    NamedItem** scratch = static_cast<NamedItem**>(std::malloc(sizeof(NamedItem*) * static_cast<size_t>(count_)));
    if (!scratch)
        return false;
    mergeSortStable(items_, scratch, count_,
                    [this](const NamedItem* a, const NamedItem* b) { return compareItems(*a, *b) < 0; });
    std::free(scratch);
    return true;
}

int32_t SortedCollection::indexOf(const NamedItem* item) const {
    for (int32_t i = 0; i < count_; ++i)
        if (items_[i] == item)
            return i;
    return -1;
}

int32_t SortedCollection::totalCount() const {
    if (!nested_)
        return count_;
    int32_t total = 0;
    for (int32_t i = 0; i < count_; ++i)
        total += collectionAt(i)->totalCount();
    return total;
}

bool SortedCollection::grow(int32_t newCapacity) {
    if (newCapacity < count_)
        newCapacity = count_;
    if (newCapacity == capacity_ && items_)
        return true;
    size_t bytes = sizeof(NamedItem*) * static_cast<size_t>(newCapacity > 0 ? newCapacity : 1);
    if (bytes / sizeof(NamedItem*) != static_cast<size_t>(newCapacity > 0 ? newCapacity : 1))
        return false;
    NamedItem** items = static_cast<NamedItem**>(std::realloc(items_, bytes));
    if (!items)
        return false;
    items_ = items;
    capacity_ = newCapacity;
    return true;
}

std::unique_ptr<SortedCollection> makeNameList(bool sorted) {
    int32_t status;
    return std::unique_ptr<SortedCollection>(checkCreated(
        new (std::nothrow) SortedCollection(SortedCollection::kCapacity, SortedCollection::kDelta, sorted, true, false),
        status));
}

std::unique_ptr<SortedCollection> makeReferenceList() {
    int32_t status;
    return std::unique_ptr<SortedCollection>(checkCreated(
        new (std::nothrow) SortedCollection(SortedCollection::kCapacity, SortedCollection::kDelta, false, false, false),
        status));
}
