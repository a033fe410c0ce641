// The document list: its window and columns, and keeping its items in step
// with a folder. Items hold only a pointer to their entry; every text comes
// through the display callback, so a title loaded later shows by itself.
#include "ui/list_pane.h"

#include <cstdlib>

#include "core/owned_text.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "resources/string_ids.h"
#include "settings/settings.h"
#include "ui/control_ids.h"
#include "ui/list_format.h"
#include "ui/main_window.h"

namespace {

// Added to the filter mask while items are to be written anew; no entry
// carries this bit, so it filters nothing.
const uint32_t MASK_REFRESH = 0x8000000;

// The insertion index that appends.
const int kAppend = 0x7FFFFFFF;

int CALLBACK compareListedEntries(LPARAM a, LPARAM b, LPARAM sortKey) {
    return compareDocuments(*reinterpret_cast<CacheEntry*>(a), *reinterpret_cast<CacheEntry*>(b),
                            static_cast<int32_t>(sortKey));
}

}  // namespace

void itemText(const CacheEntry& entry, int column, char* out, size_t size) {
    if (size == 0)
        return;
    switch (column) {
    case COLUMN_TITLE:
        copyTextBounded(out, size, entry.title());
        break;
    case COLUMN_TYPE:
        copyTextBounded(out, size, entry.mimeType());
        break;
    case COLUMN_URL:
        copyTextBounded(out, size, entry.url());
        break;
    case COLUMN_FILE:
        copyTextBounded(out, size, entry.localFile());
        break;
    case COLUMN_SIZE:
        formatSize(entry.contentLength(), true, out, size);
        break;
    case COLUMN_DATE:
        formatDateTime(entry.lastAccessed(), true, out, size);
        break;
    default:
        out[0] = '\0';
        break;
    }
}

bool ListPane::create(HWND parent) {
    uint32_t options = processSettings().optionFlags;
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_SHAREIMAGELISTS | (options & OPTION_DETAILS_VIEW ? LVS_REPORT : LVS_LIST);
    window_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_LIST)), GetModuleHandleA(nullptr),
                              nullptr);
    if (!window_)
        return false;
    ListView_SetImageList(window_, main_.frame().systemSmallIcons(), LVSIL_SMALL);
    showMarks((options & OPTION_SHOW_ALL) != 0);
    const int* widths = processSettings().columnWidths;
    for (int column = 0; column < kColumnCount; ++column) {
        char header[40];
        if (LoadStringA(GetModuleHandleA(nullptr), STR_COLUMN_TITLE + column, header, sizeof header) <= 0)
            header[0] = '\0';
        LVCOLUMNA request = {};
        request.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        request.fmt = column == COLUMN_SIZE ? LVCFMT_RIGHT : LVCFMT_LEFT;
        request.cx = widths[column];
        request.pszText = header;
        request.iSubItem = column;
        if (SendMessageA(window_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&request)) < 0)
            return false;
    }
    return true;
}

