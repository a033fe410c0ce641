// A recording stand-in for the help engine inside the program under test.
//
// Wine's WinHelpA hands only some commands to a help viewer: it refuses
// HELP_WM_HELP and HELP_CONTEXTMENU before anything is sent, so a viewer
// window of the test could never see them. The recorder therefore points
// the program's own import of WinHelpA at a few instructions that note each
// call's four arguments and answer TRUE; the test reads the notes, and the
// help file name, text and table they point to, from the program's memory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct HelpCall {
    HWND window = nullptr;
    std::string file;
    UINT command = 0;
    // HELP_WM_HELP and HELP_CONTEXTMENU: the (control id, topic) pairs
    // before the closing (0, 0). HELP_COMMAND: the macro.
    std::vector<std::pair<uint32_t, uint32_t>> table;
    std::string text;
};

class HelpRecorder {
public:
    HelpRecorder() = default;
    ~HelpRecorder();
    HelpRecorder(const HelpRecorder&) = delete;
    HelpRecorder& operator=(const HelpRecorder&) = delete;

    // Takes over the help calls of the program whose window is `window`.
    bool install(HWND window);
    int callCount() const;
    // Waits until the program has made call number `index` (from 0) and
    // reads it, with what its pointers point to now.
    bool waitForCall(int index, HelpCall& call, DWORD timeoutMs = 5000) const;

private:
    HANDLE process_ = nullptr;
    char* stub_ = nullptr;
};

// The topic `table` gives to `controlId`, 0 when it has none.
uint32_t topicOf(const std::vector<std::pair<uint32_t, uint32_t>>& table, int controlId);
