// What the program reads back from the registry, the profile file and the
// running browser: the settings record, a search history's "MRUList", the
// hidden hosts and documents, and the browser's DDE replies; with the URLs
// it hands to the browser.
//
// Input: one byte of choices (the history's size limit, the letter used
// again), then parts ended by a NUL: the "MRUList" text, the lines of the
// hidden lists, a URL for the browser; the rest is the settings record and,
// from the same bytes, the DDE reply. A line of the hidden lists is a
// cached URL, hidden itself or, with "h" before it, by its host.
//
// Checks: a record of either stored size reads back into the same bytes,
// any other size is refused; a used letter moves to the front and a new
// entry takes a letter of its own within the limit; the lists mark only
// what they name, and only names that come back from the profile file are
// hidden; the title of a reply lies in the buffer; the URL reaches the
// browser as one argument and as one quoted field.
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "browser/navigator_items.h"
#include "core/url.h"
#include "fuzz/fuzz_input.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/hidden_lists.h"
#include "model/index_filing.h"
#include "settings/extract_options.h"
#include "settings/mru_order.h"
#include "settings/settings.h"

namespace {

void checkRecord(const uint8_t* data, size_t size) {
    Settings settings = defaultSettings();
    bool read = decodeSettings(data, size, settings);
    FUZZ_CHECK(read == (size == kSettingsRecordSize || size == kOldSettingsRecordSize));
    if (!read)
        return;
    unsigned char stored[kSettingsRecordSize];
    encodeSettings(settings, stored);
    FUZZ_CHECK(std::memcmp(stored, data, kOldSettingsRecordSize) == 0);
    if (size == kSettingsRecordSize)
        FUZZ_CHECK(std::memcmp(stored, data, size) == 0);
    else
        FUZZ_CHECK((settings.extractOptions & ~kAllExtractOptions) == 0);

    // The sort key and the view options of the record steer the views.
    int32_t field = sortField(settings.documentSortKey);
    FUZZ_CHECK(field >= 0 && field <= SORT_BY_DATE);
    for (int32_t chosen = SORT_BY_TITLE; chosen <= SORT_BY_DATE; ++chosen)
        FUZZ_CHECK(sortField(chooseSortKey(settings.documentSortKey, chosen)) == chosen);
    FUZZ_CHECK(filterMask(settings.optionFlags) & FLAG_DELETED);
}

bool isWellFormedOrder(const char* order, size_t length) {
    std::set<char> letters;
    for (size_t i = 0; i < length; ++i) {
        if (order[i] < 'a' || order[i] > 'z' || !letters.insert(order[i]).second)
            return false;
    }
    return true;
}

void checkMru(const std::string& stored, uint8_t choices) {
    // The value is read into 27 bytes.
    char order[kMruMaxLetters + 1] = {};
    std::strncpy(order, stored.c_str(), kMruMaxLetters);
    size_t length = std::strlen(order);
    int maximum = choices % 32;
    char used = (choices & 0x80) && length > 0 ? order[(choices >> 5) % length] : 0;

    MruChange change = recordMruUse(order, used, maximum);
    size_t changed = strnlen(change.order, sizeof change.order);
    FUZZ_CHECK(changed < sizeof change.order);
    FUZZ_CHECK(changed > 0 && change.order[0] == change.letter);
    if (used) {
        FUZZ_CHECK(!change.storeText && change.letter == used);
        std::multiset<char> before(order, order + length);
        std::multiset<char> after(change.order, change.order + changed);
        FUZZ_CHECK(before == after);
        return;
    }
    FUZZ_CHECK(change.storeText);
    int limit = maximum < 1 ? 1 : (maximum > kMruMaxLetters ? kMruMaxLetters : maximum);
    if (isWellFormedOrder(order, length)) {
        FUZZ_CHECK(isWellFormedOrder(change.order, changed));
        FUZZ_CHECK(changed <= static_cast<size_t>(limit > static_cast<int>(length) ? limit : static_cast<int>(length)));
    }
}

// A small cache from the URLs of the lines, and the lists as the profile
// file gives them: a line's URL is hidden, or with "h" before it its host.
void checkHiddenLists(const std::string& text) {
    CacheModel model(nullptr);
    FUZZ_CHECK(model.status() == 0);
    int32_t number = 0;
    for (const std::string& line : linesOf(text)) {
        if (line.empty() || number > 64)
            continue;
        bool host = line[0] == 'h';
        const char* url = line.c_str() + (host ? 1 : 0);
        std::string file = "M" + std::to_string(number++) + ".htm";
        IndexRecord record{};
        record.url = url;
        record.localFile = file.c_str();
        record.mimeType = "text/html";
        FUZZ_CHECK(addIndexRecord(model, record, record.url));
        if (!host) {
            model.hiddenUrls->insertString(url);
            continue;
        }
        UrlLayout layout;
        layoutUrl(layout, url, false);
        SpanText name(layout.host);
        if (name.get())
            model.hiddenHosts->insertString(name.get());
    }
    applyHiddenLists(model);
    model.cacheRoot->forEach([&](NamedItem* item) {
        DomainFolder& folder = *static_cast<DomainFolder*>(item);
        if (folder.hasAnyFlag(FLAG_HIDDEN))
            FUZZ_CHECK(model.hiddenHosts->searchKey(folder.name()).found);
        folder.forEach([&](NamedItem* entry) {
            if (entry->hasAnyFlag(FLAG_HIDDEN))
                FUZZ_CHECK(model.hiddenUrls->searchKey(entry->name()).found);
        });
    });

    // Hiding everything by hand names only what the profile file can give
    // back, and marks nothing else.
    unhideAll(model);
    model.cacheRoot->forEach([&](NamedItem* item) {
        DomainFolder& folder = *static_cast<DomainFolder*>(item);
        FUZZ_CHECK(hideHost(model, folder));
        FUZZ_CHECK(folder.hasAnyFlag(FLAG_HIDDEN) == isStorableHiddenName(folder.name()));
        folder.forEach([&](NamedItem* entry) {
            FUZZ_CHECK(hideDocument(model, *static_cast<CacheEntry*>(entry)));
            FUZZ_CHECK(entry->hasAnyFlag(FLAG_HIDDEN) == isStorableHiddenName(entry->name()));
        });
    });
    FUZZ_CHECK(rebuildHiddenLists(model));
    model.hiddenHosts->forEach([](NamedItem* name) { FUZZ_CHECK(isStorableHiddenName(name->name())); });
    model.hiddenUrls->forEach([](NamedItem* name) { FUZZ_CHECK(isStorableHiddenName(name->name())); });
}

void checkReply(const uint8_t* data, size_t size) {
    windowIdOfReply(data, size);
    const size_t sizes[] = {1, 2, 3, 16, 256, size + 1};
    for (size_t outSize : sizes) {
        std::unique_ptr<char[]> out(new char[outSize]);
        const char* title = windowTitleOfInfo(reinterpret_cast<const char*>(data), size, out.get(), outSize);
        if (!title)
            continue;
        FUZZ_CHECK(title >= out.get() && title < out.get() + outSize);
        FUZZ_CHECK(strnlen(title, static_cast<size_t>(out.get() + outSize - title)) <
                   static_cast<size_t>(out.get() + outSize - title));
        FUZZ_CHECK(!std::strchr(title, '"'));
    }
}

bool holdsControlBytes(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

void checkBrowserUrl(const std::string& url) {
    checkUrlToOpen(url.c_str());

    size_t length = browserArgumentLength(url.c_str());
    std::unique_ptr<char[]> argument(new char[length + 1]);
    FUZZ_CHECK(formatBrowserArgument(url.c_str(), argument.get(), length + 1));
    FUZZ_CHECK(std::strlen(argument.get()) == length);
    // One argument however the command line is split: quotes only at its
    // ends, no blank or control byte, no backslash before the closing quote.
    FUZZ_CHECK(length >= 2 && argument[0] == '"' && argument[length - 1] == '"');
    for (size_t i = 1; i + 1 < length; ++i) {
        unsigned char c = static_cast<unsigned char>(argument[i]);
        FUZZ_CHECK(c != '"' && c != ' ' && c >= 0x20 && c != 0x7F);
    }
    FUZZ_CHECK(length == 2 || argument[length - 2] != '\\');
    FUZZ_CHECK(!formatBrowserArgument(url.c_str(), argument.get(), length) && argument[0] == '\0');

    size_t itemSize = navigatorItemBufferSize(url.c_str());
    std::unique_ptr<char[]> item(new char[itemSize]);
    bool formatted = formatOpenUrlItem(url.c_str(), item.get(), itemSize);
    FUZZ_CHECK(formatted == !holdsControlBytes(url));
    if (!formatted)
        return;
    // The URL is one quoted field, the browser's fields after it.
    const char* close = std::strchr(item.get() + 1, '"');
    FUZZ_CHECK(item[0] == '"' && close && std::strcmp(close + 1, ",,0xFFFFFFFF,0,,,") == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    uint8_t choices = input.byte();
    std::string mruList = input.textUntil('\0');
    std::string hidden = input.textUntil('\0');
    std::string url = input.textUntil('\0');

    checkRecord(input.rest(), input.restSize());
    if (input.restSize() > kSettingsRecordSize)
        checkRecord(input.rest(), kSettingsRecordSize);
    checkMru(mruList, choices);
    checkHiddenLists(hidden);
    checkReply(input.rest(), input.restSize());
    checkBrowserUrl(url);
    return 0;
}
