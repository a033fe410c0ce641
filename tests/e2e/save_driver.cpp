#include "save_driver.h"

#include <dlgs.h>

#include <algorithm>

#include "dialog_driver.h"
#include "doctest.h"
#include "extract/save_folder.h"
#include "menu_commands.h"
#include "resources/dialog_ids.h"

std::vector<std::string> namesOf(const Files& files) {
    std::vector<std::string> names;
    for (const auto& file : files)
        names.push_back(file.first);
    return names;
}

void selectDocuments(AppDriver& app, const std::vector<std::string>& urls) {
    if (!app.listShowsDetails())
        app.command(kDetails);
    for (const std::string& url : urls) {
        int found = -1;
        for (int row = 0; row < app.listCount(); ++row)
            if (app.listCell(row, 2) == url)
                found = row;
        REQUIRE_MESSAGE(found >= 0, url);
        REQUIRE(app.selectListRow(found));
    }
    REQUIRE(focusList(app));
}

HWND SaveSession::openSaveDialogFor(const std::vector<std::string>& urls) {
    selectDocuments(app, urls);
    postCommand(app, kSaveAs);
    HWND dialog = findProgramWindow(app, kSaveCaption);
    REQUIRE(dialog);
    return dialog;
}

// The link options below the dialog, ExtractOption bit i in check box
// IDC_SAVE_TEXT_FOLLOW_INTERNAL + i.
void chooseOptions(HWND dialog, ExtractOptions options) {
    for (int bit = 0; bit < 6; ++bit)
        REQUIRE(setChecked(findControl(dialog, IDC_SAVE_TEXT_FOLLOW_INTERNAL + bit), (options >> bit) & 1));
}

HWND nameField(HWND dialog) {
    HWND edit = findControl(dialog, IDC_SAVE_FILE_NAME);
    return edit && IsWindowVisible(edit) ? edit : findControl(dialog, cmb13);
}

void saveTo(HWND dialog, const std::string& path) {
    setControlText(nameField(dialog), path);
    click(findControl(dialog, IDOK));
}

std::vector<std::string> fileNamesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

Files waitForSave(const AppDriver& app, const std::string& folder, const std::vector<std::string>& names) {
    waitUntil([&] { return fileNamesIn(folder) == names && IsWindowEnabled(app.mainWindow()); }, 20000);
    return filesIn(folder);
}
