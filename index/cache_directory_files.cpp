#include "index/cache_directory_files.h"

#include <cstdlib>
#include <cstring>

#include "index/folded_names.h"

bool isPlainAsciiName(const char* name) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (*p < 0x20 || *p > 0x7E)
            return false;
    }
    return true;
}

CacheDirectoryFiles::~CacheDirectoryFiles() {
    std::free(names_);
    std::free(slots_);
}

bool CacheDirectoryFiles::growSlots() {
    size_t capacity = slotCapacity_ ? slotCapacity_ * 2 : 1024;
    if (capacity > SIZE_MAX / sizeof(uint32_t))
        return false;
    uint32_t* slots = static_cast<uint32_t*>(std::calloc(capacity, sizeof(uint32_t)));
    if (!slots)
        return false;
    for (size_t i = 0; i < slotCapacity_; ++i) {
        if (!slots_[i])
            continue;
        size_t at = foldedHash(nameAt(static_cast<uint32_t>(i))) & (capacity - 1);
        while (slots[at])
            at = (at + 1) & (capacity - 1);
        slots[at] = slots_[i];
    }
    std::free(slots_);
    slots_ = slots;
    slotCapacity_ = capacity;
    return true;
}

bool CacheDirectoryFiles::add(const char* name) {
    size_t size = std::strlen(name) + 1;
    if (used_ + size > UINT32_MAX - 1)
        return false;
    if (used_ + size > capacity_) {
        size_t capacity = capacity_ ? capacity_ : 16384;
        while (capacity < used_ + size)
            capacity *= 2;
        char* names = static_cast<char*>(std::realloc(names_, capacity));
        if (!names)
            return false;
        names_ = names;
        capacity_ = capacity;
    }
    // At most half full, so that probes stay short.
    if ((count_ + 1) * 2 > slotCapacity_ && !growSlots())
        return false;
    if (!isPlainAsciiName(name) && !addUnusual(name))
        return false;
    std::memcpy(names_ + used_, name, size);
    size_t at = foldedHash(name) & (slotCapacity_ - 1);
    while (slots_[at])
        at = (at + 1) & (slotCapacity_ - 1);
    slots_[at] = static_cast<uint32_t>(used_ + 1);
    used_ += size;
    ++count_;
    keyed_.reset();
    return true;
}

bool CacheDirectoryFiles::addUnusual(const char* name) {
    if (!unusual_)
        unusual_ = makeNameList();
    return unusual_ && unusual_->insertString(name) >= 0;
}

bool CacheDirectoryFiles::findByLetters(const char* name) const {
    if (!slotCapacity_)
        return false;
    size_t at = foldedHash(name) & (slotCapacity_ - 1);
    while (slots_[at]) {
        if (foldedEqual(nameAt(static_cast<uint32_t>(at)), name))
            return true;
        at = (at + 1) & (slotCapacity_ - 1);
    }
    return false;
}

CacheDirectoryFiles::Presence CacheDirectoryFiles::findByLocale(const char* name, bool plainOnlyMissed) {
    // A plain name that missed by its letters can only be equal to one of
    // the few unusual names.
    if (plainOnlyMissed)
        return unusual_->searchKey(name).found ? PRESENT : ABSENT;
    if (!keyed_) {
        std::unique_ptr<SortedCollection> keyed = makeNameList();
        if (!keyed || !keyed->grow(static_cast<int32_t>(count_)))
            return OUT_OF_MEMORY;
        for (size_t offset = 0; offset < used_; offset += std::strlen(names_ + offset) + 1) {
            if (keyed->insertStringAt(keyed->count(), names_ + offset) < 0)
                return OUT_OF_MEMORY;
        }
        if (!keyed->sortStable())
            return OUT_OF_MEMORY;
        keyed_ = std::move(keyed);
    }
    return keyed_->searchKey(name).found ? PRESENT : ABSENT;
}

CacheDirectoryFiles::Presence CacheDirectoryFiles::find(const char* name) {
    if (findByLetters(name))
        return PRESENT;
    bool plain = isPlainAsciiName(name);
    if (plain && !unusual_)
        return ABSENT;
    return findByLocale(name, plain);
}