CacheEntry* ListPane::entryAt(int item) const {
    LVITEMA request = {};
    request.mask = LVIF_PARAM;
    request.iItem = item;
    if (!SendMessageA(window_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
        return nullptr;
    return reinterpret_cast<CacheEntry*>(request.lParam);
}

CacheEntry* ListPane::firstSelected() const {
    int item = ListView_GetNextItem(window_, -1, LVNI_SELECTED);
    return item >= 0 ? entryAt(item) : nullptr;
}

void ListPane::syncList(DomainFolder* folder) {
    if (!folder)
        folder = main_.tree().selectedFolder();
    if (!folder)
        return;
    suspendStats();
    folder->forEachDeep([](NamedItem* entry) { entry->clearFlags(FLAG_LISTED); });
    uint32_t mask = filterMask(processSettings().optionFlags);
    if (loadingFinished_)
        mask |= MASK_REFRESH;
    int listed = ListView_GetItemCount(window_);
    int visible = visibleCount(*folder, mask);
    bool redrawSuspended = std::abs(listed - visible) > 10;
    if (redrawSuspended)
        suspendRedraw();
    bool inserted = false;
    for (int item = listed - 1; item >= 0; --item)
        if (CacheEntry* entry = entryAt(item))
            syncListItem(*entry, mask, item, inserted);
    folder->forEachDeep([&](NamedItem* entry) { syncListItem(*static_cast<CacheEntry*>(entry), mask, -1, inserted); });
    if (inserted || loadingFinished_)
        sortItems();
    int focused = ListView_GetNextItem(window_, -1, LVNI_FOCUSED);
    if (focused >= 0)
        ListView_EnsureVisible(window_, focused, FALSE);
    resumeStats();
    if (redrawSuspended)
        resumeRedraw();
    main_.commands().updateToolbarObjectStates();
    loadingFinished_ = false;
}

bool ListPane::syncListItem(CacheEntry& entry, uint32_t mask, int index, bool& inserted) {
    // Each entry is handled once per pass: the walk over the list and the
    // walk over the folder meet every listed entry twice.
    if (entry.hasAnyFlag(FLAG_LISTED))
        return true;
    entry.setFlags(FLAG_LISTED);
    uint32_t flags = entry.flags();
    if (flags & mask) {
        if (index >= 0)
            ListView_DeleteItem(window_, index);
        return true;
    }
    UINT marks = flags & FLAG_STATE_IMAGE_MASK;
    if (index >= 0 && !(mask & MASK_REFRESH)) {
        if (ListView_GetItemState(window_, index, LVIS_STATEIMAGEMASK) != marks) {
            ListView_SetItemState(window_, index, marks, LVIS_STATEIMAGEMASK);
            ListView_Update(window_, index);
        }
        return true;
    }
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    item.iItem = index >= 0 ? index : kAppend;
    item.state = marks;
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.pszText = LPSTR_TEXTCALLBACKA;
    item.iImage = entry.iconIndex();
    item.lParam = reinterpret_cast<LPARAM>(&entry);
    if (index >= 0) {
        SendMessageA(window_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return true;
    }
    if (SendMessageA(window_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0)
        return false;
    inserted = true;
    return true;
}

void ListPane::sortItems() {
    ListView_SortItems(window_, compareListedEntries, static_cast<LPARAM>(processSettings().documentSortKey));
}

void ListPane::setListMode(DWORD mode) {
    LONG style = GetWindowLongA(window_, GWL_STYLE);
    SetWindowLongA(window_, GWL_STYLE, (style & ~LVS_TYPEMASK) | mode);
    main_.commands().updateToolbarViewStates();
}

void ListPane::showMarks(bool shown) {
    ListView_SetImageList(window_, shown ? main_.frame().documentMarks() : nullptr, LVSIL_STATE);
}

void ListPane::changeSelection(bool invert) {
    SetFocus(window_);
    int count = ListView_GetItemCount(window_);
    if (count == 0)
        return;
    suspendStats();
    suspendRedraw();
    for (int item = 0; item < count; ++item) {
        UINT state = LVIS_SELECTED;
        if (invert)
            state = ListView_GetItemState(window_, item, LVIS_SELECTED) ^ LVIS_SELECTED;
        ListView_SetItemState(window_, item, state, LVIS_SELECTED);
    }
    resumeRedraw();
    resumeStats();
    main_.commands().updateToolbarObjectStates();
}

void ListPane::selectAllDocuments() {
    changeSelection(false);
}

void ListPane::invertSelection() {
    changeSelection(true);
}

void ListPane::suspendRedraw() {
    if (--redrawLock_ == -1)
        SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
}

void ListPane::resumeRedraw() {
    if (++redrawLock_ == 0)
        SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    else if (redrawLock_ > 0)
        redrawLock_ = 0;
}

void ListPane::selectEntry(const CacheEntry& entry) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&entry);
    int item = static_cast<int>(SendMessageA(window_, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(&find)));
    if (item < 0)
        return;
    ListView_SetItemState(window_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, item, FALSE);
}

void ListPane::clear() {
    ListView_DeleteAllItems(window_);
}
