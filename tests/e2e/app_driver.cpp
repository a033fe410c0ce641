#include "app_driver.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>

#include "menu_probe.h"
#include "remote_memory.h"
#include "support/wine_path.h"
#include "waiting.h"

namespace {

const char kMainClass[] = "QL_TARN";
const int kTextBuffer = 1024;

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM data) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND topLevelWindowOf(DWORD processId, const char* className) {
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct CaptionSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK findCaptionedWindow(HWND window, LPARAM data) {
    CaptionSearch* search = reinterpret_cast<CaptionSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = "";
    if (owner != search->processId || !IsWindowVisible(window) || !GetWindowTextA(window, caption, sizeof caption) ||
        *search->caption != caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The lParam of a key message: one press, the scan code in bits 16-23, the
// extended-key bit for Insert and Delete of the cursor block.
LPARAM keyData(UINT virtualKey, bool up) {
    LPARAM data = 1 | static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0) << 16);
    if (virtualKey == VK_INSERT || virtualKey == VK_DELETE)
        data |= 1 << 24;
    if (up)
        data |= 0xC0000000;
    return data;
}

}  // namespace

std::string tarnviewPath() {
    return winePath(std::string(TARN_BINARY_DIR) + "/ui/tarnview.exe");
}

AppDriver::AppDriver() = default;

AppDriver::~AppDriver() {
    forgetProcess();
}

void AppDriver::forgetProcess() {
    probe_.reset();
    if (process_.hProcess) {
        if (running()) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    process_ = {};
    main_ = nullptr;
}

bool AppDriver::launch() {
    forgetProcess();
    std::string path = program_.empty() ? tarnviewPath() : program_;
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process_) != FALSE;
}

HWND AppDriver::findMainWindow() {
    if (!main_ && process_.hProcess)
        main_ = topLevelWindowOf(process_.dwProcessId, kMainClass);
    return main_;
}

bool AppDriver::start(DWORD timeoutMs) {
    if (!launch())
        return false;
    DWORD processId = process_.dwProcessId;
    if (!waitUntil([&] { return (main_ = topLevelWindowOf(processId, kMainClass)) != nullptr || !running(); },
                 timeoutMs) ||
        !main_)
        return false;
    // The window shows before the index is read, and the loading run's
    // progress only after that: the tree's cache root, made by the first
    // refresh, says that the start has got that far.
    HWND treeView = tree();
    if (!waitUntil(
            [&] {
                DWORD_PTR nodes = 0;
                return SendMessageTimeoutA(treeView, TVM_GETCOUNT, 0, 0, SMTO_NORMAL, 1000, &nodes) && nodes > 0;
            },
            timeoutMs))
        return false;
    return waitUntilIdle(timeoutMs);
}

bool AppDriver::running() const {
    return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND AppDriver::child(int controlId) const {
    return main_ ? GetDlgItem(main_, controlId) : nullptr;
}

bool AppDriver::waitUntilIdle(DWORD timeoutMs) const {
    HWND status = statusBar();
    HWND progress = status ? FindWindowExA(status, nullptr, PROGRESS_CLASSA, nullptr) : nullptr;
    if (!progress)
        return true;
    return waitUntil([&] { return !IsWindowVisible(progress); }, timeoutMs);
}

std::string AppDriver::sendTextMessage(HWND window, UINT message, WPARAM wParam, size_t bufferSize) const {
    RemoteMemory text(process_.hProcess, bufferSize);
    if (!text.valid())
        return {};
    char zero = 0;
    text.write(&zero, 1);
    SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(text.address()));
    std::string result(bufferSize, '\0');
    text.read(&result[0], bufferSize);
    result.resize(result.find('\0'));
    return result;
}

