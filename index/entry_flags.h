// The flags word of cache entries and host folders.
#pragma once

#include <cstdint>

// Bits 12-15 double as the list view's state-image index and the tree's
// overlay index, which is why hidden is image 1 and deleted image 2.
constexpr uint32_t FLAG_HIDDEN = 0x00001000;
constexpr uint32_t FLAG_DELETED = 0x00002000;
constexpr uint32_t FLAG_STATE_IMAGE_MASK = 0x0000F000;

// Entries of the cache and host folders of the cache tree; search-result
// folders never carry it and so cannot be hidden.
constexpr uint32_t FLAG_HIDEABLE = 0x00010000;
constexpr uint32_t FLAG_NOT_TEXT = 0x00100000;
constexpr uint32_t FLAG_NOT_WEB = 0x00200000;
// The title is still the one made from the URL.
constexpr uint32_t FLAG_TITLE_PENDING = 0x00400000;
// Pass mark of the list view while it refreshes.
constexpr uint32_t FLAG_LISTED = 0x04000000;
// A folder list keeps its tree node even when it is empty.
constexpr uint32_t FLAG_ROOT_SHOWN = 0x10000000;

// Load state of a host folder's titles and icons, in bits 24-25.
constexpr uint32_t FLAG_LOAD_STATE_MASK = 0x03000000;
constexpr uint32_t kLoadStateShift = 24;

enum LoadState : uint32_t {
    LOAD_STATE_NOT_LOADED = 0,
    LOAD_STATE_LOADING = 1,
    LOAD_STATE_LOADED = 2,
};

constexpr LoadState loadStateOf(uint32_t flags) {
    return static_cast<LoadState>((flags & FLAG_LOAD_STATE_MASK) >> kLoadStateShift);
}

constexpr uint32_t loadStateBits(LoadState state) {
    return (static_cast<uint32_t>(state) << kLoadStateShift) & FLAG_LOAD_STATE_MASK;
}
