// The list's column headers, drawn by the program so that the sorted column
// carries an arrow. The header reports to the list view, so the list view is
// subclassed to catch its WM_DRAWITEM.
#include "ui/frame/list_pane.h"

#include "model/document_view.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "ui/frame/main_window.h"

namespace {

const char kListPaneProperty[] = "TarnListPane";

}  // namespace

void ListPane::loadSortArrows() {
    // Mapped so that the arrows' greys follow the system colours.
    sortArrows_.reset(CreateMappedBitmap(GetModuleHandleA(nullptr), BITMAP_SORT_ARROWS, 0, nullptr, 0));
}

void ListPane::setupHeaderDrawing() {
    HWND header = ListView_GetHeader(window_);
    for (int column = 0; column < kColumnCount; ++column) {
        HDITEMA item = {};
        item.mask = HDI_FORMAT;
        if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item)))
            continue;
        item.fmt = (item.fmt & HDF_JUSTIFYMASK) | HDF_OWNERDRAW;
        SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
    }
    loadSortArrows();
    SetPropA(window_, kListPaneProperty, this);
    listProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListPane::subclassProc)));
}

LRESULT CALLBACK ListPane::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ListPane* pane = static_cast<ListPane*>(GetPropA(window, kListPaneProperty));
    WNDPROC original = pane->listProc_;
    switch (message) {
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlType != ODT_HEADER)
            break;
        pane->drawHeaderItem(*item);
        return TRUE;
    }
    case WM_SYSCOLORCHANGE:
        pane->loadSortArrows();
        break;
    case WM_NCDESTROY:
        pane->sortArrows_.reset();
        RemovePropA(window, kListPaneProperty);
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        break;
    default:
        break;
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}

void ListPane::drawHeaderItem(const DRAWITEMSTRUCT& draw) {
    int itemId = static_cast<int>(draw.itemID);
    if (itemId < 0)
        return;
    RECT r = draw.rcItem;
    InflateRect(&r, -2, -2);
    if (r.left >= r.right)
        return;
    HDC dc = draw.hDC;
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));

    char text[40] = "";
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(draw.hwndItem, HDM_GETITEMA, itemId, reinterpret_cast<LPARAM>(&item));
    text[sizeof text - 1] = '\0';
    int length = lstrlenA(text);
    int32_t sortKey = main_.settings().documentSortKey;
    bool sorted = columnOfSortField(sortField(sortKey)) == itemId;

    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, length, &extent);
    int textY = r.top + (r.bottom - r.top - extent.cy) / 2;
    int arrowY = r.top + (r.bottom - r.top - SORT_ARROW_SIZE) / 2;
    int textX;
    int arrowX;
    UINT previousAlign;
    if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) {
        previousAlign = SetTextAlign(dc, TA_RIGHT);
        textX = r.right - 4;
        arrowX = r.right - 12;
        if (sorted)
            textX = r.right - 16;
    } else {
        previousAlign = SetTextAlign(dc, TA_LEFT);
        textX = r.left + 4;
        arrowX = textX + extent.cx + 4;
    }
    if (draw.itemState & ODS_SELECTED) {
        ++textX;
        ++textY;
        ++arrowX;
        ++arrowY;
    }
    ExtTextOutA(dc, textX, textY, ETO_CLIPPED, &r, text, static_cast<UINT>(length), nullptr);
    SetTextAlign(dc, previousAlign);

    if (!sorted || !sortArrows_ || arrowX < r.left || arrowX + SORT_ARROW_SIZE > r.right)
        return;
    MemoryDC memory(dc);
    if (!memory)
        return;
    SelectedObject arrows(memory.get(), sortArrows_.get());
    BitBlt(dc, arrowX, arrowY, SORT_ARROW_SIZE, SORT_ARROW_SIZE, memory.get(), sortKey > 0 ? 0 : SORT_ARROW_SIZE, 0,
           SRCCOPY);
}