std::string AppDriver::treeLabel(HTREEITEM item) const {
    RemoteMemory memory(process_.hProcess, sizeof(TVITEMA) + kTextBuffer);
    if (!memory.valid())
        return {};
    TVITEMA request = {};
    request.mask = TVIF_TEXT;
    request.hItem = item;
    request.pszText = memory.at(sizeof(TVITEMA));
    request.cchTextMax = kTextBuffer;
    char zero = 0;
    memory.write(&request, sizeof request);
    memory.write(&zero, 1, sizeof(TVITEMA));
    SendMessageA(tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.address()));
    std::string label(kTextBuffer, '\0');
    memory.read(&label[0], kTextBuffer, sizeof(TVITEMA));
    label.resize(label.find('\0'));
    return label;
}

std::vector<TreeNode> AppDriver::treeNodes() const {
    std::vector<TreeNode> nodes;
    HWND view = tree();
    if (!view)
        return nodes;
    HTREEITEM root = TreeView_GetRoot(view);
    for (; root; root = TreeView_GetNextSibling(view, root)) {
        nodes.push_back({treeLabel(root), 0, root});
        for (HTREEITEM folder = TreeView_GetChild(view, root); folder; folder = TreeView_GetNextSibling(view, folder))
            nodes.push_back({treeLabel(folder), 1, folder});
    }
    return nodes;
}

std::vector<std::string> AppDriver::folderLabels(const std::string& root) const {
    std::vector<std::string> labels;
    bool underRoot = false;
    for (const TreeNode& node : treeNodes()) {
        if (node.depth == 0)
            underRoot = node.label == root;
        else if (underRoot)
            labels.push_back(node.label);
    }
    return labels;
}

HTREEITEM AppDriver::selectedTreeItem() const {
    return TreeView_GetSelection(tree());
}

bool AppDriver::selectTreeItem(HTREEITEM item) const {
    bool selected = TreeView_SelectItem(tree(), item) != FALSE;
    return selected && waitUntilIdle();
}

bool AppDriver::selectTreeLabel(const std::string& label) const {
    for (const TreeNode& node : treeNodes())
        if (node.label == label)
            return selectTreeItem(node.item);
    return false;
}

int AppDriver::listCount() const {
    return static_cast<int>(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0));
}

int AppDriver::listColumnCount() const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

std::string AppDriver::listCell(int row, int column) const {
    RemoteMemory memory(process_.hProcess, sizeof(LVITEMA) + kTextBuffer);
    if (!memory.valid())
        return {};
    LVITEMA request = {};
    request.iSubItem = column;
    request.pszText = memory.at(sizeof(LVITEMA));
    request.cchTextMax = kTextBuffer;
    char zero = 0;
    memory.write(&request, sizeof request);
    memory.write(&zero, 1, sizeof(LVITEMA));
    SendMessageA(list(), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory.address()));
    std::string text(kTextBuffer, '\0');
    memory.read(&text[0], kTextBuffer, sizeof(LVITEMA));
    text.resize(text.find('\0'));
    return text;
}

std::vector<std::vector<std::string>> AppDriver::listRows() const {
    std::vector<std::vector<std::string>> rows;
    int columns = listColumnCount();
    if (columns == 0)
        columns = 1;
    for (int row = 0, count = listCount(); row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(listCell(row, column));
        rows.push_back(cells);
    }
    return rows;
}

bool AppDriver::selectListRow(int row) const {
    RemoteMemory memory(process_.hProcess, sizeof(LVITEMA));
    if (!memory.valid())
        return false;
    LVITEMA request = {};
    request.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    request.state = LVIS_SELECTED | LVIS_FOCUSED;
    memory.write(&request, sizeof request);
    return SendMessageA(list(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory.address())) != 0;
}

