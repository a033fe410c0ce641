#include "settings/settings.h"

#include <type_traits>

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
    uint32_t options = 0;
    if (optionFlags & OPTION_OLD_FOLLOW_INTERNAL)
        options |= 0x09;
    if (optionFlags & OPTION_OLD_FOLLOW_EXTERNAL)
        options |= 0x12;
    if (optionFlags & OPTION_OLD_REPLACE_MISSING)
        options |= 0x24;
    if (optionFlags & OPTION_OLD_NO_MEDIA_LINKS)
        options &= ~0x18u;
    return options;
}

}  // namespace

// Constant-initialised, so that the process record needs no guard at first use.
constexpr Settings kDefaultSettings = {
    0x0B2170BE,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    kPlacementUnset,
    {100, 80, 80, 80, 50, 80},
    1,
    {kPlacementUnset, kPlacementUnset, kPlacementUnset, kPlacementUnset},
    0,
    0x3F,
};

Settings defaultSettings() {
    return kDefaultSettings;
}

Settings& processSettings() {
    static Settings settings = kDefaultSettings;
    return settings;
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
