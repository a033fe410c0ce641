// Drives the real tarnview.exe from a test: starts it in the test's Wine
// prefix, finds its windows, reads the tree, the list and the status bar back,
// sends commands and ends it the way a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

struct TreeNode {
    std::string label;
    int depth;  // 0 for the roots, 1 for host folders
    HTREEITEM item;
};

class AppDriver {
public:
    AppDriver() = default;
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // Starts the program and waits until its main window is visible and the
    // loading pass (progress bar in the status bar) has ended.
    bool start(DWORD timeoutMs = 30000);
    bool running() const;

    HWND mainWindow() const { return main_; }
    HWND child(int controlId) const;
    HWND tree() const { return child(105); }
    HWND list() const { return child(106); }
    HWND statusBar() const { return child(102); }

    // Waits until no loading or search run shows progress.
    bool waitUntilIdle(DWORD timeoutMs = 30000) const;

    std::vector<TreeNode> treeNodes() const;
    // The labels of the folders under the root labelled `root`, in tree order.
    std::vector<std::string> folderLabels(const std::string& root) const;
    std::string treeLabel(HTREEITEM item) const;
    HTREEITEM selectedTreeItem() const;
    bool selectTreeItem(HTREEITEM item) const;
    // Selects the first node whose label equals `label`.
    bool selectTreeLabel(const std::string& label) const;

    int listCount() const;
    int listColumnCount() const;
    std::string listCell(int row, int column) const;
    std::vector<std::vector<std::string>> listRows() const;
    bool selectListRow(int row) const;
    // The state bits of a row under `mask` (selection, focus, mark image).
    UINT listItemState(int row, UINT mask) const;
    // The row with the focus, or -1.
    int focusedListRow() const;
    // Clicks the header of a list column as the mouse would.
    bool clickColumnHeader(int column) const;

    std::string statusText(int part) const;
    std::string windowText(HWND window) const;
    LONG windowStyle(HWND window) const { return GetWindowLongA(window, GWL_STYLE); }
    bool listShowsDetails() const { return (windowStyle(list()) & LVS_TYPEMASK) == LVS_REPORT; }

    // Sends a command as a menu item would, and lets the program handle it.
    void command(int id) const;

    // A message box owned by the program, with its text; pressed with `button`.
    HWND findMessageBox(DWORD timeoutMs) const;
    std::string messageBoxText(HWND box) const;
    void pressButton(HWND dialog, int buttonId) const;
    // Moves and sizes the main window, and waits until it is there.
    bool moveWindow(int left, int top, int width, int height, DWORD timeoutMs = 5000) const;
    // Maximizes the window as its box would, and waits until it is.
    bool maximize(DWORD timeoutMs = 5000) const;
    // Waits until `window` no longer exists.
    bool waitUntilGone(HWND window, DWORD timeoutMs = 5000) const;

    // Ends the program through "Beenden" and waits for its exit.
    bool closeThroughMenu(DWORD timeoutMs = 20000);
    // Ends it as the window's close box does.
    bool closeWindow(DWORD timeoutMs = 20000);
    DWORD exitCode() const;

private:
    std::string sendTextMessage(HWND window, UINT message, WPARAM wParam, size_t bufferSize) const;

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

// The program under test, as a Windows path.
std::string tarnviewPath();
