#include "ui/dialogs/history_combo.h"

#include "settings/history.h"

int fillHistory(const char* listName, HWND combo) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    History history;
    readHistory(listName, history);
    for (int i = 0; i < history.count; ++i) {
        const History::Entry& entry = history.entries[i];
        LRESULT index = SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text));
        if (index >= 0)
            SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<unsigned char>(entry.letter));
    }
    if (history.letterCount > 0)
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
    return history.letterCount;
}

void recordHistory(const char* listName, int maximum, HWND combo) {
    char text[kHistoryTextSize];
    GetWindowTextA(combo, text, sizeof text);
    LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
    // The newest entry used again changes nothing.
    if (index == 0)
        return;
    char usedLetter = 0;
    if (index != CB_ERR) {
        LRESULT data = SendMessageA(combo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
        if (data != CB_ERR)
            usedLetter = static_cast<char>(data);
    }
    recordHistoryUse(listName, maximum, text, usedLetter);
    if (SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0)
        SendMessageA(combo, CB_SETCURSEL, 0, 0);
}
