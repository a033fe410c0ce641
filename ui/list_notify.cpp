// The list's notifications: cell texts on demand, and the counters behind
// the status bar, kept as items come, go and change their selection.
#include "ui/list_pane.h"

#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "resources/string_ids.h"
#include "ui/list_format.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

namespace {

CountedItem countedItem(const CacheEntry& entry) {
    uint32_t flags = entry.flags();
    bool missing = (flags & FLAG_DELETED) != 0;
    return {(flags & FLAG_HIDDEN) != 0 && !missing, missing, entry.contentLength()};
}

}  // namespace

void ListPane::suspendStats() {
    --statsLock_;
}

void ListPane::resumeStats() {
    if (++statsLock_ > 0)
        statsLock_ = 0;
    if (statsLock_ == 0) {
        recountStats();
        updateStatusBar();
    }
}

void ListPane::recountStats() {
    stats_ = ListStats();
    int count = ListView_GetItemCount(window_);
    for (int item = 0; item < count; ++item)
        countItemAt(item, 1);
}

void ListPane::countItemAt(int item, int delta) {
    LVITEMA request = {};
    request.mask = LVIF_PARAM | LVIF_STATE;
    request.iItem = item;
    request.stateMask = LVIS_SELECTED;
    if (!SendMessageA(window_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)) || !request.lParam)
        return;
    countItem(stats_, countedItem(*reinterpret_cast<CacheEntry*>(request.lParam)),
              (request.state & LVIS_SELECTED) != 0, delta);
}

bool ListPane::countSelectionChange(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE) || !((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        return false;
    // A change of all items at once comes as item -1 and carries no entry.
    if (change.iItem < 0) {
        recountStats();
        return true;
    }
    CacheEntry* entry = entryAt(change.iItem);
    if (entry)
        ::countSelectionChange(stats_, countedItem(*entry), (change.uNewState & LVIS_SELECTED) != 0);
    return true;
}

void ListPane::afterCount() {
    updateStatusBar();
    main_.commands().updateToolbarObjectStates();
}

void ListPane::updateStatusBar() {
    HWND status = main_.frame().statusBar();
    char count[1025];
    if (stats_.selected > 0)
        wsprintfA(count, preloadedString(STR_SELECTED_COUNT), stats_.selected);
    else
        wsprintfA(count, preloadedString(STR_OBJECT_COUNT), stats_.count);
    char size[300] = "";
    int64_t bytes = stats_.selected > 0 ? stats_.selectedSize : stats_.totalSize;
    if (bytes != 0 && !main_.frame().progressActive())
        formatSize(bytes, false, size, sizeof size);
    SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(count));
    SendMessageA(status, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(size));
}

bool ListPane::onNotify(NMHDR* header) {
    if (header->code == LVN_GETDISPINFOA) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
        if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
            if (CacheEntry* entry = reinterpret_cast<CacheEntry*>(item.lParam))
                itemText(*entry, item.iSubItem, item.pszText, static_cast<size_t>(item.cchTextMax));
            else
                item.pszText[0] = '\0';
        }
        return true;
    }
    // While the counters are suspended they are recounted at the end anyway;
    // answering TRUE spares the per-item LVN_DELETEITEM.
    if (statsLock_ < 0)
        return header->code == LVN_DELETEALLITEMS;
    switch (header->code) {
    case LVN_DELETEALLITEMS:
        stats_ = ListStats();
        updateStatusBar();
        return true;
    case LVN_INSERTITEM:
        countItemAt(reinterpret_cast<NMLISTVIEW*>(header)->iItem, 1);
        afterCount();
        return true;
    case LVN_DELETEITEM:
        countItemAt(reinterpret_cast<NMLISTVIEW*>(header)->iItem, -1);
        afterCount();
        return true;
    case LVN_ITEMCHANGED:
        if (!countSelectionChange(*reinterpret_cast<NMLISTVIEW*>(header)))
            return false;
        afterCount();
        return true;
    default:
        return false;
    }
}
