#include "index/cache_directory_files.h"

#include <cstdlib>
#include <cstring>


bool isPlainAsciiName(const char* name) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (*p < 0x20 || *p > 0x7E)
            return false;
    }
    return true;
}

CacheDirectoryFiles::~CacheDirectoryFiles() {
    std::free(names_);
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
    if (!isPlainAsciiName(name) && !addUnusual(name))
        return false;
    std::memcpy(names_ + used_, name, size);
    if (!byLetters_.add(static_cast<uint32_t>(used_ + 1)))
        return false;
    used_ += size;
    keyed_.reset();
    return true;
}

bool CacheDirectoryFiles::addUnusual(const char* name) {
    if (!unusual_)
        unusual_ = makeNameList();
    return unusual_ && unusual_->insertString(name) >= 0;
}

CacheDirectoryFiles::Presence CacheDirectoryFiles::findByLocale(const char* name, bool plainOnlyMissed) {
    // A plain name that missed by its letters can only be equal to one of
    // the few unusual names.
    if (plainOnlyMissed)
        return unusual_->searchKey(name).found ? PRESENT : ABSENT;
    if (!keyed_) {
        std::unique_ptr<SortedCollection> keyed = makeNameList();
        if (!keyed || !keyed->grow(count()))
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
    if (byLetters_.find(name))
        return PRESENT;
    bool plain = isPlainAsciiName(name);
    if (plain && !unusual_)
        return ABSENT;
    return findByLocale(name, plain);
}
