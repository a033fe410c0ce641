// The six link options of a save, chosen in the save dialog and kept with
// the settings. The first three apply to links to text documents, the last
// three to links to pictures and other media.
#pragma once

#include <cstdint>

enum ExtractOption : uint32_t {
    TextFollowInternal = 0x01,
    TextFollowExternal = 0x02,
    TextReplaceMissing = 0x04,
    MediaFollowInternal = 0x08,
    MediaFollowExternal = 0x10,
    MediaReplaceMissing = 0x20,
};

using ExtractOptions = uint32_t;

constexpr ExtractOptions kTextOptions = TextFollowInternal | TextFollowExternal | TextReplaceMissing;
constexpr ExtractOptions kMediaOptions = MediaFollowInternal | MediaFollowExternal | MediaReplaceMissing;
constexpr ExtractOptions kAllExtractOptions = kTextOptions | kMediaOptions;
constexpr ExtractOptions kFollowInternal = TextFollowInternal | MediaFollowInternal;
constexpr ExtractOptions kFollowExternal = TextFollowExternal | MediaFollowExternal;
constexpr ExtractOptions kReplaceMissing = TextReplaceMissing | MediaReplaceMissing;
