// The base of every model object: an owned name, a status and a flags word.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// A text to look up, together with its sort key made once for the lookup.
class TextKey {
public:
    explicit TextKey(const char* text);
    ~TextKey();
    TextKey(const TextKey&) = delete;
    TextKey& operator=(const TextKey&) = delete;

    const char* text() const { return text_; }
    // Null when no key could be made; comparisons then ask the locale.
    const unsigned char* sortKey() const { return key_; }

private:
    const char* text_;
    const unsigned char* key_ = nullptr;
    unsigned char* heapKey_ = nullptr;
    unsigned char inlineKey_[256];
};

class NamedItem {
public:
    // A null name is stored as "". On a failed copy the status becomes -1.
    explicit NamedItem(const char* name);
    virtual ~NamedItem();
    NamedItem(const NamedItem&) = delete;
    NamedItem& operator=(const NamedItem&) = delete;

    const char* name() const { return name_ ? name_ : ""; }
    const unsigned char* sortKey() const { return sortKey_; }

    // 0 valid, -1 out of memory; subclasses use further negative values.
    int32_t status() const { return status_; }
    void setStatus(int32_t status) { status_ = status; }

    // The flags word is written by the main thread and by a background
    // thread (load state, title marks); each change is one atomic
    // read-modify-write so that neither side loses the other's bits.
    uint32_t flags() const { return flags_.load(std::memory_order_acquire); }
    bool hasAnyFlag(uint32_t bits) const { return (flags() & bits) != 0; }
    void setFlags(uint32_t bits) { flags_.fetch_or(bits, std::memory_order_acq_rel); }
    void clearFlags(uint32_t bits) { flags_.fetch_and(~bits, std::memory_order_acq_rel); }
    // Replaces the bits of `mask` by those of `value`, keeping all others.
    void replaceFlags(uint32_t mask, uint32_t value);

    // Case-insensitive comparisons of names in the locale's order.
    virtual bool isEqual(const NamedItem& other) const;
    virtual bool isEqualKey(const TextKey& key) const;
    virtual bool isLess(const NamedItem& other) const;
    virtual bool isLessKey(const TextKey& key) const;

    int compareName(const NamedItem& other) const;
    int compareName(const TextKey& key) const;

private:
    char* name_ = nullptr;                    // name and sort key share one block
    const unsigned char* sortKey_ = nullptr;  // null when no key could be made
    int32_t status_ = 0;
    std::atomic<uint32_t> flags_{0};
};

// The convention after every construction: a missing object counts as -1, an
// object whose status is not 0 is destroyed; the status is handed to the
// caller and only a sound object is returned.
template <class T>
T* checkCreated(T* object, int32_t& status) {
    if (!object) {
        status = -1;
        return nullptr;
    }
    status = object->status();
    if (status != 0) {
        delete object;
        return nullptr;
    }
    return object;
}
