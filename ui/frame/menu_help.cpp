#include "ui/frame/menu_help.h"

#include "resources/resource_ids.h"
#include "ui/dialogs/resource_data.h"

bool MenuHelpTable::load() {
    ResourceData table = findResourceData(RCDATA_MENU_HELP);
    if (!table.data)
        return false;
    count_ = 0;
    for (size_t offset = 0; offset + MENU_HELP_RECORD_SIZE <= table.size; offset += MENU_HELP_RECORD_SIZE) {
        uint16_t stringId = readWord(table, offset + 4);
        if (stringId == 0)
            return true;
        if (count_ == kMaxRecords)
            return false;
        records_[count_++] = {readLong(table, offset), stringId};
    }
    return false;
}

void MenuHelpTable::fillHandles(HWND window) {
    if (count_ == 0)
        return;
    records_[0].key = reinterpret_cast<uintptr_t>(GetSystemMenu(window, FALSE));
    size_t next = 1;
    fillPopups(GetMenu(window), next);
}

void MenuHelpTable::fillPopups(HMENU menu, size_t& next) {
    int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        if (GetMenuItemID(menu, position) != static_cast<UINT>(-1))
            continue;
        if (next >= count_ || records_[next].key >= MENU_HELP_COMMAND_BASE)
            return;
        HMENU popup = GetSubMenu(menu, position);
        records_[next++].key = reinterpret_cast<uintptr_t>(popup);
        fillPopups(popup, next);
    }
}

uint16_t MenuHelpTable::stringFor(uintptr_t key, bool popup) const {
    uintptr_t wanted = popup ? key : (MENU_HELP_COMMAND_BASE | (key & 0xFFFF));
    for (size_t i = 0; i < count_; ++i)
        if (records_[i].key == wanted)
            return records_[i].stringId;
    return 0;
}
