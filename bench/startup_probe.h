// Starting tarnview.exe on a cache and watching its windows from outside, as
// a user would see it: the start-up and folder benchmarks share this.
//
// The program is pointed to the cache through the browser's "Cache Dir"
// value and starts each time as on a first run (its own key removed), so
// every round sees the default view: details, sorted by title.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "bench_support.h"

namespace startup_probe {

const char kBrowserCacheKey[] = "Software\\Netscape\\Netscape Navigator\\Cache";
const char kProgramKey[] = "Software\\Quill\\TARN";
const int kTreeId = 105;
const int kListId = 106;
const int kStatusId = 102;

inline void deleteKeyTree(HKEY parent, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char name[256];
    for (;;) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        std::string child = std::string(path) + "\\" + name;
        deleteKeyTree(parent, child.c_str());
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, path);
}

// The state of a first start on `cacheFolder`.
inline bool prepareFirstStart(const char* cacheFolder) {
    deleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kBrowserCacheKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, "Cache Dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(cacheFolder),
                                 static_cast<DWORD>(std::strlen(cacheFolder) + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// A message to a window of the other process; 0 when it does not answer in
// time.
inline LRESULT ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 120000, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

// A buffer in the other process, for messages whose answer comes through a
// pointer (Windows copies no data for them between processes).
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process),
          address_(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE))) {}
    ~RemoteBuffer() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* address() const { return address_; }
    bool write(const void* data, size_t size, size_t offset = 0) const {
        SIZE_T done = 0;
        return address_ && WriteProcessMemory(process_, address_ + offset, data, size, &done) && done == size;
    }
    bool read(void* data, size_t size, size_t offset = 0) const {
        SIZE_T done = 0;
        return address_ && ReadProcessMemory(process_, address_ + offset, data, size, &done) && done == size;
    }

private:
    HANDLE process_;
    char* address_;
};

class RunningProgram {
public:
    ~RunningProgram() { end(); }

    // Starts the program; false when it cannot be started.
    bool start(const char* exePath) {
        std::string commandLine = std::string("\"") + exePath + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        return CreateProcessA(exePath, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process_) != FALSE;
    }

    HANDLE process() const { return process_.hProcess; }
    HWND mainWindow() const { return main_; }
    HWND child(int id) const { return main_ ? GetDlgItem(main_, id) : nullptr; }
    HWND progressBar() const {
        HWND status = child(kStatusId);
        return status ? FindWindowExA(status, nullptr, PROGRESS_CLASSA, nullptr) : nullptr;
    }

    // Polls until the loading pass has ended: the tree holds the cache root
    // and its folders, the list shows the first folder, and the progress
    // bar, shown at the pass's beginning, is hidden again. The tree is
    // filled in the same step that shows the bar, so a filled tree with a
    // hidden bar means the pass is over. The window is then painted.
    // While the bar shows, the program is not asked anything: every
    // question would interrupt its main thread and slow the pass down.
    bool waitUntilLoaded(DWORD timeoutMs) {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            if (!main_)
                main_ = findMainWindow();
            if (main_) {
                HWND tree = child(kTreeId);
                HWND list = child(kListId);
                HWND progress = progressBar();
                // The bar is looked at again after the answers: a question
                // asked before the pass began is answered only once the
                // program takes messages, in the middle of the pass.
                if (tree && list && progress && !IsWindowVisible(progress) && ask(tree, TVM_GETCOUNT) >= 2 &&
                    ask(list, LVM_GETITEMCOUNT) > 0 && !IsWindowVisible(progress)) {
                    RedrawWindow(main_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                    return true;
                }
            }
            // A poller waking more often takes processor time from the
            // program on a busy machine; 10 ms is 1 % of a short start.
            if (WaitForSingleObject(process_.hProcess, 10) == WAIT_OBJECT_0)
                return false;
        }
        return false;
    }

    std::string statusText(int part) const {
        HWND status = child(kStatusId);
        RemoteBuffer text(process_.hProcess, 512);
        char zero = 0;
        if (!status || !text.write(&zero, 1))
            return {};
        ask(status, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text.address()));
        char local[512] = "";
        text.read(local, sizeof local - 1);
        local[sizeof local - 1] = '\0';
        return local;
    }

    // The host folder node labelled `label` under the first root, or null.
    HTREEITEM folderNode(const char* label) const {
        HWND tree = child(kTreeId);
        RemoteBuffer memory(process_.hProcess, sizeof(TVITEMA) + 260);
        HTREEITEM root = reinterpret_cast<HTREEITEM>(ask(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        for (HTREEITEM item = reinterpret_cast<HTREEITEM>(
                 ask(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
             item;
             item = reinterpret_cast<HTREEITEM>(ask(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
            TVITEMA request = {};
            request.mask = TVIF_TEXT;
            request.hItem = item;
            request.pszText = memory.address() + sizeof(TVITEMA);
            request.cchTextMax = 260;
            char text[260] = "";
            if (!memory.write(&request, sizeof request) ||
                !ask(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(memory.address())) ||
                !memory.read(text, sizeof text - 1, sizeof(TVITEMA)))
                continue;
            if (lstrcmpiA(text, label) == 0)
                return item;
        }
        return nullptr;
    }

    // Ends the program as its close box does and waits for it.
    void end() {
        if (!process_.hProcess)
            return;
        if (main_)
            PostMessageA(main_, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_.hProcess, 30000) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
        main_ = nullptr;
    }

private:
    struct Search {
        DWORD processId;
        HWND found;
    };

    static BOOL CALLBACK visit(HWND window, LPARAM data) {
        Search* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[32];
        if (owner == search->processId && IsWindowVisible(window) &&
            GetClassNameA(window, className, sizeof className) && lstrcmpA(className, "QL_TARN") == 0) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    HWND findMainWindow() const {
        Search search = {process_.dwProcessId, nullptr};
        EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    PROCESS_INFORMATION process_ = {};
    HWND main_ = nullptr;
};

}  // namespace startup_probe
