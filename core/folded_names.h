// Names compared by their letters alone: two names whose bytes are equal once
// lowered compare equal in the locale's case-insensitive order too, so a
// lookup by letters finds what a keyed search would, without a sort key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/text_locale.h"

inline uint32_t foldedHash(const char* name) {
    const unsigned char* lower = lowerCaseMap();
    uint32_t hash = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        hash = (hash ^ lower[*p]) * 16777619u;
    return hash;
}

inline bool foldedEqual(const char* a, const char* b) {
    const unsigned char* lower = lowerCaseMap();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (; *p && *q; ++p, ++q) {
        if (*p != *q && lower[*p] != lower[*q])
            return false;
    }
    return *p == *q;
}

// Items kept by the letters of their names, in an open-addressed table. A
// hit is the item a case-insensitive search would find; a miss only proves
// that no item has the same letters (a name with other bytes, such as a
// soft hyphen, may still be equal in the locale's sense).
//
// `Item` is a small value whose default value marks a free slot (a pointer,
// or an offset counted from 1); `NameOf` gives an item's name.
template <class Item, class NameOf>
class FoldedNameTable {
public:
    explicit FoldedNameTable(NameOf nameOf = NameOf()) : nameOf_(nameOf) {}
    ~FoldedNameTable() { std::free(slots_); }
    FoldedNameTable(const FoldedNameTable&) = delete;
    FoldedNameTable& operator=(const FoldedNameTable&) = delete;

    // Adds the item unless one with the same letters is held already. False
    // when memory ran out; the table then stays as it was.
    bool add(Item item) {
        // At most half full, so that probes stay short.
        if ((used_ + 1) * 2 > capacity_ && !grow())
            return false;
        const char* name = nameOf_(item);
        size_t at = foldedHash(name) & (capacity_ - 1);
        while (slots_[at] != Item()) {
            if (foldedEqual(nameOf_(slots_[at]), name))
                return true;
            at = (at + 1) & (capacity_ - 1);
        }
        slots_[at] = item;
        ++used_;
        return true;
    }

    // The item with the letters of `name`, or Item() when there is none.
    Item find(const char* name) const {
        if (!capacity_)
            return Item();
        size_t at = foldedHash(name) & (capacity_ - 1);
        while (slots_[at] != Item()) {
            if (foldedEqual(nameOf_(slots_[at]), name))
                return slots_[at];
            at = (at + 1) & (capacity_ - 1);
        }
        return Item();
    }

    size_t count() const { return used_; }

private:
    bool grow() {
        size_t capacity = capacity_ ? capacity_ * 2 : 64;
        if (capacity > SIZE_MAX / sizeof(Item))
            return false;
        Item* slots = static_cast<Item*>(std::calloc(capacity, sizeof(Item)));
        if (!slots)
            return false;
        for (size_t i = 0; i < capacity_; ++i) {
            if (slots_[i] == Item())
                continue;
            size_t at = foldedHash(nameOf_(slots_[i])) & (capacity - 1);
            while (slots[at] != Item())
                at = (at + 1) & (capacity - 1);
            slots[at] = slots_[i];
        }
        std::free(slots_);
        slots_ = slots;
        capacity_ = capacity;
        return true;
    }

    NameOf nameOf_;
    Item* slots_ = nullptr;  // calloc'd: every slot starts free
    size_t capacity_ = 0;    // a power of two, or 0
    size_t used_ = 0;
};
