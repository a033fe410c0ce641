#include "ui/dialogs/dialog_help.h"

#include <cstdlib>
#include <cstring>

#include "ui/dialogs/help_call.h"
#include "ui/dialogs/resource_data.h"

namespace {

// The table is kept as a window property, so that each dialog's own state
// can use its DWL_USER slot.
const char kHelpTableProperty[] = "TarnHelpTable";

}  // namespace

void attachHelpTable(HWND dialog, int tableId) {
    ResourceData table = findResourceData(tableId);
    if (!table.data || table.size == 0)
        return;
    void* copy = std::malloc(table.size);
    if (!copy)
        return;
    std::memcpy(copy, table.data, table.size);
    if (!SetPropA(dialog, kHelpTableProperty, copy))
        std::free(copy);
}

INT_PTR showContextHelp(const char* helpFile, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND target = nullptr;
    UINT command = 0;
    if (message == WM_HELP) {
        const HELPINFO* info = reinterpret_cast<const HELPINFO*>(lParam);
        HWND item = info ? static_cast<HWND>(info->hItemHandle) : nullptr;
        if (!info || info->iContextType != HELPINFO_WINDOW || !item || GetParent(item) != dialog)
            return 0;
        target = item;
        command = HELP_WM_HELP;
    } else if (message == WM_CONTEXTMENU) {
        target = reinterpret_cast<HWND>(wParam);
        command = HELP_CONTEXTMENU;
    } else {
        return 0;
    }
    void* table = GetPropA(dialog, kHelpTableProperty);
    if (!table)
        return 0;
    return callHelp(helpFile, target, command, reinterpret_cast<ULONG_PTR>(table));
}

void releaseHelpTable(HWND dialog) {
    std::free(RemovePropA(dialog, kHelpTableProperty));
}

INT_PTR answerDialogHelp(const char* helpFile, HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HELP:
    case WM_CONTEXTMENU:
        return showContextHelp(helpFile, dialog, message, wParam, lParam);
    case WM_NCDESTROY:
        releaseHelpTable(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
