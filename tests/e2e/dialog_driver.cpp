#include "dialog_driver.h"

namespace {

struct WindowList {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM data) {
    WindowList* list = reinterpret_cast<WindowList*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == list->processId && IsWindowVisible(window))
        list->windows.push_back(window);
    return TRUE;
}

HWND windowWithCaption(const AppDriver& app, const std::string& caption) {
    for (HWND window : programWindows(app))
        if (controlText(window) == caption)
            return window;
    return nullptr;
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findId(HWND window, LPARAM data) {
    ControlSearch* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(window) != search->id)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

bool focusList(const AppDriver& app) {
    for (int attempt = 0; attempt < 3 && focusOf(app.mainWindow()) != app.list(); ++attempt) {
        HWND focus = focusOf(app.mainWindow());
        PostMessageA(focus ? focus : app.mainWindow(), WM_KEYDOWN, VK_TAB, 1);
        PostMessageA(focus ? focus : app.mainWindow(), WM_KEYUP, VK_TAB, 0xC0000001);
        waitUntil([&] { return focusOf(app.mainWindow()) != focus; }, 2000);
    }
    return focusOf(app.mainWindow()) == app.list();
}

void postCommand(const AppDriver& app, int id) {
    PostMessageA(app.mainWindow(), WM_COMMAND, static_cast<WPARAM>(id), 0);
}

std::vector<HWND> programWindows(const AppDriver& app) {
    // The process, not the main window's: a box may come before the window.
    WindowList list = {app.processId(), {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&list));
    return list.windows;
}

HWND findProgramWindow(const AppDriver& app, const std::string& caption, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil([&] { return (found = windowWithCaption(app, caption)) != nullptr; }, timeoutMs);
    return found;
}

HWND findDialogShowing(const AppDriver& app, int id, const std::string& text, DWORD timeoutMs) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : programWindows(app)) {
                HWND control = window != app.mainWindow() ? findControl(window, id) : nullptr;
                if (control && controlText(control) == text) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

HWND findControl(HWND dialog, int id) {
    if (HWND child = GetDlgItem(dialog, id))
        return child;
    ControlSearch search = {id, nullptr};
    EnumChildWindows(dialog, findId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string controlText(HWND window) {
    // WM_GETTEXT, not GetWindowText: that one reads only the caption of a
    // window of another process, and an edit control keeps its text itself.
    char text[1024] = "";
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    return text;
}

void setControlText(HWND control, const std::string& text) {
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool isChecked(HWND button) {
    return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool setChecked(HWND button, bool checked) {
    if (isChecked(button) != checked)
        click(button);
    return waitUntil([&] { return isChecked(button) == checked; }, 5000);
}

void click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

HWND focusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void pressKey(HWND foreground, WORD key) {
    SetForegroundWindow(foreground);
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}
