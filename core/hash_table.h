// The open-addressed table under the program's lookups by name: small items
// (pointers, or offsets counted from 1) whose default value marks a free
// slot, each kept with its hash, the table at most half full. What makes two
// items the same is the caller's: by the letters of their names, or by their
// sort keys.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

template <class Item>
class OpenHashTable {
public:
    OpenHashTable() = default;
    ~OpenHashTable() { std::free(slots_); }
    OpenHashTable(const OpenHashTable&) = delete;
    OpenHashTable& operator=(const OpenHashTable&) = delete;

    // The item of `hash` that `matches(item)` accepts, or Item().
    template <class Matches>
    Item find(uint32_t hash, Matches matches) const {
        if (!capacity_)
            return Item();
        for (size_t at = hash & (capacity_ - 1); slots_[at].item != Item(); at = (at + 1) & (capacity_ - 1)) {
            if (slots_[at].hash == hash && matches(slots_[at].item))
                return slots_[at].item;
        }
        return Item();
    }

    // Adds `item` unless an item of `hash` that `matches` accepts is held
    // already. False when memory ran out; the table then stays as it was.
    template <class Matches>
    bool add(Item item, uint32_t hash, Matches matches) {
        if ((used_ + 1) * 2 > capacity_ && !grow())
            return false;
        size_t at = hash & (capacity_ - 1);
        for (; slots_[at].item != Item(); at = (at + 1) & (capacity_ - 1)) {
            if (slots_[at].hash == hash && matches(slots_[at].item))
                return true;
        }
        slots_[at] = {item, hash};
        ++used_;
        return true;
    }

    size_t count() const { return used_; }

private:
    struct Slot {
        Item item;
        uint32_t hash;
    };

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

    Slot* slots_ = nullptr;
    size_t capacity_ = 0;  // a power of two, or 0
    size_t used_ = 0;
};
