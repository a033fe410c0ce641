// A stand-in for the browser, for tests and for trying "Öffnen" without the
// real one. It offers the browser's DDE service with the four topics the
// program uses and answers them as the browser does, shows a top-level
// window listing the URLs it was asked to show, and records every request
// it receives, exactly as received, one line each (the first three once it
// serves DDE):
//
//   start, and <TAB> and an argument for each argument after the program's
//          name (without --log FILE), split as the C runtime splits a
//          command line: one URL on the command line gives "start <TAB> URL"
//   autodial <TAB> the system's "EnableAutodial" as found at start ("-" when missing)
//   verify <TAB> the browser's own "Check Server" as found at start ("-" when missing)
//   <topic> <TAB> <item>
//
//   stand_in_browser.exe [--log FILE] [URL]
//
// Without --log the record goes to the file named by the environment
// variable TARN_BROWSER_LOG, if any: the program under test starts the
// browser with the URL as its command line, and the stand-in it starts
// inherits the test's environment.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kWindowClass[] = "TarnStandInBrowser";
const char kWindowTitle[] = "Stand-in Navigator";
const char* const kTopics[] = {"WWW_Version", "WWW_OpenURL", "WWW_Activate", "WWW_GetWindowInfo"};
// The id of the one browser window, as the browser hands it out.
const DWORD kWindowId = 0x2A;

DWORD ddeInstance = 0;
HSZ serviceName = nullptr;
HWND mainWindow = nullptr;
HWND urlList = nullptr;
std::string logPath;
std::string lastUrl;

void record(const std::string& line) {
    if (logPath.empty())
        return;
    if (FILE* log = std::fopen(logPath.c_str(), "ab")) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fclose(log);
    }
}

// A 4-byte value of the current user's registry, as a number; "-" when it
// cannot be read.
std::string registryNumber(const char* keyName, const char* valueName) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return "-";
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG result = RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::to_string(value) : "-";
}

void showUrl(const std::string& url) {
    lastUrl = url;
    SendMessageA(urlList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(url.c_str()));
}

std::string textOf(HSZ handle) {
    char text[4096] = "";
    DdeQueryStringA(ddeInstance, handle, text, sizeof text, CP_WINANSI);
    return text;
}

bool isOurTopic(const std::string& topic) {
    for (const char* known : kTopics)
        if (lstrcmpiA(known, topic.c_str()) == 0)
            return true;
    return false;
}

HDDEDATA reply(HSZ item, const void* data, DWORD size) {
    return DdeCreateDataHandle(ddeInstance, static_cast<LPBYTE>(const_cast<void*>(data)), size, 0, item, CF_TEXT, 0);
}

HDDEDATA answerRequest(const std::string& topic, HSZ itemHandle) {
    std::string item = textOf(itemHandle);
    record(topic + "\t" + item);
    if (lstrcmpiA(topic.c_str(), "WWW_OpenURL") == 0) {
        // "URL",,0xFFFFFFFF,0,,,
        std::string url = item;
        if (!url.empty() && url[0] == '"') {
            size_t close = url.find('"', 1);
            url = url.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        }
        showUrl(url);
        return reply(itemHandle, &kWindowId, sizeof kWindowId);
    }
    if (lstrcmpiA(topic.c_str(), "WWW_Activate") == 0) {
        SetForegroundWindow(mainWindow);
        return reply(itemHandle, &kWindowId, sizeof kWindowId);
    }
    if (lstrcmpiA(topic.c_str(), "WWW_GetWindowInfo") == 0) {
        std::string info = "\"" + lastUrl + "\",\"" + kWindowTitle + "\"";
        return reply(itemHandle, info.c_str(), static_cast<DWORD>(info.size() + 1));
    }
    const char version[] = "1.1";
    return reply(itemHandle, version, sizeof version);
}

HDDEDATA CALLBACK ddeCallback(UINT type, UINT, HCONV, HSZ topic, HSZ item, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(isOurTopic(textOf(topic)) ? TRUE : FALSE));
    case XTYP_REQUEST:
        return answerRequest(textOf(topic), item);
    default:
        return nullptr;
    }
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        MoveWindow(urlList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The arguments after the program's own name, as the C runtime split the
// command line, and the log named by "--log FILE" in front of them.
std::vector<std::string> arguments() {
    std::vector<std::string> found;
    for (int i = 1; i < __argc; ++i)
        found.push_back(__argv[i]);
    if (found.size() >= 2 && found[0] == "--log") {
        logPath = found[1];
        found.erase(found.begin(), found.begin() + 2);
    } else if (const char* fromEnvironment = std::getenv("TARN_BROWSER_LOG")) {
        logPath = fromEnvironment;
    }
    return found;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const std::vector<std::string> args = arguments();
    // What the browser finds when it starts: the program switches dial-up
    // off and may set the verify option beforehand. Read at once, since the
    // program switches dial-up on again as soon as the service answers.
    const std::string autodial =
        registryNumber("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings", "EnableAutodial");
    const std::string verify = registryNumber("Software\\Netscape\\Netscape Navigator\\Main", "Check Server");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);
    mainWindow = CreateWindowExA(0, kWindowClass, kWindowTitle, WS_OVERLAPPEDWINDOW, 40, 40, 640, 300, nullptr,
                                 nullptr, instance, nullptr);
    urlList = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 0, 0, 0, 0, mainWindow, nullptr,
                              instance, nullptr);
    if (!mainWindow || !urlList)
        return 1;
    for (const std::string& arg : args)
        showUrl(arg);
    ShowWindow(mainWindow, SW_SHOWNORMAL);

    if (DdeInitializeA(&ddeInstance, ddeCallback, APPCLASS_STANDARD | CBF_SKIP_ALLNOTIFICATIONS, 0) != DMLERR_NO_ERROR)
        return 1;
    serviceName = DdeCreateStringHandleA(ddeInstance, "NETSCAPE", CP_WINANSI);
    DdeNameService(ddeInstance, serviceName, nullptr, DNS_REGISTER);
    // Recorded once the window is up and the service answers, so that a
    // reader of the log finds the browser ready.
    std::string start = "start";
    for (const std::string& arg : args)
        start += "\t" + arg;
    record(start);
    record("autodial\t" + autodial);
    record("verify\t" + verify);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    DdeNameService(ddeInstance, serviceName, nullptr, DNS_UNREGISTER);
    DdeFreeStringHandle(ddeInstance, serviceName);
    DdeUninitialize(ddeInstance);
    return 0;
}
