#include "ui/help_call.h"

#include "ui/message_box.h"
#include "ui/process_state.h"

bool callHelp(HWND window, UINT command, ULONG_PTR data) {
    if (!helpFilePath()[0]) {
        HWND owner = GetAncestor(window, GA_ROOT);
        showMessageCode(owner ? owner : window, MSG_HELP_FILE_MISSING);
        return false;
    }
    return WinHelpA(window, helpFilePath(), command, data) != FALSE;
}

void quitHelp(HWND window) {
    if (helpFilePath()[0])
        WinHelpA(window, helpFilePath(), HELP_QUIT, 0);
}
