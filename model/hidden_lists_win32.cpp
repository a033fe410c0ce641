#include "model/hidden_lists.h"

#include <windows.h>

#include <cstring>

#include "model/cache_model.h"

namespace {

// A bare file name: the profile functions put it in the Windows directory.
constexpr char kProfileFile[] = "TARN.INI";
constexpr char kHostsSection[] = "Hidden Hosts";
constexpr char kUrlsSection[] = "Hidden Files";
// At most 519 characters of a name are read back.
constexpr DWORD kNameBufferSize = 520;

// Room for "F" and any 32-bit number.
constexpr size_t kKeyNameSize = 16;

void keyName(char (&out)[kKeyNameSize], int32_t number) {
    wsprintfA(out, "F%d", static_cast<int>(number));
}

// The keys F0, F1, ... up to the first missing or empty one.
MessageCode readSection(const char* section, SortedCollection& list) {
    list.clear();
    char key[kKeyNameSize];
    char name[kNameBufferSize];
    for (int32_t number = 0;; ++number) {
        keyName(key, number);
        if (GetPrivateProfileStringA(section, key, "", name, sizeof name, kProfileFile) == 0)
            return MSG_OK;
        if (list.insertString(name) < 0)
            return MSG_OUT_OF_MEMORY;
    }
}

// A name with a line break would come back as two lines, the second read as
// a key or section of its own; such a name (only a hostile index holds one)
// is not written.
bool isStorable(const char* name) {
    return !std::strpbrk(name, "\r\n");
}

void writeSection(const char* section, const SortedCollection& list) {
    WritePrivateProfileStringA(section, nullptr, nullptr, kProfileFile);
    char key[kKeyNameSize];
    int32_t number = 0;
    list.forEach([&](NamedItem* item) {
        if (!isStorable(item->name()))
            return;
        keyName(key, number++);
        WritePrivateProfileStringA(section, key, item->name(), kProfileFile);
    });
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
    writeSection(kHostsSection, *model.hiddenHosts);
    writeSection(kUrlsSection, *model.hiddenUrls);
    return MSG_OK;
}