bool AppDriver::selectListRows(const std::vector<int>& rows) const {
    RemoteMemory memory(process_.hProcess, sizeof(LVITEMA));
    if (!memory.valid())
        return false;
    LVITEMA request = {};
    request.stateMask = LVIS_SELECTED;
    memory.write(&request, sizeof request);
    SendMessageA(list(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(memory.address()));
    for (int row : rows) {
        request.state = LVIS_SELECTED;
        memory.write(&request, sizeof request);
        if (!SendMessageA(list(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory.address())))
            return false;
    }
    return true;
}

std::vector<int> AppDriver::selectedListRows() const {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(SendMessageA(list(), LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    return rows;
}

UINT AppDriver::listItemState(int row, UINT mask) const {
    return static_cast<UINT>(SendMessageA(list(), LVM_GETITEMSTATE, row, mask));
}

int AppDriver::focusedListRow() const {
    return static_cast<int>(SendMessageA(list(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

bool AppDriver::clickColumnHeader(int column) const {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list(), LVM_GETHEADER, 0, 0));
    RemoteMemory memory(process_.hProcess, sizeof(RECT));
    if (!header || !memory.valid() ||
        !SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(memory.address())))
        return false;
    RECT rect;
    if (!memory.read(&rect, sizeof rect))
        return false;
    LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(header, WM_LBUTTONUP, 0, point);
    return true;
}

std::string AppDriver::statusText(int part) const {
    HWND status = statusBar();
    if (!status)
        return {};
    LRESULT length = SendMessageA(status, SB_GETTEXTLENGTHA, part, 0);
    return sendTextMessage(status, SB_GETTEXTA, part, LOWORD(length) + 1);
}

std::string AppDriver::windowText(HWND window) const {
    char text[kTextBuffer] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void AppDriver::command(int id) const {
    DWORD_PTR result;
    SendMessageTimeoutA(main_, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL, 20000, &result);
}

HWND AppDriver::focusedWindow() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

bool AppDriver::activate() {
    SetForegroundWindow(main_);
    return waitUntil([&] { return GetForegroundWindow() == main_ && focusedWindow() != nullptr; }, 5000);
}

bool AppDriver::focusPane(HWND pane) {
    for (int attempt = 0; attempt < 3 && focusedWindow() != pane; ++attempt)
        pressKey(VK_TAB);
    return focusedWindow() == pane;
}

void AppDriver::pressKey(UINT virtualKey, unsigned modifiers) {
    // The program reads the modifiers from its thread's key state; sharing
    // its input state lets this thread set them there.
    BYTE saved[256];
    bool attached = false;
    if (modifiers) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        attached = AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, TRUE) != FALSE;
        GetKeyboardState(saved);
        BYTE held[256];
        std::memcpy(held, saved, sizeof held);
        if (modifiers & kShift)
            held[VK_SHIFT] = held[VK_LSHIFT] = 0x80;
        if (modifiers & kControl)
            held[VK_CONTROL] = held[VK_LCONTROL] = 0x80;
        SetKeyboardState(held);
    }
    postKey(virtualKey);
    sync();
    if (modifiers) {
        SetKeyboardState(saved);
        if (attached)
            AttachThreadInput(GetCurrentThreadId(), process_.dwThreadId, FALSE);
    }
}

void AppDriver::typeCharacter(char code) {
    postCharacter(code);
    sync();
}

void AppDriver::postKey(UINT virtualKey) {
    HWND target = focusedWindow();
    if (!target)
        target = main_;
    PostMessageA(target, WM_KEYDOWN, virtualKey, keyData(virtualKey, false));
    PostMessageA(target, WM_KEYUP, virtualKey, keyData(virtualKey, true));
}

void AppDriver::postCharacter(char code) {
    HWND target = focusedWindow();
    PostMessageA(target ? target : main_, WM_CHAR, static_cast<unsigned char>(code), 1);
}

bool AppDriver::sync(DWORD timeoutMs) const {
    // The list's hover time matters only to lists that select by hovering,
    // which the program's is not: a harmless mark that shows when the
    // messages posted before it have been handled, modal loops included.
    int mark = ++syncMark_;
    PostMessageA(list(), LVM_SETHOVERTIME, 0, mark);
    return waitUntil([&] { return static_cast<int>(SendMessageA(list(), LVM_GETHOVERTIME, 0, 0)) == mark; }, timeoutMs);
}

ProbeLibrary* AppDriver::watchingProbe() {
    if (!probe_)
        probe_.reset(new ProbeLibrary(process_.hProcess, process_.dwProcessId));
    if (!probe_->watch(process_.dwThreadId))
        return nullptr;
    // The hook's first message sets the clock going.
    ProgramNotes notes;
    if (!(probe_->readNotes(notes) && notes.clockTimer) &&
        !(sync() && waitUntil([&] { return probe_->readNotes(notes) && notes.clockTimer; }, 5000)))
        return nullptr;
    return probe_.get();
}

bool AppDriver::moveMouse(POINT screen, DWORD timeoutMs) {
    ProbeLibrary* probe = watchingProbe();
    if (!probe)
        return false;
    auto lastMoveAt = [&](POINT point) {
        ProgramNotes notes;
        return probe->readNotes(notes) && notes.lastMouse.x == point.x && notes.lastMouse.y == point.y;
    };
    // Wine moves the X pointer along and hears of it again from the X
    // server, in the program, a moment later; a jump still on its way can
    // put the mouse back where it came from. The moves are made again until
    // the mouse stays, once the program has handled what had come by then.
    const int attempts = 5;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // A hand arrives at a point in more than one move, and so does the
        // test: a move to where the mouse already is may reach no window.
        bool arrived = true;
        for (int approach : {1, 0}) {
            POINT to = {screen.x - approach, screen.y};
            ProgramNotes before;
            if (!probe->readNotes(before))
                return false;
            SetCursorPos(to.x, to.y);
            INPUT input = {};
            input.type = INPUT_MOUSE;
            input.mi.dwFlags = MOUSEEVENTF_MOVE;
            SendInput(1, &input, sizeof input);
            ProgramNotes now;
            arrived = waitUntil(
                [&] { return probe->readNotes(now) && now.mouseMoves != before.mouseMoves && lastMoveAt(to); },
                timeoutMs / attempts);
            if (!arrived)
                break;
        }
        POINT cursor = {};
        if (arrived && sync() && GetCursorPos(&cursor) && cursor.x == screen.x && cursor.y == screen.y &&
            lastMoveAt(screen))
            return true;
    }
    return false;
}

long AppDriver::programClock() {
    ProbeLibrary* probe = watchingProbe();
    ProgramNotes notes;
    return probe && probe->readNotes(notes) ? notes.clockTicks : -1;
}

HWND AppDriver::captureWindow() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(process_.dwThreadId, &info) ? info.hwndCapture : nullptr;
}

std::vector<DWORD> AppDriver::threadIds() const {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    THREADENTRY32 thread = {};
    thread.dwSize = sizeof thread;
    for (BOOL more = Thread32First(snapshot, &thread); more; more = Thread32Next(snapshot, &thread))
        if (thread.th32OwnerProcessID == process_.dwProcessId)
            ids.push_back(thread.th32ThreadID);
    CloseHandle(snapshot);
    return ids;
}

bool AppDriver::waitForThreadsEnded(const std::vector<DWORD>& earlier, DWORD timeoutMs) const {
    return waitUntil(
        [&] {
            for (DWORD id : threadIds())
                if (std::find(earlier.begin(), earlier.end(), id) == earlier.end())
                    return false;
            return true;
        },
        timeoutMs);
}

bool AppDriver::rectOf(HWND window, UINT message, WPARAM wParam, RECT& rect, const void* request) const {
    RemoteMemory memory(process_.hProcess, sizeof(RECT));
    if (!memory.valid() || (request && !memory.write(request, sizeof(RECT))))
        return false;
    if (!SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(memory.address())))
        return false;
    return memory.read(&rect, sizeof rect);
}

