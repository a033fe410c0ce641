// Names compared by their letters alone: two names whose bytes are equal once
// lowered compare equal in the locale's case-insensitive order too, so a
// lookup by letters finds what a keyed search would, without a sort key.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/hash_table.h"
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

// Items kept by the letters of their names. A hit is the item a
// case-insensitive search would find; a miss only proves that no item has
// the same letters (a name with other bytes, such as a soft hyphen, may still
// be equal in the locale's sense).
//
// `Item` is a small value whose default value marks a free slot (a pointer,
// or an offset counted from 1); `NameOf` gives an item's name.
template <class Item, class NameOf>
class FoldedNameTable {
public:
    explicit FoldedNameTable(NameOf nameOf = NameOf()) : nameOf_(nameOf) {}

    // Adds the item unless one with the same letters is held already. False
    // when memory ran out; the table then stays as it was.
    bool add(Item item) {
        const char* name = nameOf_(item);
        return table_.add(item, foldedHash(name), [&](Item held) { return foldedEqual(nameOf_(held), name); });
    }

    // The item with the letters of `name`, or Item() when there is none.
    Item find(const char* name) const {
        return table_.find(foldedHash(name), [&](Item held) { return foldedEqual(nameOf_(held), name); });
    }

    size_t count() const { return table_.count(); }

private:
    NameOf nameOf_;
    OpenHashTable<Item> table_;
};
