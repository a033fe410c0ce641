// The views' side of the tips: each list or tree is subclassed to pass its
// mouse messages to its tip window, to find the cut text under the mouse, and
// to drop the candidate whenever the view scrolls or changes.
#include "listtips/list_tips.h"

#include <commctrl.h>

#include <cstring>
#include <new>

#include "listtips/tip_geometry.h"
#include "listtips/tip_machine.h"
#include "listtips/tip_window.h"

namespace {

// The process-wide state of the tips: the atom naming the views' property,
// made once, and whether the newer common controls are there, probed once.
struct ListTipsProcess {
    ATOM property = 0;
    int newerControls = -1;  // -1 not probed yet
};

ListTipsProcess listTipsProcess;

const uint32_t kViewEnabled = 0x1;
const uint32_t kListShowsDetails = 0x10;

// What the two kinds of subclass data share; the views' property points to
// this part.
struct ViewTipData {
    HWND view;
    WNDPROC previousProc;
    HWND tip;
    uint32_t flags;
};

struct ListTipData : ViewTipData {
    int32_t hotItem;
    RECT hotCell;
    ListColumnLayout columns;
};

struct TreeTipData : ViewTipData {
    HTREEITEM hotItem;
    RECT hotRow;
};

enum ViewKind { KIND_OTHER, KIND_LIST, KIND_TREE };

ViewKind kindOf(HWND view) {
    char name[41];
    if (!GetClassNameA(view, name, sizeof name))
        return KIND_OTHER;
    if (lstrcmpiA(name, "SysListView32") == 0)
        return KIND_LIST;
    if (lstrcmpiA(name, "SysTreeView32") == 0)
        return KIND_TREE;
    return KIND_OTHER;
}

ViewTipData* viewTipData(HWND view) {
    if (!listTipsProcess.property)
        return nullptr;
    return static_cast<ViewTipData*>(GetPropA(view, MAKEINTATOM(listTipsProcess.property)));
}

// The list's first column is drawn a little further right with the newer
// common controls.
bool newerCommonControls() {
    if (listTipsProcess.newerControls < 0) {
        listTipsProcess.newerControls = 0;
        if (HMODULE library = LoadLibraryA("comctl32.dll")) {
            if (GetProcAddress(library, "InitCommonControlsEx"))
                listTipsProcess.newerControls = 1;
            FreeLibrary(library);
        }
    }
    return listTipsProcess.newerControls == 1;
}

TipRect tipRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RECT windowsRect(const TipRect& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

bool pointIn(const RECT& rect, TipPoint point) {
    return tipRect(rect).contains(point);
}

void forwardMouse(HWND tip, HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    TipMouseRecord record = {reinterpret_cast<uintptr_t>(view), message, wParam, lParam};
    SendMessageA(tip, WM_TIP_MOUSE, 0, reinterpret_cast<LPARAM>(&record));
}

void dropCandidate(HWND tip) {
    SendMessageA(tip, WM_TIP_CANDIDATE, 0, 0);
}

// A text handed back by a control: in our buffer, or in one of its own.
void takeControlText(char* buffer, const char* handedBack) {
    if (handedBack && handedBack != buffer && handedBack != LPSTR_TEXTCALLBACKA)
        lstrcpynA(buffer, handedBack, kTipTextSize);
    buffer[kTipTextSize - 1] = '\0';
}

// Detaches the tips from a view that is going away. The procedure below ours
// is kept in a local: it is read from the data that is freed here.
template <class Data>
LRESULT detachFromView(Data* data, WNDPROC ownProc, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND view = data->view;
    WNDPROC previous = data->previousProc;
    if (IsWindow(data->tip))
        DestroyWindow(data->tip);
    RemovePropA(view, MAKEINTATOM(listTipsProcess.property));
    // Whatever still reaches the view must not come to us without our data.
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(view, GWLP_WNDPROC)) == ownProc)
        SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    delete data;
    return CallWindowProcA(previous, view, message, wParam, lParam);
}

// --- list -----------------------------------------------------------------

uint32_t detailsFlag(HWND list) {
    return (GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT ? kListShowsDetails : 0;
}

int32_t iconSize(HWND list, int imageList) {
    HIMAGELIST images = ListView_GetImageList(list, imageList);
    int width = 0;
    int height = 0;
    if (!images || !ImageList_GetIconSize(images, &width, &height))
        return 0;
    return width;
}

void readListColumns(ListTipData& data) {
    ListColumnLayout& layout = data.columns;
    layout.iconWidth = iconSize(data.view, LVSIL_SMALL) + iconSize(data.view, LVSIL_STATE);
    if (newerCommonControls())
        layout.iconWidth += GetSystemMetrics(SM_CXEDGE);
    layout.margin = 2 * GetSystemMetrics(SM_CXBORDER);
    int32_t column = 0;
    for (; column < kListTipColumns; ++column) {
        LVCOLUMNA request = {};
        request.mask = LVCF_FMT | LVCF_WIDTH;
        if (!SendMessageA(data.view, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&request)))
            break;
        layout.widths[column] = request.cx;
        layout.align[column] = request.fmt & LVCFMT_JUSTIFYMASK;
    }
    layout.count = column;
}

