#include "app_driver.h"

#include <commctrl.h>

#include "remote_memory.h"
#include "support/wine_path.h"

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

template <class Condition>
bool waitFor(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

}  // namespace

std::string tarnviewPath() {
    return winePath(std::string(TARN_BINARY_DIR) + "/ui/tarnview.exe");
}

AppDriver::~AppDriver() {
    if (process_.hProcess) {
        if (running()) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

bool AppDriver::start(DWORD timeoutMs) {
    std::string path = tarnviewPath();
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_))
        return false;
    DWORD processId = process_.dwProcessId;
    if (!waitFor([&] { return (main_ = topLevelWindowOf(processId, kMainClass)) != nullptr || !running(); },
                 timeoutMs) ||
        !main_)
        return false;
    WaitForInputIdle(process_.hProcess, timeoutMs);
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
    return waitFor([&] { return !IsWindowVisible(progress); }, timeoutMs);
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

HWND AppDriver::findMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    DWORD processId = process_.dwProcessId;
    waitFor([&] { return (box = topLevelWindowOf(processId, "#32770")) != nullptr; }, timeoutMs);
    return box;
}

std::string AppDriver::messageBoxText(HWND box) const {
    // The message box keeps its text in a static with the id 0xFFFF.
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? windowText(text) : std::string();
}

void AppDriver::pressButton(HWND dialog, int buttonId) const {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, buttonId)));
}

bool AppDriver::moveWindow(int left, int top, int width, int height, DWORD timeoutMs) const {
    SetWindowPos(main_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    return waitFor(
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
        if (waitFor([&] { return IsZoomed(main_) != FALSE; }, 500)) {
            Sleep(200);
            if (IsZoomed(main_))
                return true;
        }
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

bool AppDriver::waitUntilGone(HWND window, DWORD timeoutMs) const {
    return waitFor([&] { return !IsWindow(window); }, timeoutMs);
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
