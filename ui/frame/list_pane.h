// The right pane: the documents of the folder selected in the tree, as a
// list of titles or a table of six columns.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/win_handles.h"
#include "ui/frame/list_stats.h"

class CacheEntry;
class DocumentView;
class DomainFolder;
class MainWindow;

// The list's columns in the details view; each shows one sort field.
enum ListColumn : int {
    COLUMN_TITLE = 0,
    COLUMN_TYPE = 1,
    COLUMN_URL = 2,
    COLUMN_FILE = 3,
    COLUMN_SIZE = 4,
    COLUMN_DATE = 5,
};

constexpr int columnOfSortField(int32_t field) {
    return field - 1;
}

constexpr int32_t sortFieldOfColumn(int column) {
    return column + 1;
}

// The text of one cell: title, type, URL, file, size in kilobytes, date.
void itemText(const CacheEntry& entry, int column, int32_t timeZoneBias, char* out, size_t size);

// The list holds no copies of its items (an owner-data list view): item i is
// the i-th document of `listed_`, a view of the shown folder in the list's
// order, and every text, icon and mark is asked for when it is drawn. The
// control itself keeps only the selection and the focus.
class ListPane {
public:
    explicit ListPane(MainWindow& main);
    ~ListPane();
    ListPane(const ListPane&) = delete;
    ListPane& operator=(const ListPane&) = delete;

    bool create(HWND parent);
    // Owner-drawn column headers with the sort arrow.
    void setupHeaderDrawing();
    HWND window() const { return window_; }

    // Empties the list, as for a newly selected folder.
    void clear();
    // Brings the items in step with `folder` (null: the tree's selection).
    void syncList(DomainFolder* folder);
    // After a loading run every item is written again: titles and icons
    // have become known.
    void setLoadingFinishedMark() { loadingFinished_ = true; }
    // LVS_LIST or LVS_REPORT.
    void setListMode(DWORD mode);
    // The hidden and missing marks, shown only while "Alles anzeigen" is on.
    void showMarks(bool shown);
    // Sorts by the settings' document sort key; selection, focus and the
    // scroll position stay with their documents and places.
    void sortItems();

    template <class Fn>
    void forEachSelected(Fn&& fn) const {
        for (int item = ListView_GetNextItem(window_, -1, LVNI_SELECTED); item >= 0;
             item = ListView_GetNextItem(window_, item, LVNI_SELECTED))
            if (CacheEntry* entry = entryAt(item))
                fn(entry);
    }
    CacheEntry* firstSelected() const;
    // Null for an index outside the list.
    CacheEntry* entryAt(int item) const;
    int itemCount() const;
    void selectAllDocuments();
    void invertSelection();
    // Selects and focuses the item of `entry` and scrolls it into view;
    // nothing when the list does not show it.
    void selectEntry(const CacheEntry& entry);

    // Nesting locks: redrawing resumes, and the statistics are counted
    // anew, when the outermost lock is released.
    void suspendRedraw();
    void resumeRedraw();
    void suspendStats();
    void resumeStats();

    const ListStats& stats() const { return stats_; }
    void updateStatusBar();

    // True when the notification was the list's own business; `result`
    // is then the answer to it.
    bool onNotify(NMHDR* header, LRESULT& result);

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void syncItems(DomainFolder* folder, bool reorder);
    void showItems(std::unique_ptr<DocumentView> items, bool keepScroll);
    void recountStats();
    bool countSelectionChange(const NMLISTVIEW& change);
    void afterCount();
    void changeSelection(bool invert);
    void onGetDispInfo(NMLVDISPINFOA& info) const;
    int findItem(int start, const char* prefix) const;
    void drawHeaderItem(const DRAWITEMSTRUCT& item);
    void loadSortArrows();

    MainWindow& main_;
    HWND window_ = nullptr;
    WNDPROC listProc_ = nullptr;
    GdiObject sortArrows_;
    // Null while the list is empty.
    std::unique_ptr<DocumentView> listed_;
    ListStats stats_;
    int redrawLock_ = 0;
    int statsLock_ = 0;
    bool loadingFinished_ = false;
};