// The cell texts are read through the list, which asks its owner for them:
// it works the same whether the list keeps the items or only their number.
void readCellText(HWND list, int32_t item, int32_t column, char* text) {
    LVITEMA request = {};
    request.iSubItem = column;
    request.pszText = text;
    request.cchTextMax = kTipTextSize;
    text[0] = '\0';
    SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&request));
    takeControlText(text, request.pszText);
}

void listHitTest(ListTipData& data, TipPoint point) {
    data.hotItem = -1;
    HWND list = data.view;
    if (!programIsActive(list))
        return;
    if (data.columns.count <= 0)
        readListColumns(data);
    if (data.columns.count <= 0)
        return;
    int32_t count = static_cast<int32_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (count <= 0)
        return;
    int32_t top = static_cast<int32_t>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    if (!SendMessageA(list, LVM_GETITEMRECT, top, reinterpret_cast<LPARAM>(&bounds)))
        return;
    ListCell cell;
    if (!findListCell(data.columns, tipRect(bounds), top, count, point, cell))
        return;
    data.hotCell = windowsRect(cell.cell);
    data.hotItem = cell.item;

    TipCandidate candidate = {};
    readCellText(list, cell.item, cell.column, candidate.text);
    int32_t width = static_cast<int32_t>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                      reinterpret_cast<LPARAM>(candidate.text)));
    RECT client = {};
    GetClientRect(list, &client);
    if (!cutCellText(data.columns, cell, width, client.right, candidate.textRect))
        return;
    candidate.hot = candidate.textRect;
    SendMessageA(data.tip, WM_TIP_CANDIDATE, 0, reinterpret_cast<LPARAM>(&candidate));
}

void watchListMouse(ListTipData& data, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!isViewMouseMessage(message))
        return;
    forwardMouse(data.tip, data.view, message, wParam, lParam);
    if (!isPlainMouseMove(message, wParam))
        return;
    TipPoint point = mousePoint(lParam);
    if (data.hotItem < 0 || !pointIn(data.hotCell, point))
        listHitTest(data, point);
}

// Tips only in the details view; a disabled list keeps its tip window off.
void onListLayoutChanged(ListTipData& data) {
    data.flags = (data.flags & ~kListShowsDetails) | detailsFlag(data.view);
    data.columns.count = -1;
    data.hotItem = -1;
    bool on = (data.flags & kViewEnabled) && (data.flags & kListShowsDetails);
    SendMessageA(data.tip, WM_TIP_ENABLE, on ? 1 : 0, 0);
}

void dropListCandidate(ListTipData& data) {
    if (data.hotItem >= 0)
        dropCandidate(data.tip);
    data.hotItem = -1;
}

LRESULT CALLBACK listSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    ListTipData* data = static_cast<ListTipData*>(viewTipData(list));
    if (!data)
        return DefWindowProcA(list, message, wParam, lParam);
    const uint32_t active = kViewEnabled | kListShowsDetails;
    if ((data->flags & active) == active)
        watchListMouse(*data, message, wParam, lParam);
    switch (message) {
    case WM_SIZE:
    case WM_STYLECHANGED:
        onListLayoutChanged(*data);
        break;
    case WM_WININICHANGE:
    case WM_NOTIFY:  // the header's: a column was resized
    case LVM_SETIMAGELIST:
    case LVM_SETCOLUMNA:
    case LVM_SETCOLUMNW:
    case LVM_INSERTCOLUMNA:
    case LVM_INSERTCOLUMNW:
    case LVM_DELETECOLUMN:
    case LVM_SETCOLUMNWIDTH:
        data->columns.count = -1;
        data->hotItem = -1;
        break;
    case WM_KEYDOWN:
    case WM_HSCROLL:
    case WM_VSCROLL:
    // The wheel scrolls the list without a scroll message.
    case WM_MOUSEWHEEL:
    case LVM_SETITEMA:
    case LVM_SETITEMW:
    case LVM_INSERTITEMA:
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_ENSUREVISIBLE:
    case LVM_SCROLL:
    case LVM_UPDATE:
    case LVM_SETITEMTEXTA:
    case LVM_SETITEMTEXTW:
    case LVM_SORTITEMS:
    // A list that only knows the number of its items changes through these.
    case LVM_SORTITEMSEX:
    case LVM_SETITEMCOUNT:
    case LVM_REDRAWITEMS:
        dropListCandidate(*data);
        break;
    case WM_NCDESTROY:
        return detachFromView(data, listSubclassProc, message, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcA(data->previousProc, list, message, wParam, lParam);
}

bool attachList(HWND list, ListTipData* data) {
    bool fresh = !data;
    if (fresh) {
        HWND tip = createTipWindow(list);
        if (!tip)
            return false;
        data = new (std::nothrow) ListTipData();
        if (!data) {
            DestroyWindow(tip);
            return false;
        }
        data->view = list;
        data->tip = tip;
    }
    data->columns.count = -1;
    data->hotItem = -1;
    data->flags = kViewEnabled | detailsFlag(list);
    if (fresh) {
        if (!SetPropA(list, MAKEINTATOM(listTipsProcess.property), static_cast<ViewTipData*>(data))) {
            DestroyWindow(data->tip);
            delete data;
            return false;
        }
        data->previousProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listSubclassProc)));
    }
    SendMessageA(data->tip, WM_TIP_ENABLE, data->flags & kListShowsDetails, 0);
    return true;
}

