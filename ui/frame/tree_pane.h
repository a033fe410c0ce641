// The left pane: the cache root and the search-results root as tree nodes,
// each with a node per host folder that has something to show.
#pragma once

#include <windows.h>
#include <commctrl.h>

class DomainFolder;
class FolderList;
class MainWindow;
class TreeRedrawPause;

class TreePane {
public:
    explicit TreePane(MainWindow& main) : main_(main) {}
    TreePane(const TreePane&) = delete;
    TreePane& operator=(const TreePane&) = delete;

    bool create(HWND parent);
    HWND window() const { return window_; }

    // Brings the roots that `flags` (RefreshTree, RefreshResults) name up to
    // date with the model. True when that moved the selection, which has
    // refilled the list already.
    bool syncRoots(unsigned flags);
    // Selects the caret's node again, which refills the list.
    void reselectCaret();

    HTREEITEM caretItem() const;
    // The model object of the caret node, or of any node; null for none.
    DomainFolder* selectedFolder() const;
    DomainFolder* folderOfItem(HTREEITEM item) const;
    // Neighbours in the tree's depth-first order, collapsed nodes included.
    HTREEITEM nextFolderItem(HTREEITEM item) const;
    HTREEITEM previousFolderItem(HTREEITEM item) const;

    // True when the notification was the tree's own business.
    bool onNotify(NMHDR* header);

    // "Alphabetisch" and "Hierarchisch", "Name gemäß Sortierung".
    void sortDomains(bool hierarchical);
    void toggleNamesInSortOrder();
    // "Voriger Ordner" and "Nächster Ordner".
    void selectNeighbour(bool next);
    // Selects the folder's node, which fills the list with its documents.
    void selectFolder(const DomainFolder& folder);

private:
    bool syncTreeRoot(FolderList& root, unsigned mask, int rootImage, int folderImage, int folderSelectedImage,
                      bool hierarchical);
    bool syncFolderNode(DomainFolder& folder, unsigned mask, HTREEITEM rootNode, int image, int selectedImage,
                        TreeRedrawPause& pause, bool& inserted);
    void sortFolderNodes(FolderList& root, bool hierarchical);
    HTREEITEM nearestFolderNode(FolderList& root, int vanishing, bool hierarchical) const;
    HTREEITEM insertRootNode(FolderList& root, int image);
    void selectItem(HTREEITEM item);
    void onFolderSelected(DomainFolder* folder);
    void onGetDispInfo(NMTVDISPINFOA* info);

    MainWindow& main_;
    HWND window_ = nullptr;
    bool selectionChangedMark_ = false;
};
