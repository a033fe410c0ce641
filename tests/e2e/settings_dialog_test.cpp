// "Einstellungen" through the real program: what it refuses, what it
// writes, and when it reloads the cache.
#include <windows.h>

#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "search_driver.h"
#include "session.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

const char kInvalidProgram[] = "Die angegebene Datei ist keine gültige Programmdatei!";
const char kInvalidCache[] = "Das angegebene Verzeichnis ist kein gültiges Cache-Verzeichnis!";
const uint32_t kOptionAdjustBrowser = 0x100000;
const uint32_t kOptionRestoreBrowser = 0x200000;

HWND openSettings(const AppDriver& app) {
    return openDialog(app, kSettings, "Einstellungen");
}

// Presses OK on fields the dialog must refuse: its message, with the focus
// already on the bad field, and the dialog still open.
std::string refusal(const AppDriver& app, HWND dialog, int field) {
    app.pressButton(dialog, IDOK);
    std::string text = takeMessageBox(app);
    CHECK(focusedWindow(app) == GetDlgItem(dialog, field));
    CHECK(IsWindow(dialog));
    return text;
}

// A copy of a fixture cache the test may change.
void copyCache(const std::string& from, const TempFolder& to) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    REQUIRE(search != INVALID_HANDLE_VALUE);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            CopyFileA((from + "\\" + found.cFileName).c_str(), to.file(found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string upperCase(std::string text) {
    CharUpperA(&text[0]);
    return text;
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "the settings dialog stores nothing until both paths are valid") {
    startOn(fixtureCache("basic"));
    HWND dialog = openSettings(app);
    REQUIRE(dialog);
    CHECK(fieldText(dialog, 101) == "");
    CHECK(fieldText(dialog, 103) == fixtureCache("basic"));
    const std::string program = tarnviewPath();

    SUBCASE("a browser path naming a directory or no file") {
        setFieldText(dialog, 101, fixtureCache("basic"));
        CHECK(refusal(app, dialog, 101) == kInvalidProgram);
        setFieldText(dialog, 101, fixtureCache("basic") + "\\netscape.exe");
        setFieldText(dialog, 103, fixtureCache("filters"));
        CHECK(refusal(app, dialog, 101) == kInvalidProgram);
    }
    SUBCASE("a cache directory without a cache index, after a valid browser path") {
        setFieldText(dialog, 101, program);
        setFieldText(dialog, 103, winePath(TARN_BINARY_DIR));
        CHECK(refusal(app, dialog, 103) == kInvalidCache);
    }
    SUBCASE("paths too long for the program's buffers are refused, not cut") {
        // Cut to its first 259 characters this would still name the basic
        // cache's directory.
        setFieldText(dialog, 103, fixtureCache("basic") + std::string(300, '\\'));
        CHECK(refusal(app, dialog, 103) == kInvalidCache);
        setFieldText(dialog, 101, program + std::string(300, ' '));
        CHECK(refusal(app, dialog, 101) == kInvalidProgram);
    }
    app.pressButton(dialog, IDCANCEL);
    REQUIRE(app.waitUntilGone(dialog));
    CHECK(programValue("Browser") == "<none>");
    CHECK(programValue("Cache") == "<none>");
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "the settings dialog writes the browser's path and options and reloads only for another directory") {
    TempFolder cache("settings-cache");
    copyCache(fixtureCache("basic"), cache);
    prepareFirstStart(cache.path());
    setProgramValue("Browser", "Z:\\alt\\netscape.exe");
    using Labels = std::vector<std::string>;
    const Labels basic = {"a.example.org", "b.example.com", "c.example.org", "www.zebra.de"};
    start();
    REQUIRE(app.folderLabels("Netscape Cache") == basic);
    // Gone from the disk, a.example.org's page leaves the tree only when the
    // cache is read again.
    REQUIRE(DeleteFileA(cache.file("M0E20011.htm").c_str()));
    HWND dialog = openSettings(app);
    REQUIRE(dialog);
    CHECK(fieldText(dialog, 101) == "Z:\\alt\\netscape.exe");

    SUBCASE("the same directory in other letters: no reload") {
        setFieldText(dialog, 101, tarnviewPath());
        setFieldText(dialog, 103, upperCase(cache.path()));
        setChecked(dialog, 105, true);
        setChecked(dialog, 106, false);
        REQUIRE(confirmDialog(app, dialog));
        CHECK(programValue("Browser") == tarnviewPath());
        // The browser's own directory is not stored as the user's.
        CHECK(programValue("Cache") == "<none>");
        CHECK(app.folderLabels("Netscape Cache") == basic);
        REQUIRE(app.closeThroughMenu());
        const uint32_t options = readStoredSettings().optionFlags;
        CHECK((options & kOptionAdjustBrowser) != 0);
        CHECK((options & kOptionRestoreBrowser) == 0);
        return;
    }
    SUBCASE("empty fields: the browser by its name, the browser's own cache directory") {
        setFieldText(dialog, 101, "");
        setFieldText(dialog, 103, "");
        REQUIRE(confirmDialog(app, dialog));
        CHECK(programValue("Browser") == "<none>");
        CHECK(app.folderLabels("Netscape Cache") == basic);
    }
    SUBCASE("another directory: stored, and the cache is read from it") {
        setFieldText(dialog, 101, "");
        setFieldText(dialog, 103, fixtureCache("filters"));
        REQUIRE(confirmDialog(app, dialog));
        REQUIRE(app.waitUntilIdle());
        CHECK(programValue("Cache") == fixtureCache("filters"));
        CHECK(app.folderLabels("Netscape Cache") ==
              Labels{"a.example.org", "m.bilder.de", "n.leer.de", "z.example.org"});
    }
    REQUIRE(app.closeThroughMenu());
}
