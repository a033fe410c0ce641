#include <string>
#include <utility>
#include <vector>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "help_recorder.h"
#include "program_state.h"
#include "search_driver.h"
#include "session.h"

namespace {

const int kSaveAs = 1102;
const int kProperties = 1106;

using HelpTable = std::vector<std::pair<uint32_t, uint32_t>>;

// The tests' own copy of the help tables of the two dialogs.
const HelpTable kSaveOptionsTable = {{101, 11}, {102, 12}, {103, 13}, {104, 14}, {105, 15}, {106, 16}};
const HelpTable kPropertiesTable = {{101, 21}, {102, 22}, {103, 23}, {104, 24}, {105, 25}, {106, 26},
                                    {107, 27}, {108, 28}, {109, 29}, {113, 23}, {114, 24}, {115, 25},
                                    {116, 26}, {117, 27}, {118, 28}, {119, 29}, {201, 30}, {202, 30}};

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && lstrcmpiA(text.c_str() + text.size() - tail.size(), tail.c_str()) == 0;
}

// F1 on the focused control: the system turns the key into WM_HELP for it.
void pressF1On(HWND dialog, HWND control) {
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    REQUIRE(waitUntil([&] { return focusOf(dialog) == control; }, 5000));
    pressKey(dialog, VK_F1);
}

// What the "?" button leads to: the click on a control after it sends the
// control WM_HELP. Wine has no context-help mode behind that button, so the
// message is sent as the click would send it.
void questionMarkOn(HWND control) {
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = GetDlgCtrlID(control);
    info.hItemHandle = control;
    SendMessageA(control, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

void rightClickOn(HWND control) {
    RECT box;
    GetWindowRect(control, &box);
    SendMessageA(control, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(box.left + 2, box.top + 2));
}

void checkContextHelp(const HelpRecorder& help, int index, UINT command, HWND control, const HelpTable& table) {
    HelpCall call;
    REQUIRE(help.waitForCall(index, call));
    CHECK(call.command == command);
    CHECK(call.window == control);
    CHECK(endsWith(call.file, "tarn.hlp"));
    CHECK(call.table == table);
}

}  // namespace

TEST_CASE_FIXTURE(ProgramSession,
                  "F1, the question mark and a right click on a control ask the help engine with the dialog's table") {
    startOn(fixtureCache("save"));
    HelpRecorder help;
    REQUIRE(help.install(app.mainWindow()));
    REQUIRE(app.selectTreeLabel("www.dokumente.de"));
    REQUIRE(app.selectListRow(1));
    REQUIRE(app.selectListRow(3));
    REQUIRE(focusList(app));

    SUBCASE("the save dialog's options") {
        REQUIRE(app.selectListRow(0));
        REQUIRE(app.selectListRow(2));
        postCommand(app, kSaveAs);
        HWND dialog = findProgramWindow(app, "Speichern als");
        REQUIRE(dialog);
        HWND external = findControl(dialog, 102);
        pressF1On(dialog, external);
        checkContextHelp(help, 0, HELP_WM_HELP, external, kSaveOptionsTable);
        HWND mediaExternal = findControl(dialog, 105);
        questionMarkOn(mediaExternal);
        checkContextHelp(help, 1, HELP_WM_HELP, mediaExternal, kSaveOptionsTable);
        CHECK(topicOf(kSaveOptionsTable, GetDlgCtrlID(mediaExternal)) == 15);
        HWND mediaMissing = findControl(dialog, 106);
        rightClickOn(mediaMissing);
        checkContextHelp(help, 2, HELP_CONTEXTMENU, mediaMissing, kSaveOptionsTable);

        click(findControl(dialog, IDCANCEL));
        CHECK(app.waitUntilGone(dialog));
    }
    SUBCASE("the properties page: a label and its field share a topic") {
        postCommand(app, kProperties);
        HWND sheet = findDialogShowing(app, 102, "Dokumente");
        REQUIRE(sheet);
        HWND next = findControl(sheet, 202);
        pressF1On(sheet, next);
        checkContextHelp(help, 0, HELP_WM_HELP, next, kPropertiesTable);
        HWND label = findControl(sheet, 113);
        HWND url = findControl(sheet, 103);
        questionMarkOn(label);
        checkContextHelp(help, 1, HELP_WM_HELP, label, kPropertiesTable);
        questionMarkOn(url);
        checkContextHelp(help, 2, HELP_WM_HELP, url, kPropertiesTable);
        CHECK(topicOf(kPropertiesTable, GetDlgCtrlID(label)) == 23);
        CHECK(topicOf(kPropertiesTable, GetDlgCtrlID(url)) == 23);
        rightClickOn(findControl(sheet, 108));
        checkContextHelp(help, 3, HELP_CONTEXTMENU, findControl(sheet, 108), kPropertiesTable);
        click(findControl(sheet, IDCANCEL));
        CHECK(app.waitUntilGone(sheet));
    }
    SUBCASE("find, content search and settings: each control its own topic") {
        struct Asked {
            int command;
            std::string caption;
            int control;
            uint32_t topic;
        };
        const Asked asked[] = {{kFind, "Suchen", 103, 43},
                               {kContentSearch, "Dokumentinhalte durchsuchen", 103, 53},
                               {kSettings, "Einstellungen", 104, 64}};
        int calls = 0;
        for (const Asked& dialogAsked : asked) {
            CAPTURE(dialogAsked.caption);
            HWND dialog = openDialog(app, dialogAsked.command, dialogAsked.caption);
            REQUIRE(dialog);
            HWND control = findControl(dialog, dialogAsked.control);
            pressF1On(dialog, control);
            HelpCall call;
            REQUIRE(help.waitForCall(calls++, call));
            CHECK(call.command == HELP_WM_HELP);
            CHECK(call.window == control);
            CHECK(topicOf(call.table, dialogAsked.control) == dialogAsked.topic);
            click(findControl(dialog, IDCANCEL));
            CHECK(app.waitUntilGone(dialog));
        }
    }
    REQUIRE(app.closeThroughMenu());
}
