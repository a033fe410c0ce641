// The program's one container: a growable array of NamedItem pointers, kept
// sorted (binary search, equal items in arrival order) or in insertion order,
// owning its items or only pointing to them, flat or holding collections.
#pragma once

#include <cstdint>
#include <memory>

#include "core/named_item.h"

struct SearchResult {
    bool found;
    int32_t index;  // the item's index, or the insertion point when not found
};

class SortedCollection : public NamedItem {
public:
    // Every collection of the program starts with capacity 10 and grows by 10.
    static constexpr int32_t kCapacity = 10;
    static constexpr int32_t kDelta = 10;

    SortedCollection(int32_t capacity, int32_t delta, bool sorted, bool ownsItems, bool nested,
                     const char* name = nullptr);
    ~SortedCollection() override;

    int32_t count() const { return count_; }
    int32_t capacity() const { return capacity_; }
    bool ownsItems() const { return ownsItems_; }
    bool isNested() const { return nested_; }
    NamedItem* at(int32_t index) const { return items_[index]; }
    // For nested collections: the inner collection at `index`.
    SortedCollection* collectionAt(int32_t index) const { return static_cast<SortedCollection*>(items_[index]); }

    // -1, 0 or 1; subclasses override these to impose another order.
    virtual int compareItems(const NamedItem& a, const NamedItem& b) const;
    virtual int compareKey(const NamedItem& item, const TextKey& key) const;

    SearchResult searchItem(const NamedItem& item) const;
    SearchResult searchKey(const TextKey& key) const;
    SearchResult searchKey(const char* key) const;

    // These return the new index or -1. On -1 the item is not taken over.
    int32_t insertItem(NamedItem* item);
    int32_t insertAt(int32_t index, NamedItem* item);
    int32_t insertString(const char* text);
    int32_t insertStringAt(int32_t index, const char* text);

    // removeAt destroys the item when the collection owns it; detachAt never.
    int32_t removeAt(int32_t index);
    int32_t detachAt(int32_t index);
    int32_t removeKey(const char* key);
    // Puts `item` in the place of the item at `index`, which is destroyed
    // when the collection owns it; keeping the order is the caller's part.
    // -1 (and `item` not taken over) when the index is outside the items.
    int32_t replaceAt(int32_t index, NamedItem* item);
    void clear();
    // On a nested collection empties every inner collection and keeps them.
    void clearDeep();

    // Puts the items into the collection's order, equal items keeping their
    // relative order: the same result as inserting them one by one, without
    // shifting the array for every item. False (and unchanged) when the
    // scratch memory cannot be had.
    bool sortStable();

    int32_t indexOf(const NamedItem* item) const;
    int32_t totalCount() const;
    // A failed reallocation leaves the collection as it was and returns false.
    bool grow(int32_t newCapacity);

    // Growing by the fixed delta alone would copy a large array over and over;
    // past a few hundred items the step grows with the size instead.
    int32_t growthStep() const;

    template <class Fn>
    void forEach(Fn&& fn) const {
        for (int32_t i = 0; i < count_; ++i)
            fn(items_[i]);
    }

    // Visits the leaves: the items of every inner collection of a nested one.
    template <class Fn>
    void forEachDeep(Fn&& fn) const {
        if (!nested_) {
            forEach(fn);
            return;
        }
        for (int32_t i = 0; i < count_; ++i)
            collectionAt(i)->forEachDeep(fn);
    }

private:
    NamedItem** items_ = nullptr;
    int32_t capacity_ = 0;
    int32_t delta_;
    int32_t count_ = 0;
    bool sorted_;
    bool ownsItems_;
    bool nested_;
};

// A new empty list of names that owns them, flat, of the usual capacity and
// delta, sorted or in insertion order; null when memory ran out.
std::unique_ptr<SortedCollection> makeNameList(bool sorted = true);

// A new empty list that only points to items others own (the entries of a
// selection, the candidates of a search), flat, in insertion order, of the
// usual capacity and delta; null when memory ran out.
std::unique_ptr<SortedCollection> makeReferenceList();
