// Saving from the program in a test: selecting the documents, "Speichern
// unter..." with its link options and target, and waiting for what the save
// writes.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "app_driver.h"
#include "session.h"
#include "settings/extract_options.h"
#include "support/temp_folder.h"

constexpr int kSaveAs = 1102;
constexpr char kSaveCaption[] = "Speichern als";

using Files = std::map<std::string, std::string>;

std::vector<std::string> namesOf(const Files& files);

// Selects the documents of the list whose URLs are given, and gives the list
// the focus, as a user does before "Speichern unter...".
void selectDocuments(AppDriver& app, const std::vector<std::string>& urls);

// The program started on a cache, a folder open, ready to save from it.
struct SaveSession : ProgramSession {
    // Selects the documents of `urls` in the list, gives it the focus and
    // opens "Speichern unter..."; the dialog.
    HWND openSaveDialogFor(const std::vector<std::string>& urls);
};

// Sets the link options below the dialog.
void chooseOptions(HWND dialog, ExtractOptions options);

// The file name field: an edit when the dialog has a hook or a template,
// else the platform's combo box.
HWND nameField(HWND dialog);

// Types the target into the file name field and presses "Speichern".
void saveTo(HWND dialog, const std::string& path);

// The names of the folder's files, in order, without opening any: the
// program may be writing them.
std::vector<std::string> fileNamesIn(const std::string& folder);

// Waits until the folder holds exactly the files named and the save has
// ended (the main window is disabled while it runs), then returns them.
Files waitForSave(const AppDriver& app, const std::string& folder, const std::vector<std::string>& names);
inline Files waitForSave(const AppDriver& app, const TempFolder& folder, const std::vector<std::string>& names) {
    return waitForSave(app, folder.path(), names);
}
