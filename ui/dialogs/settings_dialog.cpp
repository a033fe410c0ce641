// "Einstellungen" (dialog 45): the browser's path, the cache directory and
// the two browser options.
#include "ui/dialogs/settings_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "core/message_code.h"
#include "core/owned_text.h"
#include "core/text_locale.h"
#include "index/cache_location.h"
#include "model/cache_model.h"
#include "resources/dialog_ids.h"
#include "resources/string_ids.h"
#include "settings/program_key.h"
#include "settings/settings.h"
#include "ui/dialogs/dialog_help.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/option_boxes.h"

namespace {

// Whatever is typed fits a path buffer with its NUL; a longer text (pasted
// beyond the limit, or set from outside) is refused, never cut.
constexpr int kPathLimit = MAX_PATH - 1;

const OptionBox kOptionBoxes[] = {
    {IDC_SETTINGS_ADJUST_BROWSER, OPTION_ADJUST_BROWSER},
    {IDC_SETTINGS_RESTORE_BROWSER, OPTION_RESTORE_BROWSER},
};

// The dialog works on the model's cache directory, which OK replaces.
class SettingsDialog : public DialogWithHelp {
public:
    SettingsDialog(const char* helpFile, CacheModel& model, Settings& settings)
        : DialogWithHelp(helpFile), model_(model), settings_(settings) {}

    // The confirmed cache directory differs from the one read before.
    bool directoryChanged() const { return directoryChanged_; }

private:
    bool onInitDialog() override;
    bool onCommand(int id, int code) override;
    void onOk() override;

    void browseForCacheIndex();
    bool confirmSettings();

    CacheModel& model_;
    Settings& settings_;
    bool directoryChanged_ = false;
};

// The filter of the file dialog: `filterId` and "Alle Dateien", whose "#"
// stand for the NULs between the parts. `out` ends in two NULs.
void buildFilter(UINT filterId, char* out, size_t size) {
    std::memset(out, 0, size);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Two NULs stay free at the end whatever the strings hold.
    int used = LoadStringA(instance, filterId, out, static_cast<int>(size - 2));
    if (used < 0)
        used = 0;
    LoadStringA(instance, STR_FILTER_ALL_FILES, out + used, static_cast<int>(size - 2 - used));
    for (size_t i = 0; i < size - 2; ++i)
        if (out[i] == '#')
            out[i] = '\0';
}

// Asks for an existing file; `path` receives its full path and `nameOffset`
// where its name begins. False when the user cancels.
bool browseForFile(HWND dialog, UINT filterId, const char* initialName, const char* initialDirectory, char* path,
                   size_t& nameOffset) {
    char filter[512];
    buildFilter(filterId, filter, sizeof filter);
    copyTextBounded(path, MAX_PATH, initialName);
    OPENFILENAMEA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = filter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = initialDirectory && initialDirectory[0] ? initialDirectory : nullptr;
    request.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&request))
        return false;
    nameOffset = request.nFileOffset;
    return true;
}

void browseForBrowser(HWND dialog) {
    char path[MAX_PATH];
    size_t nameOffset;
    if (browseForFile(dialog, STR_FILTER_PROGRAMS, "netscape.exe", nullptr, path, nameOffset))
        SetDlgItemTextA(dialog, IDC_SETTINGS_BROWSER, path);
}

bool SettingsDialog::onInitDialog() {
    HWND dialog = window();
    attachHelpTable(dialog, DLG_SETTINGS);
    char browser[MAX_PATH];
    readBrowserPath(browser, sizeof browser);
    SendDlgItemMessageA(dialog, IDC_SETTINGS_BROWSER, EM_LIMITTEXT, kPathLimit, 0);
    SetDlgItemTextA(dialog, IDC_SETTINGS_BROWSER, browser);
    SendDlgItemMessageA(dialog, IDC_SETTINGS_CACHE_DIRECTORY, EM_LIMITTEXT, kPathLimit, 0);
    SetDlgItemTextA(dialog, IDC_SETTINGS_CACHE_DIRECTORY, model_.cacheDirectory.view());
    const uint32_t options = settings_.optionFlags;
    showOptionBoxes(dialog, kOptionBoxes, options);
    return true;
}

