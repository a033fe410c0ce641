#include "core/global_text_list.h"

#include <cstring>

namespace {

// A block grows by at least this much, so that a list of many short texts
// is not copied for every one.
constexpr size_t kGrowthMinimum = 1024;

}  // namespace

GlobalTextList::~GlobalTextList() {
    if (data_)
        GlobalUnlock(block_.get());
}

bool GlobalTextList::grow(size_t needed) {
    size_t step = needed > kGrowthMinimum ? needed : kGrowthMinimum;
    size_t capacity = capacity_ + step;
    if (!block_) {
        block_.reset(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, capacity));
        if (!block_)
            return false;
    } else {
        GlobalUnlock(block_.get());
        data_ = nullptr;
        HGLOBAL grown = GlobalReAlloc(block_.get(), capacity, GMEM_MOVEABLE);
        if (grown) {
            block_.release();
            block_.reset(grown);
        } else {
            capacity = capacity_;
        }
    }
    data_ = static_cast<char*>(GlobalLock(block_.get()));
    if (!data_)
        return false;
    bool grew = capacity != capacity_;
    capacity_ = capacity;
    return grew;
}

bool GlobalTextList::append(const char* text) {
    // An empty separator is the NUL that ends each text.
    size_t separatorLength = separator_[0] ? std::strlen(separator_) : 1;
    size_t textLength = std::strlen(text);
    size_t needed = textLength + separatorLength + 2;
    if (capacity_ < length_ + needed && !grow(needed))
        return false;
    if (length_ > 0) {
        std::memcpy(data_ + length_, separator_, separatorLength);
        length_ += separatorLength;
    }
    std::memcpy(data_ + length_, text, textLength);
    length_ += textLength;
    data_[length_] = '\0';
    data_[length_ + 1] = '\0';
    return true;
}

HGLOBAL GlobalTextList::release() {
    if (data_)
        GlobalUnlock(block_.get());
    data_ = nullptr;
    length_ = 0;
    capacity_ = 0;
    return block_.release();
}

bool copyToClipboard(GlobalTextList& list, HWND owner) {
    if (list.empty())
        return false;
    // Without an owner EmptyClipboard leaves the clipboard ownerless, and
    // SetClipboardData then fails.
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    GlobalMemory block(list.release());
    bool taken = SetClipboardData(CF_TEXT, block.get()) != nullptr;
    if (taken)
        block.release();
    CloseClipboard();
    return taken;
}
