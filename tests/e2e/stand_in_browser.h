// The stand-in browser (tools/stand_in_browser.exe) as the tests meet it:
// started by a test to be found running, or started by the program, and in
// both cases read back through the log it writes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The stand-in, as a Windows path.
std::string standInBrowserPath();

// Its window, if one is open.
HWND findStandInWindow();

// Whether its DDE service answers a conversation on "WWW_Version", as the
// program asks.
bool standInServing();

// Closes every open stand-in and waits until its window is gone.
bool closeStandIns(DWORD timeoutMs = 10000);

// The lines of a stand-in's log; none when it has written nothing.
std::vector<std::string> readBrowserLog(const std::string& path);

// Starts the stand-in with `--log path`, and returns once it serves DDE.
bool startStandInBrowser(const std::string& logPath, DWORD timeoutMs = 10000);
