#include "search_driver.h"

#include <commctrl.h>

#include "doctest.h"
#include "waiting.h"

namespace {

const char kProgramKey[] = "Software\\Quill\\TARN";

DWORD processOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

struct DialogSearch {
    DWORD process;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK findProgramDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    // Message boxes and dialogs share one class.
    char className[16] = "";
    if (processOf(window) != search->process || !IsWindowVisible(window) ||
        !GetClassNameA(window, className, sizeof className) || lstrcmpA(className, "#32770") != 0)
        return TRUE;
    char caption[256] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption), SMTO_NORMAL, 2000,
                        nullptr);
    if (search->caption && *search->caption != caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND programDialog(const AppDriver& app, const std::string* caption) {
    DialogSearch search = {processOf(app.mainWindow()), caption, nullptr};
    EnumWindows(findProgramDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The edit field of a control: a combo box's own, else the control itself.
HWND editOf(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
    return edit ? edit : control;
}

}  // namespace

HWND openDialog(const AppDriver& app, int command, const std::string& caption, DWORD timeoutMs) {
    // The searches and the settings are refused while a run is in flight:
    // the program must be past its start (whose loading run may not show
    // yet) and the run over.
    settle(app);
    app.waitUntilIdle();
    PostMessageA(app.mainWindow(), WM_COMMAND, static_cast<WPARAM>(command), 0);
    HWND dialog = waitForDialog(app, caption, timeoutMs);
    if (!dialog)
        FAIL_CHECK("the dialog \"" << caption << "\" did not come");
    return dialog;
}

HWND waitForDialog(const AppDriver& app, const std::string& caption, DWORD timeoutMs) {
    HWND dialog = nullptr;
    waitUntil([&] { return (dialog = programDialog(app, &caption)) != nullptr; }, timeoutMs);
    return dialog;
}

void setFieldText(HWND dialog, int id, const std::string& text) {
    // Sent to the edit field itself, which tells its combo box (and the
    // combo box the dialog) that the text changed, as typing does.
    SendMessageA(editOf(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string fieldText(HWND dialog, int id) {
    char text[1024] = "";
    SendMessageA(editOf(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void setChecked(HWND dialog, int id, bool checked) {
    SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool isChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool isEnabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool confirmDialog(const AppDriver& app, HWND dialog) {
    app.pressButton(dialog, IDOK);
    // Generous: the machine may be busy with other work.
    if (!app.waitUntilGone(dialog, 15000)) {
        FAIL_CHECK("the dialog stayed open after OK");
        return false;
    }
    settle(app);
    return true;
}

void settle(const AppDriver& app) {
    // A mark posted behind them, not a sent message: the program answers a
    // sent message before it handles the keys and commands posted ahead.
    app.sync();
}

std::string takeMessageBox(const AppDriver& app, DWORD timeoutMs) {
    const std::string caption = "Tarnview";
    HWND box = nullptr;
    waitUntil([&] { return (box = programDialog(app, &caption)) != nullptr; }, timeoutMs);
    if (!box)
        return {};
    std::string text = app.messageBoxText(box);
    HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
    app.pressButton(box, button ? GetDlgCtrlID(button) : IDOK);
    app.waitUntilGone(box);
    settle(app);
    return text;
}

HWND focusedWindow(const AppDriver& app) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(app.mainWindow(), nullptr);
    return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void focusPane(const AppDriver& app, bool list) {
    HWND wanted = list ? app.list() : app.tree();
    if (focusedWindow(app) != wanted)
        app.command(kSwitchPane);
}

void pressKey(const AppDriver& app, UINT key) {
    HWND target = focusedWindow(app);
    if (!target)
        target = app.mainWindow();
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
    settle(app);
}

std::vector<int> selectedRows(const AppDriver& app) {
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(app.list(), -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(app.list(), row, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

int focusedRow(const AppDriver& app) {
    return ListView_GetNextItem(app.list(), -1, LVNI_FOCUSED);
}

bool runShowing(const AppDriver& app) {
    HWND progress = FindWindowExA(app.statusBar(), nullptr, PROGRESS_CLASSA, nullptr);
    return progress && IsWindowVisible(progress);
}

bool findText(const AppDriver& app, const std::string& text, bool hosts, bool urls, bool titles) {
    HWND dialog = openDialog(app, kFind, "Suchen");
    if (!dialog)
        return false;
    setFieldText(dialog, 101, text);
    setChecked(dialog, 102, hosts);
    setChecked(dialog, 103, urls);
    setChecked(dialog, 104, titles);
    return confirmDialog(app, dialog);
}

bool startContentSearch(const AppDriver& app, const std::string& text, SearchScope scope) {
    HWND dialog = openDialog(app, kContentSearch, "Dokumentinhalte durchsuchen");
    if (!dialog)
        return false;
    setFieldText(dialog, 101, text);
    for (int id = SCOPE_CACHE; id <= SCOPE_SELECTION; ++id)
        setChecked(dialog, id, id == scope);
    return confirmDialog(app, dialog);
}

std::string programValue(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "<none>";
    char value[1024];
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return "<none>";
    value[size] = '\0';
    return value;
}

void setProgramValue(const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

bool selectFolderUnder(const AppDriver& app, const std::string& root, const std::string& label) {
    bool underRoot = false;
    for (const TreeNode& node : app.treeNodes()) {
        if (node.depth == 0)
            underRoot = node.label == root;
        else if (underRoot && node.label == label)
            return app.selectTreeItem(node.item);
    }
    return false;
}

bool hasRoot(const AppDriver& app, const std::string& root) {
    for (const TreeNode& node : app.treeNodes())
        if (node.depth == 0 && node.label == root)
            return true;
    return false;
}

std::vector<std::string> listTitles(const AppDriver& app) {
    std::vector<std::string> titles;
    for (int row = 0, count = app.listCount(); row < count; ++row)
        titles.push_back(app.listCell(row, 0));
    return titles;
}
