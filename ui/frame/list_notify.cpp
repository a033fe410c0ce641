// The list's notifications: cell texts, icons and marks on demand, the
// search by typing, and the counters behind the status bar, kept as the
// selection changes and counted anew when the items change.
#include "ui/frame/list_pane.h"

#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "resources/string_ids.h"
#include "ui/dialogs/list_format.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"

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
    for (int item = 0, count = itemCount(); item < count; ++item)
        countItem(stats_, countedItem(*entryAt(item)), false, 1);
    if (stats_.count > 0 && ListView_GetSelectedCount(window_) > 0)
        forEachSelected([&](CacheEntry* entry) { ::countSelectionChange(stats_, countedItem(*entry), true); });
}

bool ListPane::countSelectionChange(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE) || !((change.uOldState ^ change.uNewState) & LVIS_SELECTED))
        return false;
    // A change of all items at once comes as item -1.
    if (change.iItem < 0) {
        recountStats();
        return true;
    }
    if (CacheEntry* entry = entryAt(change.iItem))
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

void ListPane::onGetDispInfo(NMLVDISPINFOA& info) const {
    LVITEMA& item = info.item;
    const CacheEntry* entry = entryAt(item.iItem);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        if (entry)
            itemText(*entry, item.iSubItem, main_.state().timeZoneBias(), item.pszText, static_cast<size_t>(item.cchTextMax));
        else
            item.pszText[0] = '\0';
    }
    if (!entry)
        return;
    if (item.mask & LVIF_IMAGE)
        item.iImage = entry->iconIndex();
    // The hidden and missing marks are the flags' bits 12 to 15: state
    // images 1 and 2.
    if (item.mask & LVIF_STATE)
        item.state = (item.state & ~item.stateMask) | (entry->flags() & FLAG_STATE_IMAGE_MASK & item.stateMask);
}

// Typing the start of a title moves to the next document whose title
// begins so, from `start` on and then from the top.
int ListPane::findItem(int start, const char* prefix) const {
    const int count = itemCount();
    const int length = lstrlenA(prefix);
    if (count == 0 || length == 0)
        return -1;
    if (start < 0 || start >= count)
        start = 0;
    for (int step = 0; step < count; ++step) {
        int item = (start + step) % count;
        const char* title = entryAt(item)->title();
        if (lstrlenA(title) >= length &&
            CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title, length, prefix, length) == CSTR_EQUAL)
            return item;
    }
    return -1;
}

bool ListPane::onNotify(NMHDR* header, LRESULT& result) {
    result = TRUE;
    switch (header->code) {
    case LVN_GETDISPINFOA:
        onGetDispInfo(*reinterpret_cast<NMLVDISPINFOA*>(header));
        return true;
    case LVN_ODFINDITEMA: {
        auto* find = reinterpret_cast<NMLVFINDITEMA*>(header);
        result = (find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) && find->lvfi.psz
                     ? findItem(find->iStart, find->lvfi.psz)
                     : -1;
        return true;
    }
    case LVN_ODFINDITEMW: {
        auto* find = reinterpret_cast<NMLVFINDITEMW*>(header);
        char prefix[MAX_PATH] = "";
        if (find->lvfi.psz)
            WideCharToMultiByte(CP_ACP, 0, find->lvfi.psz, -1, prefix, sizeof prefix - 1, nullptr, nullptr);
        result = findItem(find->iStart, prefix);
        return true;
    }
    default:
        break;
    }
    // While the counters are suspended they are recounted at the end anyway.
    if (statsLock_ < 0)
        return false;
    switch (header->code) {
    case LVN_ITEMCHANGED:
        if (!countSelectionChange(*reinterpret_cast<NMLISTVIEW*>(header)))
            return false;
        afterCount();
        return true;
    case LVN_ODSTATECHANGED:
        // A range selected at once (with the shift key) comes as one notice.
        recountStats();
        afterCount();
        return true;
    default:
        return false;
    }
}