int AppDriver::toolbarState(int id) const {
    HWND toolbar = child(ID_TOOLBAR);
    return static_cast<int>(SendMessageA(toolbar, TB_GETSTATE, id, 0));
}

bool AppDriver::clickToolbarButton(int id) {
    HWND toolbar = child(ID_TOOLBAR);
    int index = static_cast<int>(SendMessageA(toolbar, TB_COMMANDTOINDEX, id, 0));
    RECT button;
    if (index < 0 || !rectOf(toolbar, TB_GETITEMRECT, index, button))
        return false;
    LPARAM point = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    PostMessageA(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostMessageA(toolbar, WM_LBUTTONUP, 0, point);
    return sync();
}

std::vector<UINT> AppDriver::menuStates(const std::vector<int>& ids) {
    HMENU bar = GetMenu(main_);
    DWORD_PTR result;
    SendMessageTimeoutA(main_, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0, SMTO_NORMAL, 20000, &result);
    return popupMenuStates(nullptr, ids);
}

std::vector<UINT> AppDriver::popupMenuStates(HWND popup, const std::vector<int>& ids, int* defaultItem) {
    HMENU menu = nullptr;
    if (popup) {
        const UINT getMenu = 0x01E1;  // MN_GETHMENU
        menu = reinterpret_cast<HMENU>(SendMessageA(popup, getMenu, 0, 0));
        if (!menu)
            return {};
    }
    if (!probe_)
        probe_.reset(new ProbeLibrary(process_.hProcess, process_.dwProcessId));
    MenuProbeRequest request;
    if (!probe_->readMenu(main_, menu, ids, request))
        return {};
    if (defaultItem)
        *defaultItem = request.defaultItem;
    return std::vector<UINT>(request.states, request.states + ids.size());
}

HWND AppDriver::rightClickAt(HWND window, POINT client) {
    // The program places the menu where the message says the mouse was:
    // the cursor goes there first.
    POINT screen = client;
    ClientToScreen(window, &screen);
    SetCursorPos(screen.x, screen.y);
    LPARAM point = MAKELPARAM(client.x, client.y);
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, point);
    PostMessageA(window, WM_RBUTTONUP, 0, point);
    return findPopupMenu(10000);
}

