// Content searches over a large cache, while the program does other things:
// refused while the cache loads, untouched by the user's clicks while they
// run, and silent at their end when the user has turned to another window.
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "search_driver.h"
#include "session.h"

namespace {

const char kResults[] = "Suchergebnisse";
const char kCacheRoot[] = "Netscape Cache";

std::string largeCache() {
    return fixtureCache("large");
}

// A top-level window of the test itself, to take the foreground from the
// program.
class ForeignWindow {
public:
    ForeignWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TarnForeignWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "TarnForeignWindow", "Anderes Programm", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~ForeignWindow() { DestroyWindow(window_); }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    bool takeForeground() {
        SetForegroundWindow(window_);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        return GetForegroundWindow() == window_;
    }

private:
    HWND window_;
};

// Whether the results root (the second root, while there is one) shows a
// folder: cheap enough to ask between any two clicks.
bool resultFolderShown(const AppDriver& app) {
    HTREEITEM results = TreeView_GetNextSibling(app.tree(), TreeView_GetRoot(app.tree()));
    return results && TreeView_GetChild(app.tree(), results);
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession, "a content search is refused while the cache is being loaded") {
    startOn(largeCache());
    app.command(kReload);
    REQUIRE(runShowing(app));
    // A refused command returns at once; one that opened its dialog would
    // not return before the dialog closed.
    DWORD_PTR result;
    LRESULT handled =
        SendMessageTimeoutA(app.mainWindow(), WM_COMMAND, kContentSearch, 0, SMTO_NORMAL, 3000, &result);
    CHECK(handled != 0);
    CHECK(runShowing(app));
    REQUIRE(app.sync());
    HWND dialog = waitForDialog(app, "Dokumentinhalte durchsuchen", 0);
    CHECK_FALSE(dialog);
    if (dialog)
        app.pressButton(dialog, IDCANCEL);
    REQUIRE(app.waitUntilIdle());
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession,
                  "the results of a running search appear only at its end, however the user walks the tree") {
    startOn(largeCache());
    // A first run, undisturbed, gives the results to expect.
    REQUIRE(startContentSearch(app, "kolibri zeppelin", SCOPE_CACHE));
    REQUIRE(app.waitUntilIdle(60000));
    const std::vector<std::string> expected = app.folderLabels(kResults);
    REQUIRE(expected.size() > 10);
    REQUIRE(app.selectTreeLabel(kResults));
    const int documents = app.listCount();

    // Runs again, while the user goes from folder to folder round the tree
    // and now and then to the results root itself.
    int clicks = 0;
    bool filedEarly = false;
    for (int run = 0; run < 5 && clicks < 40; ++run) {
        REQUIRE(startContentSearch(app, "kolibri zeppelin", SCOPE_CACHE));
        for (;;) {
            bool resultsShown = resultFolderShown(app);
            // Read before the end was handled, the results root must be empty.
            if (!runShowing(app))
                break;
            filedEarly = filedEarly || resultsShown;
            HTREEITEM next = TreeView_GetNextVisible(app.tree(), app.selectedTreeItem());
            if (clicks % 5 == 4 || !next)
                next = TreeView_GetRoot(app.tree());
            if (clicks % 10 == 9)
                next = TreeView_GetNextSibling(app.tree(), TreeView_GetRoot(app.tree()));
            TreeView_SelectItem(app.tree(), next);
            ++clicks;
        }
        REQUIRE(app.waitUntilIdle(60000));
        CHECK(app.folderLabels(kResults) == expected);
    }
    CHECK_FALSE(filedEarly);
    CHECK(clicks >= 10);
    REQUIRE(app.selectTreeLabel(kResults));
    CHECK(app.listCount() == documents);
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(ProgramSession, "a search without a match says so only while the program is in front") {
    startOn(largeCache());
    ForeignWindow other;
    REQUIRE(startContentSearch(app, "nirgendwo", SCOPE_CACHE));
    REQUIRE(runShowing(app));
    REQUIRE(other.takeForeground());
    REQUIRE(app.waitUntilIdle(60000));
    // The run's end has been handled once the program has handled what was
    // queued after it; a box it showed would be up by now.
    REQUIRE(app.sync());
    CHECK(takeMessageBox(app, 0) == "");
    CHECK_FALSE(hasRoot(app, kResults));
    REQUIRE(app.closeThroughMenu());
}
