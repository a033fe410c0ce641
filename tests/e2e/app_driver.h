// Drives the real tarnview.exe from a test: starts it in the test's Wine
// prefix, finds its windows, reads the tree, the list and the status bar back,
// sends commands and ends it the way a user would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/frame/control_ids.h"

class ProbeLibrary;

struct TreeNode {
    std::string label;
    int depth;  // 0 for the roots, 1 for host folders
    HTREEITEM item;
};

// Keys held while another is pressed.
enum KeyModifier : unsigned {
    kShift = 1,
    kControl = 2,
};

class AppDriver {
public:
    AppDriver();
    ~AppDriver();
    AppDriver(const AppDriver&) = delete;
    AppDriver& operator=(const AppDriver&) = delete;

    // Starts the program and waits until its main window is visible and the
    // loading pass (progress bar in the status bar) has ended. A driver
    // whose program has ended starts it again; one still running is ended
    // first.
    bool start(DWORD timeoutMs = 30000);
    // Only starts the process, for a test that waits for something else
    // than the window; the window is found later by findMainWindow().
    bool launch();
    HWND findMainWindow();
    // Starts `path` instead of tarnview.exe: a test build of the program.
    void useProgram(const std::string& path) { program_ = path; }
    bool running() const;

    HWND mainWindow() const { return main_; }
    HWND child(int controlId) const;
    HWND tree() const { return child(ID_TREE); }
    HWND list() const { return child(ID_LIST); }
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
    // Selects exactly `rows`; the focus stays where it is.
    bool selectListRows(const std::vector<int>& rows) const;
    std::vector<int> selectedListRows() const;
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

    // The window with the keyboard focus in the program.
    HWND focusedWindow() const;
    // Brings the window to the front, as a click on it does; the pane that
    // had the focus gets it back.
    bool activate();
    // Gives the focus to the tree or the list, as the Tab key does.
    bool focusPane(HWND pane);
    // A key as the user types it: posted to the focused window, so that the
    // program's loop translates its accelerators, with `modifiers` held in
    // the program's key state meanwhile.
    void pressKey(UINT virtualKey, unsigned modifiers = 0);
    // A control character (Ctrl+C is 3) as WM_CHAR to the focused window.
    void typeCharacter(char code);
    // The same without waiting for the program to handle them.
    void postKey(UINT virtualKey);
    void postCharacter(char code);
    // Returns once the program has handled what was posted to it before.
    bool sync(DWORD timeoutMs = 20000) const;

    // Moves the mouse to a point of the screen as a hand does, and returns
    // once the program's main thread has taken the move there from its
    // queue (false when it did not within the time).
    bool moveMouse(POINT screen, DWORD timeoutMs = 5000);
    // The program's own clock, which ticks at the pace of its list tips'
    // timer and only while its main thread takes its messages: the ticks so
    // far, -1 when it cannot be read.
    long programClock();
    // The window of the program that has captured the mouse, or null.
    HWND captureWindow() const;
    // The ids of the program's threads.
    std::vector<DWORD> threadIds() const;
    // Waits until every thread of the program but those of `earlier` has
    // ended: a background run started since is over, though its end message
    // may still wait in the program's queue.
    bool waitForThreadsEnded(const std::vector<DWORD>& earlier, DWORD timeoutMs = 20000) const;

    // TB_GETSTATE of the toolbar button of `id`.
    int toolbarState(int id) const;
    // Clicks the button as the mouse would.
    bool clickToolbarButton(int id);

    // The MF_ states of the menu bar's commands after WM_INITMENU, or of a
    // context menu (as its popup window shows it); 0xFFFFFFFF for none.
    std::vector<UINT> menuStates(const std::vector<int>& ids);
    std::vector<UINT> popupMenuStates(HWND popup, const std::vector<int>& ids, int* defaultItem = nullptr);

    // Right-clicks a tree node, or a list row (-1: below the items), and
    // returns the popup menu window that opened.
    HWND rightClickTreeNode(HTREEITEM node);
    HWND rightClickListRow(int row);
    // Double-clicks a list row as the mouse would.
    bool doubleClickListRow(int row);
    // The popup menu window open in the program, if any.
    HWND findPopupMenu(DWORD timeoutMs) const;
    // Chooses from the open popup menu by mnemonics, one key per level of
    // submenus ("mh": "Do&mänen sortieren", then "&Hierarchisch").
    void chooseMenuItem(HWND popup, const char* keys);

    // A message box owned by the program, with its text; pressed with `button`.
    HWND findMessageBox(DWORD timeoutMs) const;
    // A dialog of the program with this caption.
    HWND findDialog(const std::string& caption, DWORD timeoutMs) const;
    std::string messageBoxText(HWND box) const;
    void pressButton(HWND dialog, int buttonId) const;
    // Moves and sizes the main window, and waits until it is there.
    bool moveWindow(int left, int top, int width, int height, DWORD timeoutMs = 5000) const;
    // Maximizes the window as its box would, and waits until it is.
    bool maximize(DWORD timeoutMs = 5000) const;
    // The question of the shell's confirmation dialog (Wine's).
    std::string shellQuestion(HWND dialog) const;
    // Waits until `window` no longer exists.
    bool waitUntilGone(HWND window, DWORD timeoutMs = 5000) const;

    // Ends the program through "Beenden" and waits for its exit.
    bool closeThroughMenu(DWORD timeoutMs = 20000);
    // Ends it as the window's close box does.
    bool closeWindow(DWORD timeoutMs = 20000);
    DWORD exitCode() const;
    // The program's main thread, for tests that slow it down.
    HANDLE mainThread() const { return process_.hThread; }
    DWORD processId() const { return process_.dwProcessId; }

private:
    // Ends a program still running and lets go of it.
    void forgetProcess();
    // The probe library in the program, its hook set for the notes.
    ProbeLibrary* watchingProbe();
    std::string sendTextMessage(HWND window, UINT message, WPARAM wParam, size_t bufferSize) const;
    bool rectOf(HWND window, UINT message, WPARAM wParam, RECT& rect, const void* request = nullptr) const;
    HWND rightClickAt(HWND window, POINT client);
    bool listRowPoint(int row, POINT& point) const;

    std::string program_;
    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
    mutable int syncMark_ = 1000;
    std::unique_ptr<ProbeLibrary> probe_;
};

// The text on the clipboard, or "<none>".
std::string clipboardText();
// Empties the clipboard, to see whether the program fills it.
void emptyClipboard();

// The clipboard owned by a window of this thread: the next program that
// takes it over waits until this thread answers, which it does only in
// release(). A way to hold the program's main thread up for a moment.
class ClipboardHolder {
public:
    ClipboardHolder();
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;

    bool hold(const std::string& text);
    // Waits until a program asks to take the clipboard over: it then waits
    // for this thread, and goes on only after release().
    bool waitForRequest(DWORD timeoutMs = 20000) const;
    // Answers what was sent meanwhile.
    void release();

private:
    HWND window_;
};

// The program under test, as a Windows path.
std::string tarnviewPath();
