#include "settings/history.h"

#include "core/registry_text.h"
#include "settings/program_key.h"

namespace {

const char kOrderValue[] = "MRUList";

// A history keeps as much of a stored text as its buffer holds: a value
// that fills the buffer without its NUL is cut by one character rather than
// dropped. False for missing values, other types and values longer than the
// buffer.
template <DWORD Size>
bool readCutText(HKEY key, const char* name, char (&out)[Size]) {
    DWORD type = 0;
    DWORD got = Size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &got) != ERROR_SUCCESS ||
        type != REG_SZ) {
        out[0] = '\0';
        return false;
    }
    out[got < Size ? got : Size - 1] = '\0';
    return true;
}

}  // namespace

void readHistory(const char* listName, History& out) {
    out.letterCount = 0;
    out.count = 0;
    RegKey list = openProgramKey(PROGRAM_KEY_READ, listName);
    if (!list)
        return;
    char order[kMruMaxLetters + 1];
    if (!readCutText(list.get(), kOrderValue, order))
        return;
    for (const char* letter = order; *letter; ++letter, ++out.letterCount) {
        const char name[2] = {*letter, '\0'};
        History::Entry& entry = out.entries[out.count];
        if (!readCutText(list.get(), name, entry.text) || !entry.text[0])
            continue;
        entry.letter = *letter;
        ++out.count;
    }
}

void recordHistoryUse(const char* listName, int maximum, const char* text, char usedLetter) {
    RegKey list = openProgramKey(PROGRAM_KEY_CREATE, listName);
    if (!list)
        return;
    char order[kMruMaxLetters + 1];
    readCutText(list.get(), kOrderValue, order);
    MruChange change = recordMruUse(order, usedLetter, maximum);
    if (change.storeText) {
        const char name[2] = {change.letter, '\0'};
        writeRegistryText(list.get(), name, text);
    }
    writeRegistryText(list.get(), kOrderValue, change.order);
}
