// Names kept by their sort keys: two names are equal in the locale's
// case-insensitive order exactly when their sort keys are equal, so a hit is
// the item a keyed search would find and a miss proves that there is none.
// The price is a sort key for every name looked up; FoldedNameTable spares
// it for the names that its letters can answer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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
    ~SortKeyTable() { std::free(slots_); }
    SortKeyTable(const SortKeyTable&) = delete;
    SortKeyTable& operator=(const SortKeyTable&) = delete;

    // Adds the item unless one of its group with the same key is held
    // already. False when memory ran out; the table then stays as it was.
    bool add(Item item) {
        if ((used_ + 1) * 2 > capacity_ && !grow())
            return false;
        uintptr_t group = traits_.group(item);
        const unsigned char* key = traits_.key(item);
        uint32_t hash = sortKeyHash(group, key);
        size_t at = hash & (capacity_ - 1);
        while (slots_[at].item != Item()) {
            if (matches(slots_[at], hash, group, key))
                return true;
            at = (at + 1) & (capacity_ - 1);
        }
        slots_[at].item = item;
        slots_[at].hash = hash;
        ++used_;
        return true;
    }

    // The item of `group` whose sort key is `key`, or Item().
    Item find(uintptr_t group, const unsigned char* key) const {
        if (!capacity_)
            return Item();
        uint32_t hash = sortKeyHash(group, key);
        size_t at = hash & (capacity_ - 1);
        while (slots_[at].item != Item()) {
            if (matches(slots_[at], hash, group, key))
                return slots_[at].item;
            at = (at + 1) & (capacity_ - 1);
        }
        return Item();
    }

    size_t count() const { return used_; }

private:
    struct Slot {
        Item item;
        uint32_t hash;
    };

    bool matches(const Slot& slot, uint32_t hash, uintptr_t group, const unsigned char* key) const {
        return slot.hash == hash && traits_.group(slot.item) == group &&
               std::strcmp(reinterpret_cast<const char*>(traits_.key(slot.item)), reinterpret_cast<const char*>(key)) == 0;
    }

    bool grow() {
        size_t capacity = capacity_ ? capacity_ * 2 : 64;
        if (capacity > SIZE_MAX / 2 / sizeof(Slot))
            return false;
        Slot* slots = static_cast<Slot*>(std::malloc(capacity * sizeof(Slot)));
        if (!slots)
            return false;
        for (size_t i = 0; i < capacity; ++i)
            slots[i].item = Item();
        for (size_t i = 0; i < capacity_; ++i) {
            if (slots_[i].item == Item())
                continue;
            size_t at = slots_[i].hash & (capacity - 1);
            while (slots[at].item != Item())
                at = (at + 1) & (capacity - 1);
            slots[at] = slots_[i];
        }
        std::free(slots_);
        slots_ = slots;
        capacity_ = capacity;
        return true;
    }

    Traits traits_;
    Slot* slots_ = nullptr;
    size_t capacity_ = 0;  // a power of two, or 0
    size_t used_ = 0;
};
