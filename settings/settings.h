// The process-wide settings record: view options, window layout, column
// widths, sort order and dialog options, stored as one 76-byte binary value.
#pragma once

#include <cstddef>
#include <cstdint>

// Bits of Settings::optionFlags.
enum SettingsOption : uint32_t {
    OPTION_MAXIMIZED = 0x1,
    OPTION_TOOLBAR = 0x2,
    OPTION_STATUS_BAR = 0x4,
    OPTION_DESCRIPTION_BARS = 0x8,
    OPTION_LIST_TIPS = 0x10,
    OPTION_DETAILS_VIEW = 0x20,
    OPTION_HIERARCHICAL = 0x40,
    OPTION_NAMES_IN_SORT_ORDER = 0x80,
    OPTION_TEXT_ONLY = 0x100,
    OPTION_WEB_ONLY = 0x200,
    OPTION_SHOW_ALL = 0x400,
    OPTION_FIND_HOSTS = 0x1000,
    OPTION_FIND_URLS = 0x2000,
    OPTION_FIND_TITLES = 0x4000,
    OPTION_SEARCH_CACHE = 0x10000,
    OPTION_SEARCH_FOLDER = 0x20000,
    OPTION_SEARCH_SELECTION = 0x40000,
    OPTION_ADJUST_BROWSER = 0x100000,
    OPTION_RESTORE_BROWSER = 0x200000,
    // The extraction options of the earlier 72-byte record.
    OPTION_OLD_FOLLOW_INTERNAL = 0x01000000,
    OPTION_OLD_FOLLOW_EXTERNAL = 0x02000000,
    OPTION_OLD_NO_MEDIA_LINKS = 0x04000000,
    OPTION_OLD_REPLACE_MISSING = 0x08000000,
};

// CW_USEDEFAULT: a placement field that was never set.
constexpr int32_t kPlacementUnset = static_cast<int32_t>(0x80000000u);

constexpr int kColumnCount = 6;

struct Settings {
    uint32_t optionFlags;
    int32_t windowLeft;
    int32_t windowTop;
    int32_t windowWidth;
    int32_t windowHeight;
    int32_t splitterPos;
    int32_t columnWidths[kColumnCount];
    int32_t documentSortKey;
    int32_t reserved[4];
    int32_t reserved2;
    uint32_t extractOptions;
};

constexpr size_t kSettingsRecordSize = 76;
// The record of the earlier version, which had no extractOptions.
constexpr size_t kOldSettingsRecordSize = 72;

Settings defaultSettings();

// The stored form: all fields little-endian 32-bit, in declaration order.
void encodeSettings(const Settings& settings, unsigned char out[kSettingsRecordSize]);

// Reads a stored record of 76 bytes, or of 72 bytes (then extractOptions is
// rebuilt from the old option bits). Any other size gives false and leaves
// `out` unchanged.
bool decodeSettings(const unsigned char* data, size_t size, Settings& out);
