#include "ui/dialogs/help_call.h"

#include "core/owned_text.h"
#include "ui/dialogs/message_box.h"

namespace {

const char kHelpFileName[] = "tarn.hlp";

}  // namespace

bool findProgramHelpFile(char (&path)[MAX_PATH]) {
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path cut at the buffer's end is not the executable's and must not be
    // taken for it.
    if (length == 0 || length >= sizeof path) {
        path[0] = '\0';
        return false;
    }
    char* nameStart = path;
    for (char* p = path; *p; ++p)
        if (*p == '\\')
            nameStart = p + 1;
    *nameStart = '\0';
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (appendTextBounded(path, sizeof path, kHelpFileName))
        attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        path[0] = '\0';
        return false;
    }
    return true;
}

bool callHelp(const char* helpFile, HWND window, UINT command, ULONG_PTR data) {
    if (!helpFile[0]) {
        HWND owner = GetAncestor(window, GA_ROOT);
        showMessageCode(owner ? owner : window, MSG_HELP_FILE_MISSING);
        return false;
    }
    return WinHelpA(window, helpFile, command, data) != FALSE;
}

void quitHelp(const char* helpFile, HWND window) {
    if (helpFile[0])
        WinHelpA(window, helpFile, HELP_QUIT, 0);
}
