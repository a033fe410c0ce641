#include "settings/history.h"

#include <cstring>

#include "core/win_handles.h"
#include "settings/mru_order.h"
#include "settings/settings_store.h"

namespace {

const char kOrderValue[] = "MRUList";
constexpr DWORD kEntrySize = 260;

// Reads a REG_SZ value into `out` and makes sure it ends inside the buffer,
// even when it was stored without its NUL. False for other types, for values
// too long for the buffer and for read errors.
bool readText(HKEY key, const char* name, char* out, DWORD size) {
    DWORD type = 0;
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &got) != ERROR_SUCCESS ||
        type != REG_SZ) {
        out[0] = '\0';
        return false;
    }
    out[got < size ? got : size - 1] = '\0';
    return true;
}

bool openHistory(const char* listName, RegKey& list) {
    RegKey program;
    return RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, KEY_QUERY_VALUE, program.receive()) == ERROR_SUCCESS &&
           RegOpenKeyExA(program.get(), listName, 0, KEY_QUERY_VALUE, list.receive()) == ERROR_SUCCESS;
}

bool createHistory(const char* listName, RegKey& list) {
    RegKey program;
    const REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
    return RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                           program.receive(), nullptr) == ERROR_SUCCESS &&
           RegCreateKeyExA(program.get(), listName, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                           list.receive(), nullptr) == ERROR_SUCCESS;
}

void writeText(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text) + 1));
}

}  // namespace

int fillHistory(const char* listName, HWND combo) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    RegKey list;
    if (!openHistory(listName, list))
        return 0;
    char order[kMruMaxLetters + 1];
    if (!readText(list.get(), kOrderValue, order, sizeof order))
        return 0;
    int letters = 0;
    for (const char* letter = order; *letter; ++letter, ++letters) {
        const char name[2] = {*letter, '\0'};
        char text[kEntrySize];
        if (!readText(list.get(), name, text, sizeof text) || !text[0])
            continue;
        // Entries left out shift the list against the stored order, so each
        // item keeps its own letter for recordHistory.
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (index >= 0)
            SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<unsigned char>(*letter));
    }
    if (letters > 0)
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
    return letters;
}

void recordHistory(const char* listName, int maximum, HWND combo) {
    char text[kEntrySize];
    GetWindowTextA(combo, text, sizeof text);
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    if (index == 0)
        return;
    RegKey list;
    if (!createHistory(listName, list))
        return;
    char order[kMruMaxLetters + 1];
    readText(list.get(), kOrderValue, order, sizeof order);

    char usedLetter = 0;
    if (index != CB_ERR) {
        LRESULT data = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
        if (data != CB_ERR)
            usedLetter = static_cast<char>(data);
    }
    MruChange change = recordMruUse(order, usedLetter, maximum);
    if (change.storeText) {
        const char name[2] = {change.letter, '\0'};
        writeText(list.get(), name, text);
    }
    writeText(list.get(), kOrderValue, change.order);
    if (order[0])
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
}