bool SettingsDialog::onCommand(int id, int code) {
    switch (id) {
    case IDC_SETTINGS_BROWSE_BROWSER:
        browseForBrowser(window());
        return true;
    case IDC_SETTINGS_BROWSE_CACHE:
        browseForCacheIndex();
        return true;
    default:
        return DialogBase::onCommand(id, code);
    }
}

void SettingsDialog::onOk() {
    if (confirmSettings())
        endDialog(IDOK);
}

// The directory of the chosen index file: without the backslash before the
// name, except in the root of a drive ("C:\").
void SettingsDialog::browseForCacheIndex() {
    HWND dialog = window();
    char path[MAX_PATH];
    size_t nameOffset;
    if (!browseForFile(dialog, STR_FILTER_CACHE_DATABASE, "FAT.DB", model_.cacheDirectory.view(), path, nameOffset))
        return;
    size_t cut = nameOffset > 3 ? nameOffset - 1 : nameOffset;
    if (cut < std::strlen(path))
        path[cut] = '\0';
    SetDlgItemTextA(dialog, IDC_SETTINGS_CACHE_DIRECTORY, path);
}

// The focus goes to the bad field first, so that the user can correct it
// as soon as the message is gone.
void refuseField(HWND dialog, int id, MessageCode code) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE);
    showMessageCode(dialog, code);
}

bool isProgramFile(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The cache directory to use: the field's, or the browser's own when it is
// empty, as a full path. False when it is not a valid cache directory.
bool chosenCacheDirectory(HWND dialog, char* directory, size_t size) {
    char typed[MAX_PATH];
    if (!readControlText(GetDlgItem(dialog, IDC_SETTINGS_CACHE_DIRECTORY), typed, sizeof typed))
        return false;
    if (!typed[0])
        readBrowserCacheDirectory(typed, sizeof typed);
    if (!typed[0])
        return false;
    DWORD length = GetFullPathNameA(typed, static_cast<DWORD>(size), directory, nullptr);
    return length > 0 && length < size && isValidCacheDirectory(directory);
}

// OK: validates both paths before anything is stored; true when the dialog
// may close.
bool SettingsDialog::confirmSettings() {
    HWND dialog = window();
    char browser[MAX_PATH];
    if (!readControlText(GetDlgItem(dialog, IDC_SETTINGS_BROWSER), browser, sizeof browser) ||
        (browser[0] && !isProgramFile(browser))) {
        refuseField(dialog, IDC_SETTINGS_BROWSER, MSG_INVALID_PROGRAM);
        return false;
    }
    char directory[MAX_PATH];
    if (!chosenCacheDirectory(dialog, directory, sizeof directory)) {
        refuseField(dialog, IDC_SETTINGS_CACHE_DIRECTORY, MSG_INVALID_CACHE_DIRECTORY);
        return false;
    }
    const bool changed = compareTextNoCase(directory, model_.cacheDirectory.view()) != 0;
    // Made the model's before "Browser" is written: it fails only for want
    // of memory, and then nothing is stored.
    if (!setCacheDirectory(model_.cacheDirectory, directory)) {
        showOutOfMemory();
        return false;
    }
    // Like every other registry value, one that cannot be stored is not
    // reported: the browser is then found as it was before.
    writeBrowserPath(browser);
    settings_.optionFlags = readOptionBoxes(dialog, kOptionBoxes, settings_.optionFlags);
    directoryChanged_ = changed;
    return true;
}

}  // namespace

bool showSettingsDialog(HWND owner, const char* helpFile, CacheModel& model, Settings& settings,
                        bool& directoryChanged) {
    SettingsDialog dialog(helpFile, model, settings);
    if (dialog.runModal(owner, DLG_SETTINGS) != IDOK)
        return false;
    directoryChanged = dialog.directoryChanged();
    return true;
}
