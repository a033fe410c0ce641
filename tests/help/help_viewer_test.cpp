// Asks the help viewer for every help id of the program's dialogs and for the
// contents, the way the program calls WinHelp (with the help file's full
// path), and reads back the topic the viewer shows.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "doctest.h"
#include "support/wine_path.h"

namespace {

const char kViewerClass[] = "MS_WINHELP";
const char kTextClass[] = "RichEdit20A";

struct ExpectedTopic {
    std::string key;    // a help id, or "contents"
    std::string title;  // code page 1252, as the viewer shows it
};

std::string helpFilePath() {
    return winePath(std::string(TARN_BINARY_DIR) + "/ui/tarn.hlp");
}

// Written by the build from the help's source, beside the help file.
std::vector<ExpectedTopic> expectedTopics() {
    std::ifstream in(std::string(TARN_BINARY_DIR) + "/ui/tarn_help_topics.txt", std::ios::binary);
    std::vector<ExpectedTopic> topics;
    std::string line;
    while (std::getline(in, line)) {
        size_t tab = line.find('\t');
        if (tab != std::string::npos)
            topics.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return topics;
}

template <typename Condition>
bool waitFor(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(20);
    }
    return true;
}

std::vector<HWND> viewerWindows() {
    std::vector<HWND> windows;
    for (HWND w = FindWindowExA(nullptr, nullptr, kViewerClass, nullptr); w;
         w = FindWindowExA(nullptr, w, kViewerClass, nullptr))
        windows.push_back(w);
    return windows;
}

// The viewer started for the test, with the test's own window as the caller.
// It is started here, not by the first WinHelp call, so that the test holds
// its process and ends it, whatever the calls leave behind.
class HelpViewer {
public:
    HelpViewer() {
        caller_ = CreateWindowA("STATIC", "help test", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        char commandLine[] = "winhlp32.exe -x";
        if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process_))
            waitFor([&] { return ownWindow() != nullptr; }, 20000);
    }

    ~HelpViewer() {
        WinHelpA(caller_, helpFilePath().c_str(), HELP_QUIT, 0);
        // A viewer that lost its window over a failed call may have been
        // started again by a later call: end every one this test caused.
        for (HWND w : viewerWindows()) {
            DWORD id = 0;
            GetWindowThreadProcessId(w, &id);
            if (HANDLE other = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id)) {
                if (WaitForSingleObject(other, 5000) == WAIT_TIMEOUT)
                    TerminateProcess(other, 1);
                CloseHandle(other);
            }
        }
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 5000) == WAIT_TIMEOUT)
                TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        DestroyWindow(caller_);
    }

    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    bool started() const { return process_.hProcess && ownWindow(); }

    bool call(UINT command, ULONG_PTR data) const {
        return WinHelpA(caller_, helpFilePath().c_str(), command, data) != FALSE;
    }

    HWND ownWindow() const {
        for (HWND w : viewerWindows()) {
            DWORD id = 0;
            GetWindowThreadProcessId(w, &id);
            if (id == process_.dwProcessId)
                return w;
        }
        return nullptr;
    }

    // The first line of the topic shown: its title.
    std::string shownTitle() const {
        HWND viewer = ownWindow();
        HWND text = viewer ? FindWindowExA(viewer, nullptr, kTextClass, nullptr) : nullptr;
        if (!text)
            return {};
        char buffer[1024] = {};
        SendMessageA(text, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
        std::string shown(buffer);
        return shown.substr(0, shown.find_first_of("\r\n"));
    }

    bool shows(const std::string& title) const {
        return waitFor([&] { return shownTitle() == title; }, 10000);
    }

private:
    HWND caller_ = nullptr;
    PROCESS_INFORMATION process_ = {};
};

}  // namespace

TEST_CASE("every help id of the dialogs opens its own topic, and Hilfethemen the contents") {
    std::vector<ExpectedTopic> topics = expectedTopics();
    REQUIRE(topics.size() > 30);
    HelpViewer viewer;
    REQUIRE(viewer.started());

    for (const ExpectedTopic& topic : topics) {
        if (topic.key == "contents")
            continue;
        CAPTURE(topic.key);
        REQUIRE(viewer.call(HELP_CONTEXT, std::stoul(topic.key)));
        CHECK(viewer.shows(topic.title));
    }

    // The umlauts arrive as the program's code page has them.
    CHECK(viewer.call(HELP_CONTEXT, 42));
    CHECK(viewer.shows("Suchen: Dom\xE4n-Name"));

    REQUIRE(topics.front().key == "contents");
    CHECK(viewer.call(HELP_FINDER, 0));
    CHECK(viewer.shows(topics.front().title));
}
