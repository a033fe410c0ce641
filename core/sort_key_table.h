// Names kept by their sort keys: two names are equal in the locale's
// case-insensitive order exactly when their sort keys are equal, so a hit is
// the item a keyed search would find and a miss proves that there is none.
// The price is a sort key for every name looked up; FoldedNameTable spares
// it for the names that its letters can answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/hash_table.h"

inline uint32_t sortKeyHash(uintptr_t group, const unsigned char* key) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < sizeof group; ++i)
        hash = (hash ^ static_cast<unsigned char>(group >> (8 * i))) * 16777619u;
    for (const unsigned char* p = key; *p; ++p)
        hash = (hash ^ *p) * 16777619u;
    return hash;
}

// Items in an open-addressed table, each in a group (the folder of a
// document, or one group for all); items of different groups never match.
//
// `Item` is a small value whose default value marks a free slot. `Traits`
// gives an item's sort key, `key(item)`, never null for an item in the
// table, and its group, `group(item)`.
template <class Item, class Traits>
class SortKeyTable {
public:
    explicit SortKeyTable(Traits traits = Traits()) : traits_(traits) {}

    // Adds the item unless one of its group with the same key is held
    // already. False when memory ran out; the table then stays as it was.
    bool add(Item item) {
        uintptr_t group = traits_.group(item);
        const unsigned char* key = traits_.key(item);
        return table_.add(item, sortKeyHash(group, key), matching(group, key));
    }

    // The item of `group` whose sort key is `key`, or Item().
    Item find(uintptr_t group, const unsigned char* key) const {
        return table_.find(sortKeyHash(group, key), matching(group, key));
    }

    size_t count() const { return table_.count(); }

private:
    auto matching(uintptr_t group, const unsigned char* key) const {
        return [this, group, key](const Item& held) {
            return traits_.group(held) == group &&
                   std::strcmp(reinterpret_cast<const char*>(traits_.key(held)), reinterpret_cast<const char*>(key)) == 0;
        };
    }

    Traits traits_;
    OpenHashTable<Item> table_;
};
