#include "stand_in_browser.h"

#include <ddeml.h>

#include "support/wine_path.h"
#include "waiting.h"

namespace {

const char kWindowClass[] = "TarnStandInBrowser";

HDDEDATA CALLBACK ignoreTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

}  // namespace

std::string standInBrowserPath() {
    return winePath(std::string(TARN_BINARY_DIR) + "/tools/stand_in_browser.exe");
}

HWND findStandInWindow() {
    return FindWindowA(kWindowClass, nullptr);
}

bool standInServing() {
    DWORD instance = 0;
    if (DdeInitializeA(&instance, ignoreTransactions, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    HSZ service = DdeCreateStringHandleA(instance, "NETSCAPE", CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance, "WWW_Version", CP_WINANSI);
    HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    if (conversation)
        DdeDisconnect(conversation);
    DdeFreeStringHandle(instance, service);
    DdeFreeStringHandle(instance, topic);
    DdeUninitialize(instance);
    return conversation != nullptr;
}

bool closeStandIns(DWORD timeoutMs) {
    // Gone only when its process has ended: until then its DDE service may
    // still answer.
    DWORD start = GetTickCount();
    while (HWND window = findStandInWindow()) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD elapsed = GetTickCount() - start;
        DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
        bool ended = process && WaitForSingleObject(process, left) == WAIT_OBJECT_0;
        if (process)
            CloseHandle(process);
        if (!ended)
            return false;
    }
    return true;
}

std::vector<std::string> readBrowserLog(const std::string& path) {
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

bool startStandInBrowser(const std::string& logPath, DWORD timeoutMs) {
    std::string path = standInBrowserPath();
    std::string commandLine = "\"" + path + "\" --log " + logPath;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waitUntil(standInServing, timeoutMs);
}