// --- tree -----------------------------------------------------------------

bool readLabel(HWND tree, HTREEITEM item, char* text) {
    TVITEMA request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = text;
    request.cchTextMax = kTipTextSize;
    text[0] = '\0';
    if (!SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&request)))
        return false;
    takeControlText(text, request.pszText);
    return true;
}

// The request names the item in the rectangle's first bytes.
bool itemRect(HWND tree, HTREEITEM item, bool labelOnly, RECT& rect) {
    std::memcpy(&rect, &item, sizeof item);
    return SendMessageA(tree, TVM_GETITEMRECT, labelOnly, reinterpret_cast<LPARAM>(&rect)) != 0;
}

void treeHitTest(TreeTipData& data, TipPoint point) {
    HTREEITEM previous = data.hotItem;
    data.hotItem = nullptr;
    HWND tree = data.view;
    if (programIsActive(tree)) {
        TVHITTESTINFO hit = {};
        hit.pt = {point.x, point.y};
        HTREEITEM item = reinterpret_cast<HTREEITEM>(
            SendMessageA(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        RECT row;
        RECT label;
        if (item && itemRect(tree, item, false, row) && itemRect(tree, item, true, label)) {
            data.hotRow = row;
            data.hotItem = item;
            TipCandidate candidate = {};
            if (cutTreeLabel(tipRect(row), tipRect(label), 2 * GetSystemMetrics(SM_CXBORDER),
                             candidate.textRect)) {
                if (!readLabel(tree, item, candidate.text))
                    return;
                candidate.hot = tipRect(row);
                SendMessageA(data.tip, WM_TIP_CANDIDATE, 0, reinterpret_cast<LPARAM>(&candidate));
                return;
            }
        }
    }
    if (previous)
        dropCandidate(data.tip);
}

LRESULT CALLBACK treeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
    TreeTipData* data = static_cast<TreeTipData*>(viewTipData(tree));
    if (!data)
        return DefWindowProcA(tree, message, wParam, lParam);
    if ((data->flags & kViewEnabled) && isViewMouseMessage(message)) {
        forwardMouse(data->tip, tree, message, wParam, lParam);
        if (isPlainMouseMove(message, wParam)) {
            TipPoint point = mousePoint(lParam);
            if (!data->hotItem || !pointIn(data->hotRow, point))
                treeHitTest(*data, point);
        }
    }
    switch (message) {
    case WM_SIZE:
    case WM_WININICHANGE:
    case WM_STYLECHANGED:
    case WM_KEYDOWN:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_SETINDENT:
    case TVM_SETIMAGELIST:
    case TVM_SETITEMA:
    case TVM_SETITEMW:
    case TVM_SORTCHILDREN:
    case TVM_ENSUREVISIBLE:
    case TVM_SORTCHILDRENCB:
        if (data->hotItem)
            dropCandidate(data->tip);
        data->hotItem = nullptr;
        break;
    case WM_NCDESTROY:
        return detachFromView(data, treeSubclassProc, message, wParam, lParam);
    default:
        break;
    }
    return CallWindowProcA(data->previousProc, tree, message, wParam, lParam);
}

bool attachTree(HWND tree, TreeTipData* data) {
    bool fresh = !data;
    if (fresh) {
        HWND tip = createTipWindow(tree);
        if (!tip)
            return false;
        data = new (std::nothrow) TreeTipData();
        if (!data) {
            DestroyWindow(tip);
            return false;
        }
        data->view = tree;
        data->tip = tip;
    }
    data->hotItem = nullptr;
    data->flags = kViewEnabled;
    if (fresh) {
        if (!SetPropA(tree, MAKEINTATOM(listTipsProcess.property), static_cast<ViewTipData*>(data))) {
            DestroyWindow(data->tip);
            delete data;
            return false;
        }
        data->previousProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(treeSubclassProc)));
    }
    SendMessageA(data->tip, WM_TIP_ENABLE, 1, 0);
    return true;
}

}  // namespace

bool installListTips(HWND view) {
    ViewKind kind = kindOf(view);
    if (kind == KIND_OTHER || !registerTipWindowClass())
        return false;
    if (!listTipsProcess.property)
        listTipsProcess.property = GlobalAddAtomA(kTipWindowClass);
    if (!listTipsProcess.property)
        return false;
    ViewTipData* data = viewTipData(view);
    if (kind == KIND_LIST)
        return attachList(view, static_cast<ListTipData*>(data));
    return attachTree(view, static_cast<TreeTipData*>(data));
}

bool disableListTips(HWND view) {
    ViewTipData* data = viewTipData(view);
    if (!data)
        return false;
    data->flags &= ~kViewEnabled;
    if (IsWindow(data->tip))
        SendMessageA(data->tip, WM_TIP_ENABLE, 0, 0);
    return true;
}
