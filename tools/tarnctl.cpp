// A small remote control for the running program, used by the build script:
//   tarnctl idle [seconds]   waits until Tarnview's main window is visible,
//                            no loading or search run is going, and the
//                            window has drawn itself
//   tarnctl close [seconds]  asks it to close and waits until it is gone
//   tarnctl tree             prints the labels of the folder tree, one a
//                            line, each indented by two blanks a level
// Exit status 0 on success, 1 on time-out (or no window).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kStatusBarId = 102;
const int kTreeId = 105;

class Deadline {
public:
    explicit Deadline(DWORD seconds) : start_(GetTickCount()), limit_(seconds * 1000) {}
    bool passed() const { return GetTickCount() - start_ >= limit_; }
    DWORD remaining() const {
        DWORD elapsed = GetTickCount() - start_;
        return elapsed >= limit_ ? 0 : limit_ - elapsed;
    }

private:
    DWORD start_;
    DWORD limit_;
};

HWND findMainWindow() {
    return FindWindowA("QL_TARN", nullptr);
}

bool waitFor(bool (*condition)(), const Deadline& deadline) {
    while (!deadline.passed()) {
        if (condition())
            return true;
        Sleep(50);
    }
    return condition();
}

bool mainWindowVisible() {
    HWND window = findMainWindow();
    return window && IsWindowVisible(window);
}

bool mainWindowGone() {
    return findMainWindow() == nullptr;
}

// The progress bar in the status bar is shown only while a loading or search
// run goes on. Its own WS_VISIBLE is asked, not IsWindowVisible: with the
// status bar turned off the bar is never visible on screen, though shown.
bool noRunShowsProgress() {
    HWND window = findMainWindow();
    if (!window || !IsWindowVisible(window))
        return false;
    HWND status = GetDlgItem(window, kStatusBarId);
    HWND progress = status ? FindWindowExA(status, nullptr, PROGRESS_CLASSA, nullptr) : nullptr;
    return !progress || (GetWindowLongA(progress, GWL_STYLE) & WS_VISIBLE) == 0;
}

// The window is up before the program reads the index, and the loading run
// shows its progress only after that: until the program first waits for
// input, a hidden progress bar says nothing yet.
void waitForStartup(HWND window, const Deadline& deadline) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process)
        return;
    WaitForInputIdle(process, deadline.remaining());
    CloseHandle(process);
}

bool waitUntilIdle(const Deadline& deadline) {
    if (!waitFor(mainWindowVisible, deadline))
        return false;
    waitForStartup(findMainWindow(), deadline);
    if (!waitFor(noRunShowsProgress, deadline))
        return false;
    // The end of a run hides the bar first and then refreshes the panes; a
    // message sent now is handled after that. Then the panes paint what the
    // refresh left to paint, before this returns.
    HWND window = findMainWindow();
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, deadline.remaining(), &result))
        return false;
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return true;
}

BOOL CALLBACK findTree(HWND child, LPARAM found) {
    if (GetDlgCtrlID(child) != kTreeId)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The tree lives in the program's process: its items are read through a
// buffer there.
class RemoteLabels {
public:
    explicit RemoteLabels(HWND tree) : tree_(tree) {
        DWORD processId = 0;
        GetWindowThreadProcessId(tree, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_)
            buffer_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, sizeof(TVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
    }
    ~RemoteLabels() {
        if (buffer_)
            VirtualFreeEx(process_, buffer_, 0, MEM_RELEASE);
        if (process_)
            CloseHandle(process_);
    }
    RemoteLabels(const RemoteLabels&) = delete;
    RemoteLabels& operator=(const RemoteLabels&) = delete;

    bool usable() const { return buffer_ != nullptr; }

    bool label(HTREEITEM item, char* out) {
        TVITEMA request = {};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = buffer_ + sizeof request;
        request.cchTextMax = kTextSize;
        SIZE_T done = 0;
        out[0] = '\0';
        if (!WriteProcessMemory(process_, buffer_, &request, sizeof request, &done) ||
            !SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(buffer_)))
            return false;
        if (!ReadProcessMemory(process_, buffer_ + sizeof request, out, kTextSize, &done))
            return false;
        out[kTextSize - 1] = '\0';
        return true;
    }

    static const int kTextSize = 1024;

private:
    HWND tree_;
    HANDLE process_ = nullptr;
    char* buffer_ = nullptr;
};

void printItems(HWND tree, RemoteLabels& labels, HTREEITEM item, int depth) {
    char text[RemoteLabels::kTextSize];
    for (; item; item = TreeView_GetNextSibling(tree, item)) {
        labels.label(item, text);
        std::printf("%*s%s\n", 2 * depth, "", text);
        printItems(tree, labels, TreeView_GetChild(tree, item), depth + 1);
    }
}

bool printTree() {
    HWND window = findMainWindow();
    HWND tree = nullptr;
    if (window)
        EnumChildWindows(window, findTree, reinterpret_cast<LPARAM>(&tree));
    if (!tree)
        return false;
    RemoteLabels labels(tree);
    if (!labels.usable())
        return false;
    printItems(tree, labels, TreeView_GetRoot(tree), 0);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    Deadline deadline(argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 60);
    if (std::strcmp(argv[1], "idle") == 0)
        return waitUntilIdle(deadline) ? 0 : 1;
    if (std::strcmp(argv[1], "close") == 0) {
        if (HWND window = findMainWindow())
            PostMessageA(window, WM_CLOSE, 0, 0);
        return waitFor(mainWindowGone, deadline) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "tree") == 0)
        return printTree() ? 0 : 1;
    return 2;
}
