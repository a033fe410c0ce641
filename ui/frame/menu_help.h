// The one-line help the status bar shows while a menu is open or a toolbar
// button is held down, from the menu-help table of the resources.
#pragma once

#include <windows.h>

#include <cstdint>

class MenuHelpTable {
public:
    bool load();
    // Puts the handles of the system menu and of every popup of the menu
    // bar into the popup records, walking the menu depth-first.
    void fillHandles(HWND window);
    // The string id for a popup menu or a command; 0 when there is none.
    uint16_t stringFor(uintptr_t key, bool popup) const;

private:
    struct Record {
        uintptr_t key;
        uint16_t stringId;
    };
    void fillPopups(HMENU menu, size_t& next);

    // The table has one record per popup and per command: well below this.
    static constexpr size_t kMaxRecords = 160;
    Record records_[kMaxRecords];
    size_t count_ = 0;
};
