// The document list: its window and columns, the texts of its cells, and
// the selection commands. The list view holds no items of its own; every
// text comes through the display callback, so a title loaded later shows by
// itself.
#include "ui/frame/list_pane.h"

#include "core/owned_text.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "resources/string_ids.h"
#include "settings/settings.h"
#include "ui/frame/control_ids.h"
#include "ui/dialogs/list_format.h"
#include "ui/frame/main_window.h"

void itemText(const CacheEntry& entry, int column, int32_t timeZoneBias, char* out, size_t size) {
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
        formatDateTime(entry.lastAccessed(), timeZoneBias, true, out, size);
        break;
    default:
        out[0] = '\0';
        break;
    }
}

ListPane::ListPane(MainWindow& main) : main_(main) {}

ListPane::~ListPane() = default;

bool ListPane::create(HWND parent) {
    uint32_t options = main_.settings().optionFlags;
    DWORD style = WS_CHILD | WS_VISIBLE | LVS_SHAREIMAGELISTS | LVS_OWNERDATA |
                  (options & OPTION_DETAILS_VIEW ? LVS_REPORT : LVS_LIST);
    window_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_LIST)), GetModuleHandleA(nullptr),
                              nullptr);
    if (!window_)
        return false;
    ListView_SetImageList(window_, main_.frame().systemSmallIcons(), LVSIL_SMALL);
    // The marks are the documents' own flags: the control asks for them
    // with the texts instead of keeping them.
    ListView_SetCallbackMask(window_, LVIS_STATEIMAGEMASK);
    showMarks((options & OPTION_SHOW_ALL) != 0);
    const int* widths = main_.settings().columnWidths;
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
    if (!listed_ || item < 0 || item >= listed_->count())
        return nullptr;
    return listed_->entryAt(item);
}

int ListPane::itemCount() const {
    return listed_ ? listed_->count() : 0;
}

CacheEntry* ListPane::firstSelected() const {
    int item = ListView_GetNextItem(window_, -1, LVNI_SELECTED);
    return item >= 0 ? entryAt(item) : nullptr;
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
    int count = itemCount();
    if (count == 0)
        return;
    suspendStats();
    suspendRedraw();
    if (!invert) {
        ListView_SetItemState(window_, -1, LVIS_SELECTED, LVIS_SELECTED);
    } else {
        for (int item = 0; item < count; ++item) {
            UINT state = ListView_GetItemState(window_, item, LVIS_SELECTED) ^ LVIS_SELECTED;
            ListView_SetItemState(window_, item, state, LVIS_SELECTED);
        }
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
    int item = listed_ ? listed_->indexOf(&entry) : -1;
    if (item < 0)
        return;
    ListView_SetItemState(window_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(window_, item, FALSE);
}
