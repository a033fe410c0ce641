// The main window's frame: toolbar, status bar with its progress bar, the
// two description bars, the splitter between tree and list, the image lists
// and the detached context menus.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/win_handles.h"

class MainWindow;

// Where the children go for a pane area; computed without windows.
struct FrameGeometryInput {
    RECT paneArea;
    int splitterPos;   // the stored left pane width, or unset
    int screenWidth;
    int splitterWidth;
    int lineHeight;
    bool descriptionBars;
};

struct FrameGeometry {
    int splitterPos;  // the position used, to be stored when it was made up
    RECT splitter;
    RECT leftBar;
    RECT rightBar;
    RECT tree;
    RECT list;
};

FrameGeometry computeFrameGeometry(const FrameGeometryInput& input);

class Frame {
public:
    explicit Frame(MainWindow& main) : main_(main) {}
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Builds the children of `window` in their fixed order; false when any
    // of them, an image list, an icon or a table could not be made.
    bool create(HWND window);
    // Frees what the program owns itself: two image lists, three menus.
    void destroyOwned();

    void layout();
    void setContentCaption(const char* folderName);
    void measureStatusFont();
    void forwardToChildren(UINT message, WPARAM wParam, LPARAM lParam);

    void beginProgress(int steps);
    void stepProgress();
    // WM_TIMER of the main window.
    void onTimer(UINT_PTR id);
    void endProgress();
    bool progressActive() const { return progressActive_; }

    // Menu help takes the status bar over, progress bar included.
    void showMenuHelp(const char* text);
    void hideMenuHelp();

    void onActivate(bool active);
    void passFocus();
    // WM_SETCURSOR: true when the splitter cursor was set.
    bool onSetCursor(HWND target, int hitTest);
    void onLeftButtonDown(POINT point);

    HWND toolbar() const { return toolbar_; }
    HWND statusBar() const { return statusBar_; }
    HIMAGELIST systemSmallIcons() const { return systemSmallIcons_; }
    HIMAGELIST systemLargeIcons() const { return systemLargeIcons_; }
    HIMAGELIST documentMarks() const { return documentMarks_.get(); }
    HIMAGELIST treeImages() const { return treeImages_.get(); }
    HMENU treeMenu() const { return treeMenu_.get(); }
    HMENU listSelectionMenu() const { return listSelectionMenu_.get(); }
    HMENU listBackgroundMenu() const { return listBackgroundMenu_.get(); }

private:
    bool createImageLists();
    bool createStatusBar();
    bool createDescriptionBars();
    bool createToolbar();
    bool detachContextMenus();
    RECT paneArea() const;
    void placeProgressBar();
    void moveProgress();
    void stopProgressTimer();
    int dragSplitter(POINT start);

    MainWindow& main_;
    HWND window_ = nullptr;
    HWND toolbar_ = nullptr;
    HWND statusBar_ = nullptr;
    HWND progress_ = nullptr;
    HWND leftBar_ = nullptr;
    HWND rightBar_ = nullptr;
    HIMAGELIST systemSmallIcons_ = nullptr;
    HIMAGELIST systemLargeIcons_ = nullptr;
    ImageListHandle documentMarks_;
    ImageListHandle treeImages_;
    MenuHandle treeMenu_;
    MenuHandle listSelectionMenu_;
    MenuHandle listBackgroundMenu_;
    int lineHeight_ = 0;
    RECT splitterRect_ = {};
    bool progressActive_ = false;
    // Steps not yet shown, the time the bar last moved, and whether a timer
    // will show them.
    static constexpr UINT_PTR kProgressTimerId = 1;
    static constexpr DWORD kProgressInterval = 50;
    int pendingSteps_ = 0;
    DWORD lastProgressMove_ = 0;
    bool progressTimer_ = false;
    bool menuHelpShowing_ = false;
    bool treeHadFocus_ = true;
    bool complete_ = false;
};