HWND AppDriver::rightClickTreeNode(HTREEITEM node) {
    RECT label;
    // TVM_GETITEMRECT takes the node in the rectangle's place.
    RECT request = {};
    std::memcpy(&request, &node, sizeof node);
    if (!rectOf(tree(), TVM_GETITEMRECT, TRUE, label, &request))
        return nullptr;
    return rightClickAt(tree(), {(label.left + label.right) / 2, (label.top + label.bottom) / 2});
}

bool AppDriver::listRowPoint(int row, POINT& point) const {
    RECT item = {};
    item.left = LVIR_LABEL;
    if (!rectOf(list(), LVM_GETITEMRECT, row, item, &item))
        return false;
    point = {item.left + 4, (item.top + item.bottom) / 2};
    return true;
}

bool AppDriver::doubleClickListRow(int row) {
    POINT point;
    if (!listRowPoint(row, point))
        return false;
    LPARAM position = MAKELPARAM(point.x, point.y);
    PostMessageA(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, position);
    PostMessageA(list(), WM_LBUTTONUP, 0, position);
    return sync();
}

HWND AppDriver::rightClickListRow(int row) {
    POINT point;
    if (row >= 0) {
        if (!listRowPoint(row, point))
            return nullptr;
    } else {
        RECT client;
        GetClientRect(list(), &client);
        point = {client.right - 8, client.bottom - 8};
    }
    return rightClickAt(list(), point);
}

HWND AppDriver::findPopupMenu(DWORD timeoutMs) const {
    HWND popup = nullptr;
    DWORD processId = process_.dwProcessId;
    waitUntil([&] { return (popup = topLevelWindowOf(processId, "#32768")) != nullptr; }, timeoutMs);
    return popup;
}

void AppDriver::chooseMenuItem(HWND popup, const char* keys) {
    // The menu's own loop reads the keys of its thread, whichever of its
    // windows they are posted to.
    for (const char* key = keys; *key; ++key)
        PostMessageA(popup, WM_CHAR, static_cast<unsigned char>(*key), 1);
    waitUntilGone(popup, 10000);
    sync();
}

