#include "ui/frame/tree_pane.h"

#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/domain_folder.h"
#include "model/document_view.h"
#include "model/loading.h"
#include "settings/settings.h"
#include "ui/frame/control_ids.h"
#include "ui/frame/main_window.h"

namespace {

const int kCacheRootImage = 0;
const int kResultsRootImage = 1;
const int kFolderImage = 2;
const int kFolderSelectedImage = 3;
const UINT kHiddenOverlay = INDEXTOOVERLAYMASK(1);

HTREEITEM nodeOf(const DomainFolder& folder) {
    return static_cast<HTREEITEM>(folder.treeItem);
}

int CALLBACK compareFolderNodes(LPARAM a, LPARAM b, LPARAM hierarchical) {
    return compareFolders(*reinterpret_cast<DomainFolder*>(a), *reinterpret_cast<DomainFolder*>(b),
                          hierarchical != 0);
}

// A node for `folder` appended under `parent`. Its text is asked for when it
// is painted, so that switching the names' order needs no new texts.
TVINSERTSTRUCTA folderNode(HTREEITEM parent, DomainFolder& folder, int image, int selectedImage) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = LPSTR_TEXTCALLBACKA;
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = reinterpret_cast<LPARAM>(&folder);
    return insert;
}

}  // namespace

// Stops the tree from redrawing for a batch of node changes, from the first
// change on, and lets it draw once at the end. While it draws, the tree
// lays out, measures and repaints everything after a new node on every
// insertion, which for a root of a few thousand hosts takes seconds.
class TreeRedrawPause {
public:
    explicit TreeRedrawPause(HWND tree) : tree_(tree) {}
    ~TreeRedrawPause() { end(); }
    TreeRedrawPause(const TreeRedrawPause&) = delete;
    TreeRedrawPause& operator=(const TreeRedrawPause&) = delete;

    void begin() {
        if (!paused_)
            SendMessageA(tree_, WM_SETREDRAW, FALSE, 0);
        paused_ = true;
    }
    void end() {
        if (paused_)
            SendMessageA(tree_, WM_SETREDRAW, TRUE, 0);
        paused_ = false;
    }

private:
    HWND tree_;
    bool paused_ = false;
};

bool TreePane::create(HWND parent) {
    const DWORD style = WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_NOTOOLTIPS;
    window_ = CreateWindowExA(WS_EX_CLIENTEDGE, WC_TREEVIEWA, "", style, 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(ID_TREE)), GetModuleHandleA(nullptr),
                              nullptr);
    if (!window_)
        return false;
    TreeView_SetImageList(window_, main_.frame().treeImages(), TVSIL_NORMAL);
    return true;
}

HTREEITEM TreePane::caretItem() const {
    return TreeView_GetSelection(window_);
}

DomainFolder* TreePane::folderOfItem(HTREEITEM item) const {
    if (!item)
        return nullptr;
    TVITEMA request = {};
    request.mask = TVIF_PARAM;
    request.hItem = item;
    if (!TreeView_GetItem(window_, &request))
        return nullptr;
    return reinterpret_cast<DomainFolder*>(request.lParam);
}

DomainFolder* TreePane::selectedFolder() const {
    return folderOfItem(caretItem());
}

HTREEITEM TreePane::nextFolderItem(HTREEITEM item) const {
    if (!item)
        return nullptr;
    if (HTREEITEM child = TreeView_GetChild(window_, item))
        return child;
    if (HTREEITEM sibling = TreeView_GetNextSibling(window_, item))
        return sibling;
    HTREEITEM parent = TreeView_GetParent(window_, item);
    return parent ? TreeView_GetNextSibling(window_, parent) : nullptr;
}

HTREEITEM TreePane::previousFolderItem(HTREEITEM item) const {
    if (!item)
        return nullptr;
    HTREEITEM previous = TreeView_GetPrevSibling(window_, item);
    if (!previous)
        return TreeView_GetParent(window_, item);
    HTREEITEM last = TreeView_GetChild(window_, previous);
    if (!last)
        return previous;
    while (HTREEITEM next = TreeView_GetNextSibling(window_, last))
        last = next;
    return last;
}

void TreePane::selectItem(HTREEITEM item) {
    TreeView_Select(window_, item, TVGN_CARET);
}

