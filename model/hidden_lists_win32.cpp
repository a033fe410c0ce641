#include "model/hidden_lists.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "core/owned_text.h"
#include "model/cache_model.h"

namespace {

// A bare file name: the profile functions put it in the Windows directory.
constexpr char kProfileFile[] = "TARN.INI";
constexpr char kHostsSection[] = "Hidden Hosts";
constexpr char kUrlsSection[] = "Hidden Files";

// Room for "F", any 32-bit number and "=".
constexpr size_t kKeySize = 16;

// The value of the line "F<number>=value" (the key in any case, the number
// written without leading zeros, as "F%d" writes it), or null when `line`
// is the line of another key.
const char* valueOfKey(const char* line, int32_t& number) {
    if (*line != 'F' && *line != 'f')
        return nullptr;
    const char* p = line + 1;
    if (*p < '0' || *p > '9' || (*p == '0' && p[1] != '='))
        return nullptr;
    int64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > INT32_MAX)
            return nullptr;
    }
    if (*p != '=')
        return nullptr;
    number = static_cast<int32_t>(value);
    return p + 1;
}

// The whole section as the profile functions give it, "key=value" lines
// each ending in a NUL; null when memory ran out.
OwnedText readSectionLines(const char* section) {
    for (DWORD size = 64 * 1024; size <= 0x40000000; size *= 2) {
        OwnedText lines(static_cast<char*>(std::malloc(size)));
        if (!lines)
            break;
        lines.data()[0] = lines.data()[1] = '\0';
        // A section that did not fit comes back cut, its length size - 2.
        if (GetPrivateProfileSectionA(section, lines.data(), size, kProfileFile) < size - 2)
            return lines;
    }
    return OwnedText();
}

// The keys F0, F1, ... up to the first missing or empty one. The section
// is read in one piece: key by key the reading grows with the square of
// the list, and a key's value would be cut and stripped of its quotes.
MessageCode readSection(const char* section, SortedCollection& list) {
    list.clear();
    OwnedText lines = readSectionLines(section);
    if (!lines)
        return MSG_OUT_OF_MEMORY;
    // The value of each number below the line count; the first line of a
    // key counts, as when the key is read alone.
    int32_t lineCount = 0;
    for (const char* line = lines.get(); *line; line += std::strlen(line) + 1)
        ++lineCount;
    std::unique_ptr<const char*[]> values(new (std::nothrow) const char*[lineCount + 1]());
    if (!values)
        return MSG_OUT_OF_MEMORY;
    for (const char* line = lines.get(); *line; line += std::strlen(line) + 1) {
        int32_t number;
        const char* value = valueOfKey(line, number);
        if (value && number < lineCount && !values[number])
            values[number] = value;
    }
    for (int32_t number = 0; number < lineCount && values[number] && *values[number]; ++number) {
        if (list.insertString(values[number]) < 0)
            return MSG_OUT_OF_MEMORY;
    }
    return MSG_OK;
}

// Replaces the section in one call, so that the file never holds it half
// written, with the storable names as F0, F1, ... without gaps; an empty
// list deletes the section. False when memory ran out (the section is then
// left as it was).
bool writeSection(const char* section, const SortedCollection& list) {
    size_t size = 1;
    list.forEach([&](NamedItem* item) {
        if (isStorableHiddenName(item->name()))
            size += kKeySize + std::strlen(item->name()) + 1;
    });
    if (size == 1) {
        WritePrivateProfileStringA(section, nullptr, nullptr, kProfileFile);
        return true;
    }
    OwnedText lines(static_cast<char*>(std::malloc(size)));
    if (!lines)
        return false;
    char* out = lines.data();
    int32_t number = 0;
    list.forEach([&](NamedItem* item) {
        if (!isStorableHiddenName(item->name()))
            return;
        out += wsprintfA(out, "F%d=", static_cast<int>(number++));
        size_t length = std::strlen(item->name());
        std::memcpy(out, item->name(), length + 1);
        out += length + 1;
    });
    *out = '\0';
    WritePrivateProfileSectionA(section, lines.get(), kProfileFile);
    return true;
}

}  // namespace

MessageCode loadHiddenLists(CacheModel& model) {
    if (model.status() != 0)
        return model.status();
    MessageCode result = readSection(kHostsSection, *model.hiddenHosts);
    if (result == MSG_OK)
        result = readSection(kUrlsSection, *model.hiddenUrls);
    model.setStatus(result);
    return result;
}

MessageCode saveHiddenLists(CacheModel& model) {
    if (model.status() != 0)
        return model.status();
    if (model.lastScanComplete && !rebuildHiddenLists(model))
        return MSG_OUT_OF_MEMORY;
    bool written = writeSection(kHostsSection, *model.hiddenHosts);
    written = writeSection(kUrlsSection, *model.hiddenUrls) && written;
    return written ? MSG_OK : MSG_OUT_OF_MEMORY;
}
