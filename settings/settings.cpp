#include "settings/settings.h"

#include <type_traits>

#include "settings/extract_options.h"

namespace {

uint32_t readWord(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void writeWord(unsigned char* p, uint32_t value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

// The record as a list of words, so that encoding and decoding walk the same
// order without depending on the compiler's struct layout.
template <class SettingsRef, class Visit>
void forEachWord(SettingsRef& s, Visit&& visit) {
    visit(s.optionFlags);
    visit(s.windowLeft);
    visit(s.windowTop);
    visit(s.windowWidth);
    visit(s.windowHeight);
    visit(s.splitterPos);
    for (auto& width : s.columnWidths)
        visit(width);
    visit(s.documentSortKey);
    for (auto& word : s.reserved)
        visit(word);
    visit(s.reserved2);
    visit(s.extractOptions);
}

// The save dialog's options from the old record's option bits; the rules
// are applied in this order, the last one taking media links away again.
uint32_t convertOldExtractOptions(uint32_t optionFlags) {
    ExtractOptions options = 0;
    if (optionFlags & OPTION_OLD_FOLLOW_INTERNAL)
        options |= kFollowInternal;
    if (optionFlags & OPTION_OLD_FOLLOW_EXTERNAL)
        options |= kFollowExternal;
    if (optionFlags & OPTION_OLD_REPLACE_MISSING)
        options |= kReplaceMissing;
    if (optionFlags & OPTION_OLD_NO_MEDIA_LINKS)
        options &= ~(MediaFollowInternal | MediaFollowExternal);
    return options;
}

}  // namespace

// A first start shows every bar, the details and the list tips, finds in
// all three fields, searches the whole cache and puts the browser's verify
// option back at the end. The old record's link bits are set too, so that
// an earlier version reading this record follows and replaces links.
constexpr uint32_t kDefaultOptionFlags =
    OPTION_TOOLBAR | OPTION_STATUS_BAR | OPTION_DESCRIPTION_BARS | OPTION_LIST_TIPS | OPTION_DETAILS_VIEW |
    OPTION_NAMES_IN_SORT_ORDER | OPTION_FIND_HOSTS | OPTION_FIND_URLS | OPTION_FIND_TITLES | OPTION_SEARCH_CACHE |
    OPTION_RESTORE_BROWSER | OPTION_OLD_FOLLOW_INTERNAL | OPTION_OLD_FOLLOW_EXTERNAL | OPTION_OLD_REPLACE_MISSING;
static_assert(kDefaultOptionFlags == 0x0B2170BE, "the stored default word of the settings record");

constexpr Settings kDefaultSettings = {
    kDefaultOptionFlags,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    {100, 80, 80, 80, 50, 80},
    1,  // by title, ascending
    {kPlacementUnset, kPlacementUnset, kPlacementUnset, kPlacementUnset},
    0,
    kAllExtractOptions,
};

Settings defaultSettings() {
    return kDefaultSettings;
}

void encodeSettings(const Settings& settings, unsigned char out[kSettingsRecordSize]) {
    unsigned char* p = out;
    forEachWord(settings, [&p](const auto& word) {
        writeWord(p, static_cast<uint32_t>(word));
        p += 4;
    });
}

bool decodeSettings(const unsigned char* data, size_t size, Settings& out) {
    if (size != kSettingsRecordSize && size != kOldSettingsRecordSize)
        return false;
    Settings s{};
    const unsigned char* p = data;
    const unsigned char* end = data + size;
    forEachWord(s, [&p, end](auto& word) {
        if (p == end)
            return;
        word = static_cast<std::remove_reference_t<decltype(word)>>(readWord(p));
        p += 4;
    });
    if (size == kOldSettingsRecordSize)
        s.extractOptions = convertOldExtractOptions(s.optionFlags);
    out = s;
    return true;
}