bool TreePane::syncRoots(unsigned flags) {
    CacheModel* model = main_.model();
    if (!model)
        return false;
    unsigned mask = filterMask(main_.settings().optionFlags);
    bool hierarchical = (main_.settings().optionFlags & OPTION_HIERARCHICAL) != 0;
    selectionChangedMark_ = false;

    if (flags & RefreshTree) {
        HTREEITEM before = nodeOf(*model->cacheRoot);
        syncTreeRoot(*model->cacheRoot, mask, kCacheRootImage, kFolderImage, kFolderSelectedImage, hierarchical);
        HTREEITEM root = nodeOf(*model->cacheRoot);
        HTREEITEM first = root != before ? nextFolderItem(root) : nullptr;
        if (first) {
            selectItem(first);
            TreeView_Select(window_, root, TVGN_FIRSTVISIBLE);
            if (GetScrollPos(window_, SB_HORZ) > 0)
                SetScrollPos(window_, SB_HORZ, 0, FALSE);
        }
    }
    if (flags & RefreshResults) {
        HTREEITEM before = nodeOf(*model->searchRoot);
        syncTreeRoot(*model->searchRoot, mask, kResultsRootImage, kFolderImage, kFolderSelectedImage, hierarchical);
        if (nodeOf(*model->searchRoot) != before) {
            // Lines at the root only make sense while there are two roots.
            LONG style = GetWindowLongA(window_, GWL_STYLE);
            SetWindowLongA(window_, GWL_STYLE,
                           model->searchRoot->treeItem ? style | TVS_LINESATROOT : style & ~TVS_LINESATROOT);
        }
    }
    return selectionChangedMark_;
}

void TreePane::reselectCaret() {
    HTREEITEM caret = caretItem();
    selectItem(nullptr);
    selectItem(caret);
}

HTREEITEM TreePane::insertRootNode(FolderList& root, int image) {
    TVINSERTSTRUCTA insert = folderNode(TVI_ROOT, root, image, image);
    insert.item.state = TVIS_EXPANDED;
    insert.item.stateMask = TVIS_EXPANDED;
    insert.item.cChildren = 1;
    HTREEITEM node = TreeView_InsertItem(window_, &insert);
    root.treeItem = node;
    return node;
}

bool TreePane::syncTreeRoot(FolderList& root, unsigned mask, int rootImage, int folderImage,
                            int folderSelectedImage, bool hierarchical) {
    bool shown = root.hasAnyFlag(FLAG_ROOT_SHOWN) || visibleCount(root, mask) > 0;
    HTREEITEM node = nodeOf(root);
    if (shown && !node) {
        node = insertRootNode(root, rootImage);
        if (!node)
            return false;
        // Once shown, a root stays until somebody clears the mark.
        root.setFlags(FLAG_ROOT_SHOWN);
    }
    bool result = true;
    HTREEITEM target = nullptr;
    if (node) {
        DomainFolder* selected = selectedFolder();
        int vanishing = -1;
        if (selected == &root && !shown)
            target = node;
        else if (selected && visibleCount(*selected, mask) == 0)
            vanishing = root.indexOf(selected);
        // Deleting the selected node would make the tree select a neighbour
        // of its own choosing and refill the list for it first.
        if (vanishing >= 0 || target)
            selectItem(nullptr);
        bool inserted = false;
        TreeRedrawPause pause(window_);
        for (int32_t i = 0; i < root.count(); ++i)
            if (!syncFolderNode(*root.folderAt(i), mask, node, folderImage, folderSelectedImage, pause, inserted))
                result = false;
        if (inserted)
            sortFolderNodes(root, hierarchical);
        // The tree is drawn again before any node is selected.
        pause.end();
        if (vanishing >= 0) {
            target = nearestFolderNode(root, vanishing, hierarchical);
            if (!target)
                target = node;
        }
    }
    if (!shown && node) {
        if (target == node) {
            target = nextFolderItem(node);
            if (!target) {
                HTREEITEM previous = TreeView_GetPrevSibling(window_, node);
                if (previous && (TreeView_GetItemState(window_, previous, TVIS_EXPANDED) & TVIS_EXPANDED))
                    target = previousFolderItem(node);
                else
                    target = previous;
            }
        }
        TreeView_DeleteItem(window_, node);
        root.treeItem = nullptr;
    }
    if (target)
        selectItem(target);
    return result;
}

bool TreePane::syncFolderNode(DomainFolder& folder, unsigned mask, HTREEITEM rootNode, int image, int selectedImage,
                              TreeRedrawPause& pause, bool& inserted) {
    if (folder.isNested())
        return false;
    HTREEITEM node = nodeOf(folder);
    if (visibleCount(folder, mask) > 0) {
        UINT wanted = folder.hasAnyFlag(FLAG_HIDDEN) ? kHiddenOverlay : 0;
        if (node) {
            UINT state = TreeView_GetItemState(window_, node, TVIS_OVERLAYMASK);
            if ((state & kHiddenOverlay) != wanted)
                TreeView_SetItemState(window_, node, wanted, TVIS_OVERLAYMASK);
            return true;
        }
        TVINSERTSTRUCTA insert = folderNode(rootNode, folder, image, selectedImage);
        insert.item.state = wanted;
        insert.item.stateMask = TVIS_OVERLAYMASK | TVIS_EXPANDED;
        insert.item.cChildren = 0;
        pause.begin();
        node = TreeView_InsertItem(window_, &insert);
        if (!node)
            return false;
        inserted = true;
        folder.treeItem = node;
    } else if (node) {
        pause.begin();
        TreeView_DeleteItem(window_, node);
        folder.treeItem = nullptr;
    }
    return true;
}