HWND AppDriver::findDialog(const std::string& caption, DWORD timeoutMs) const {
    CaptionSearch search = {process_.dwProcessId, &caption, nullptr};
    waitUntil(
        [&] {
            EnumWindows(findCaptionedWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND AppDriver::findMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    DWORD processId = process_.dwProcessId;
    waitUntil([&] { return (box = topLevelWindowOf(processId, "#32770")) != nullptr; }, timeoutMs);
    return box;
}

std::string AppDriver::messageBoxText(HWND box) const {
    // The message box keeps its text in a static with the id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? windowText(text) : std::string();
}

std::string AppDriver::shellQuestion(HWND dialog) const {
    // Wine's shell paints its question itself, from a text its dialog keeps
    // as a window property.
    HANDLE text = GetPropA(dialog, "WINE_CONFIRM");
    if (!text)
        return {};
    // Read a character at a time: the text may end just before memory that
    // cannot be read.
    WCHAR wide[1024] = {};
    const WCHAR* remote = static_cast<const WCHAR*>(text);
    for (size_t i = 0; i + 1 < sizeof wide / sizeof wide[0]; ++i) {
        SIZE_T got = 0;
        if (!ReadProcessMemory(process_.hProcess, remote + i, &wide[i], sizeof wide[i], &got) || !wide[i])
            break;
    }
    char narrow[1024] = "";
    WideCharToMultiByte(1252, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    narrow[sizeof narrow - 1] = '\0';
    return narrow;
}

void AppDriver::pressButton(HWND dialog, int buttonId) const {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

bool AppDriver::moveWindow(int left, int top, int width, int height, DWORD timeoutMs) const {
    SetWindowPos(main_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return waitUntil(
        [&] {
            RECT frame;
            GetWindowRect(main_, &frame);
            return frame.left == left && frame.top == top && frame.right - frame.left == width &&
                   frame.bottom - frame.top == height;
        },
        timeoutMs);
}

bool AppDriver::maximize(DWORD timeoutMs) const {
    // Right after a move, Wine on a bare X server sometimes drops the
    // request; ask again until the window stays maximized.
    DWORD start = GetTickCount();
    do {
        PostMessageA(main_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        // Zoomed, and still so once the program has handled what the
        // window manager sent it meanwhile.
        if (waitUntil([&] { return IsZoomed(main_) != FALSE; }, 500) && sync() && IsZoomed(main_))
            return true;
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool AppDriver::waitUntilGone(HWND window, DWORD timeoutMs) const {
    return waitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

bool AppDriver::closeThroughMenu(DWORD timeoutMs) {
    PostMessageA(main_, WM_COMMAND, 1199, 0);
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool AppDriver::closeWindow(DWORD timeoutMs) {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppDriver::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

std::string clipboardText() {
    std::string text = "<none>";
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text.assign(bytes, strnlen(bytes, GlobalSize(data)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void emptyClipboard() {
    // Without an owner: taking the clipboard over from a window of this
    // thread would have the program wait for this thread's answer.
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    CloseClipboard();
}

ClipboardHolder::ClipboardHolder() {
    // A message-only window: it owns the clipboard but gets no broadcasts.
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

ClipboardHolder::~ClipboardHolder() {
    release();
    if (window_)
        DestroyWindow(window_);
}

bool ClipboardHolder::hold(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!window_ || !block)
        return false;
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(window_)) {
        GlobalFree(block);
        return false;
    }
    EmptyClipboard();
    bool held = SetClipboardData(CF_TEXT, block) != nullptr;
    if (!held)
        GlobalFree(block);
    CloseClipboard();
    // Seen to take its messages just now, the thread does not count as hung.
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
    return held;
}

bool ClipboardHolder::waitForRequest(DWORD timeoutMs) const {
    // The request is a message sent to the owner window; it waits in this
    // thread's queue until release() takes it.
    return waitUntil([] { return (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) != 0; }, timeoutMs);
}

void ClipboardHolder::release() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
}
