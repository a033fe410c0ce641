#include "core/named_item.h"

#include <cstdlib>
#include <cstring>

#include "core/text_locale.h"

namespace {

int compareKeys(const unsigned char* a, const unsigned char* b) {
    return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

}  // namespace

TextKey::TextKey(const char* text) : text_(text ? text : "") {
    size_t needed = makeSortKey(text_, inlineKey_, sizeof inlineKey_);
    if (needed == 0)
        return;
    if (needed <= sizeof inlineKey_) {
        key_ = inlineKey_;
        return;
    }
    heapKey_ = static_cast<unsigned char*>(std::malloc(needed));
    if (heapKey_ && makeSortKey(text_, heapKey_, needed) == needed)
        key_ = heapKey_;
}

TextKey::~TextKey() {
    std::free(heapKey_);
}

NamedItem::NamedItem(const char* name) {
    if (!name)
        name = "";
    size_t nameSize = std::strlen(name) + 1;
    unsigned char probe[256];
    size_t keySize = makeSortKey(name, probe, sizeof probe);

    name_ = static_cast<char*>(std::malloc(nameSize + keySize));
    if (!name_) {
        status_ = -1;
        return;
    }
    std::memcpy(name_, name, nameSize);
    if (keySize == 0)
        return;
    unsigned char* key = reinterpret_cast<unsigned char*>(name_ + nameSize);
    if (keySize <= sizeof probe) {
        std::memcpy(key, probe, keySize);
        sortKey_ = key;
    } else if (makeSortKey(name, key, keySize) == keySize) {
        sortKey_ = key;
    }
}

NamedItem::~NamedItem() {
    std::free(name_);
}

void NamedItem::replaceFlags(uint32_t mask, uint32_t value) {
    uint32_t old = flags_.load(std::memory_order_relaxed);
    while (!flags_.compare_exchange_weak(old, (old & ~mask) | (value & mask), std::memory_order_acq_rel))
        ;
}

int NamedItem::compareName(const NamedItem& other) const {
    if (sortKey_ && other.sortKey_)
        return compareKeys(sortKey_, other.sortKey_);
    return compareTextNoCase(name(), other.name());
}

int NamedItem::compareName(const TextKey& key) const {
    if (sortKey_ && key.sortKey())
        return compareKeys(sortKey_, key.sortKey());
    return compareTextNoCase(name(), key.text());
}

bool NamedItem::isEqual(const NamedItem& other) const {
    return compareName(other) == 0;
}

bool NamedItem::isEqualKey(const TextKey& key) const {
    return compareName(key) == 0;
}

bool NamedItem::isLess(const NamedItem& other) const {
    return compareName(other) < 0;
}

bool NamedItem::isLessKey(const TextKey& key) const {
    return compareName(key) < 0;
}