HTREEITEM TreePane::nearestFolderNode(FolderList& root, int vanishing, bool hierarchical) const {
    int direction = hierarchical ? -1 : 1;
    for (int pass = 0; pass < 2; ++pass, direction = -direction) {
        for (int32_t i = vanishing + direction; i >= 0 && i < root.count(); i += direction)
            if (HTREEITEM node = nodeOf(*root.folderAt(i)))
                return node;
    }
    return nullptr;
}

void TreePane::sortFolderNodes(FolderList& root, bool hierarchical) {
    HTREEITEM node = nodeOf(root);
    if (!node)
        return;
    TVSORTCB sort = {};
    sort.hParent = node;
    sort.lpfnCompare = compareFolderNodes;
    sort.lParam = hierarchical ? 1 : 0;
    TreeView_SortChildrenCB(window_, &sort, 0);
}

bool TreePane::onNotify(NMHDR* header) {
    switch (header->code) {
    case TVN_DELETEITEMA: {
        auto* view = reinterpret_cast<NMTREEVIEWA*>(header);
        if (DomainFolder* folder = reinterpret_cast<DomainFolder*>(view->itemOld.lParam))
            folder->treeItem = nullptr;
        return true;
    }
    case TVN_GETDISPINFOA:
        onGetDispInfo(reinterpret_cast<NMTVDISPINFOA*>(header));
        return true;
    case TVN_SELCHANGEDA:
        onFolderSelected(reinterpret_cast<DomainFolder*>(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.lParam));
        return true;
    default:
        return false;
    }
}

void TreePane::onGetDispInfo(NMTVDISPINFOA* info) {
    DomainFolder* folder = reinterpret_cast<DomainFolder*>(info->item.lParam);
    if (!(info->item.mask & TVIF_TEXT) || !folder || !info->item.pszText || info->item.cchTextMax <= 0)
        return;
    uint32_t options = main_.settings().optionFlags;
    bool bySortOrder = (options & OPTION_HIERARCHICAL) && (options & OPTION_NAMES_IN_SORT_ORDER);
    folderDisplayName(*folder, info->item.pszText, static_cast<size_t>(info->item.cchTextMax), bySortOrder);
}

void TreePane::onFolderSelected(DomainFolder* folder) {
    selectionChangedMark_ = true;
    main_.frame().setContentCaption(folder ? folder->name() : nullptr);
    ListPane& list = main_.list();
    list.suspendStats();
    UpdateWindow(window_);
    list.suspendRedraw();
    list.clear();
    HCURSOR previousCursor = nullptr;
    bool waited = false;
    CacheModel* model = main_.model();
    if (folder && model) {
        if (!folder->isNested() && !isFolderLoaded(*folder)) {
            previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            waited = true;
            UpdateWindow(list.window());
            loadFolder(*model, folder);
        }
        list.syncList(folder);
    }
    if (list.itemCount() > 0)
        ListView_SetItemState(list.window(), 0, LVIS_FOCUSED, LVIS_FOCUSED);
    list.resumeRedraw();
    if (waited)
        SetCursor(previousCursor);
    list.resumeStats();
    main_.commands().updateToolbarObjectStates();
}

void TreePane::sortDomains(bool hierarchical) {
    Settings& settings = main_.settings();
    if (hierarchical)
        settings.optionFlags |= OPTION_HIERARCHICAL;
    else
        settings.optionFlags &= ~static_cast<uint32_t>(OPTION_HIERARCHICAL);
    if (CacheModel* model = main_.model()) {
        sortFolderNodes(*model->cacheRoot, hierarchical);
        sortFolderNodes(*model->searchRoot, hierarchical);
    }
}

void TreePane::toggleNamesInSortOrder() {
    Settings& settings = main_.settings();
    settings.optionFlags ^= OPTION_NAMES_IN_SORT_ORDER;
    // Labels are asked for on every paint; alphabetical order shows plain
    // names either way.
    if (settings.optionFlags & OPTION_HIERARCHICAL)
        InvalidateRect(window_, nullptr, FALSE);
}

void TreePane::selectNeighbour(bool next) {
    HTREEITEM caret = caretItem();
    HTREEITEM target = next ? nextFolderItem(caret) : previousFolderItem(caret);
    if (target)
        selectItem(target);
}

void TreePane::selectFolder(const DomainFolder& folder) {
    if (HTREEITEM node = nodeOf(folder))
        selectItem(node);
}
