// "Öffnen" with the stand-in browser: handed over by DDE while it runs,
// started with the URL while it does not, with the browser's verify option
// and the system's automatic dial-up taken care of on the way.
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "printing.h"
#include "program_state.h"
#include "stand_in_browser.h"
#include "support/temp_folder.h"
#include "waiting.h"

namespace {

using Lines = std::vector<std::string>;

const uint32_t kDefaultOptions = 0x0B2170BE;
const uint32_t kAdjustBrowser = 0x100000;

const char kStartFailedText[] =
    "Der Netscape Navigator kann nicht gestartet werden!\n\nVerwenden Sie den Befehl Extras/Einstellungen, um den "
    "Browser zu lokalisieren.";
const char kVerifyQuestionText[] =
    "Für die korrekte Offline-Anzeige der Dokumente muß in Netscape unter\n\n\t'Options/Network "
    "Preferences/Cache'\n\ndie Option 'Verify Documents' auf 'Never' gesetzt werden.\n\nSoll diese Änderung jetzt "
    "automatisch durchgeführt werden?";
const char kVerifyNoteText[] =
    "Für die korrekte Offline-Anzeige der Dokumente muß in Netscape unter\n\n\t'Options/Network "
    "Preferences/Cache'\n\ndie Option 'Verify Documents' auf 'Never' gesetzt werden.\n\nDa Netscape bereits geladen "
    "ist, müssen Sie diese Änderung selbst vornehmen.";

const char kZebraUrl[] = "http://www.zebra.de/";
const Lines kOpenRequests = {"WWW_OpenURL\t\"http://www.zebra.de/\",,0xFFFFFFFF,0,,,", "WWW_Activate\t2a,0x0",
                             "WWW_GetWindowInfo\t2a"};

// The log once it has `count` lines (or what it has after a while).
Lines logOf(const std::string& path, size_t count) {
    Lines lines;
    waitUntil([&] { return (lines = readBrowserLog(path)).size() >= count; }, 10000);
    return lines;
}

std::string firstOf(const Lines& lines) {
    return lines.empty() ? "<none>" : lines.front();
}

Lines tail(const Lines& lines, size_t from) {
    return from < lines.size() ? Lines(lines.begin() + static_cast<long>(from), lines.end()) : Lines();
}

// A program on a cache (the basic fixture unless named), by default with
// "Zebra Startseite" selected in the list, and a browser started by it
// logging to a file of its own. The browser's options and the program's
// settings are set by each test before it starts the program.
struct OpenFixture {
    TempFolder folder{"browser"};
    std::string log = folder.file("browser.log");
    AppDriver app;

    explicit OpenFixture(const std::string& cacheDirectory = fixtureCache("basic")) {
        closeStandIns();
        prepareFirstStart(cacheDirectory);
        setBrowserProgram(standInBrowserPath());
        setAutodial({});
        setCheckServer(2);
        SetEnvironmentVariableA("TARN_BROWSER_LOG", log.c_str());
    }
    ~OpenFixture() {
        SetEnvironmentVariableA("TARN_BROWSER_LOG", nullptr);
        closeStandIns();
    }

    void startProgram() { startProgram("www.zebra.de", 2, kZebraUrl); }

    // The program, with the document of `url` in row `row` of the host
    // `host` selected.
    void startProgram(const char* host, int row, const std::string& url) {
        REQUIRE(app.start());
        REQUIRE(app.selectTreeLabel(host));
        REQUIRE(app.focusPane(app.list()));
        REQUIRE(app.selectListRows({row}));
        REQUIRE(app.listCell(row, 2) == url);
    }

    // Enter on the selected document.
    void open() { app.pressKey(VK_RETURN); }

    // The program's message box, answered with `button`; its text, or
    // "<none>" when none came.
    std::string answer(int button, const std::vector<int>& buttons) {
        HWND box = app.findMessageBox(10000);
        if (!box)
            return "<none>";
        for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
            bool wanted = false;
            for (int b : buttons)
                wanted = wanted || b == id;
            CHECK_MESSAGE((GetDlgItem(box, id) != nullptr) == wanted, "button " << id);
        }
        CHECK(app.windowText(box) == "Tarnview");
        std::string text = app.messageBoxText(box);
        app.pressButton(box, button);
        REQUIRE(app.waitUntilGone(box));
        app.sync();
        return text;
    }

    bool noMessageBox() {
        app.sync();
        return !app.findMessageBox(0);
    }
};

}  // namespace

TEST_CASE("Öffnen hands the document to the running browser and brings its window forward") {
    OpenFixture fixture;
    REQUIRE(startStandInBrowser(fixture.log));
    HWND browser = findStandInWindow();
    REQUIRE(browser);
    // Minimised, so that only the program can bring it back.
    ShowWindow(browser, SW_MINIMIZE);
    REQUIRE(IsIconic(browser));
    fixture.startProgram();
    AppDriver& app = fixture.app;
    REQUIRE(app.activate());
    size_t before = readBrowserLog(fixture.log).size();

    SUBCASE("Enter") { app.pressKey(VK_RETURN); }
    SUBCASE("the menu") { app.command(kOpen); }
    SUBCASE("the toolbar") { REQUIRE(app.clickToolbarButton(kOpen)); }
    SUBCASE("a double click") { REQUIRE(app.doubleClickListRow(2)); }
    SUBCASE("the list's menu") {
        HWND menu = app.rightClickListRow(2);
        REQUIRE(menu);
        app.chooseMenuItem(menu, "f");
    }
    CHECK(tail(logOf(fixture.log, before + 3), before) == kOpenRequests);
    CHECK(waitUntil([&] { return !IsIconic(browser) && GetForegroundWindow() == browser; }, 5000));
    CHECK(fixture.noMessageBox());
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE("Öffnen starts the browser with the URL as its only parameter when none is running") {
    OpenFixture fixture;
    fixture.startProgram();
    fixture.open();
    CHECK(logOf(fixture.log, 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t2"});
    CHECK(waitUntil([] { return findStandInWindow() != nullptr; }, 10000));
    // The URL travels on the command line: no DDE request follows.
    CHECK(fixture.noMessageBox());
    CHECK(readBrowserLog(fixture.log).size() == 3);
    REQUIRE(fixture.app.closeThroughMenu());
}

TEST_CASE("the browser's verify option is set to never before it starts, asking once per run") {
    OpenFixture fixture;
    AppDriver& app = fixture.app;

    SUBCASE("Yes sets it; the next start asks no more and changes nothing") {
        setCheckServer(0);
        fixture.startProgram();
        fixture.open();
        CHECK(fixture.answer(IDYES, {IDYES, IDNO, IDCANCEL}) == kVerifyQuestionText);
        CHECK(logOf(fixture.log, 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t2"});
        REQUIRE(closeStandIns());
        setCheckServer(0);
        fixture.open();
        CHECK(fixture.noMessageBox());
        CHECK(tail(logOf(fixture.log, 6), 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t0"});
    }
    SUBCASE("No starts the browser with the option as it was, whatever its value") {
        setCheckServer(7);
        fixture.startProgram();
        fixture.open();
        CHECK(fixture.answer(IDNO, {IDYES, IDNO, IDCANCEL}) == kVerifyQuestionText);
        CHECK(logOf(fixture.log, 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t7"});
        CHECK(readCheckServer() == 7);
    }
    SUBCASE("Cancel starts nothing, and the next Öffnen asks again") {
        setCheckServer(0);
        fixture.startProgram();
        fixture.open();
        CHECK(fixture.answer(IDCANCEL, {IDYES, IDNO, IDCANCEL}) == kVerifyQuestionText);
        fixture.open();
        CHECK(fixture.answer(IDCANCEL, {IDYES, IDNO, IDCANCEL}) == kVerifyQuestionText);
        CHECK(readBrowserLog(fixture.log).empty());
        CHECK(readCheckServer() == 0);
    }
    SUBCASE("adjusting the browser without asking sets it at every start") {
        writeStoredOptionFlags(kDefaultOptions | kAdjustBrowser);
        setCheckServer(0);
        fixture.startProgram();
        fixture.open();
        CHECK(fixture.noMessageBox());
        CHECK(logOf(fixture.log, 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t2"});
        REQUIRE(closeStandIns());
        setCheckServer(7);
        fixture.open();
        CHECK(fixture.noMessageBox());
        CHECK(tail(logOf(fixture.log, 6), 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t-", "verify\t2"});
    }
    SUBCASE("a running browser is not changed: the user is told once, and Cancel opens nothing") {
        writeStoredOptionFlags(kDefaultOptions | kAdjustBrowser);
        setCheckServer(0);
        REQUIRE(startStandInBrowser(fixture.log));
        fixture.startProgram();
        size_t started = readBrowserLog(fixture.log).size();
        fixture.open();
        CHECK(fixture.answer(IDCANCEL, {IDOK, IDCANCEL}) == kVerifyNoteText);
        CHECK(readBrowserLog(fixture.log).size() == started);
        fixture.open();
        CHECK(fixture.answer(IDOK, {IDOK, IDCANCEL}) == kVerifyNoteText);
        CHECK(tail(logOf(fixture.log, started + 3), started) == kOpenRequests);
        // The browser came to the front; the user turns back to the program.
        REQUIRE(app.activate());
        REQUIRE(app.focusedWindow() == app.list());
        fixture.open();
        CHECK(fixture.noMessageBox());
        CHECK(tail(logOf(fixture.log, started + 6), started + 3) == kOpenRequests);
        CHECK(readCheckServer() == 0);
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE("automatic dial-up is off while the browser starts and on again afterwards") {
    OpenFixture fixture;
    setAutodial({REG_DWORD, 1});
    fixture.startProgram();
    fixture.open();
    CHECK(logOf(fixture.log, 3) == Lines{"start\thttp://www.zebra.de/", "autodial\t0", "verify\t2"});
    AutodialValue after = readAutodial();
    CHECK(after.type == REG_DWORD);
    CHECK(after.value == 1);
    // The program waited for the browser's service before it switched
    // dial-up on again.
    CHECK(standInServing());
    REQUIRE(fixture.app.closeThroughMenu());
}

TEST_CASE("a browser that cannot be started gives message 179, with dial-up switched on again") {
    OpenFixture fixture;
    // Written back with the type it was read with.
    setAutodial({REG_BINARY, 1});
    SUBCASE("the program named does not exist") { setBrowserProgram("Z:\\nonexistent\\navigator.exe"); }
    SUBCASE("none named: netscape.exe, which is nowhere") { setBrowserProgram(""); }
    fixture.startProgram();
    fixture.open();
    HWND box = fixture.app.findMessageBox(10000);
    REQUIRE(box);
    AutodialValue during = readAutodial();
    CHECK(during.type == REG_BINARY);
    CHECK(during.value == 1);
    CHECK(fixture.answer(IDOK, {IDOK}) == kStartFailedText);
    CHECK_FALSE(findStandInWindow());
    REQUIRE(fixture.app.closeThroughMenu());
}

// A cache, or a folder a user started the program from, may hold a
// netscape.exe of anybody's making.
TEST_CASE("no netscape.exe from the cache or the folder the program was started in is started as the browser") {
    CacheCopy cache("basic");
    TempFolder start("start-folder");
    REQUIRE(CopyFileA(standInBrowserPath().c_str(), start.file("netscape.exe").c_str(), FALSE));
    REQUIRE(CopyFileA(standInBrowserPath().c_str(), (cache.path() + "\\netscape.exe").c_str(), FALSE));
    OpenFixture fixture(cache.path());
    setBrowserProgram("");
    {
        char previous[MAX_PATH] = "";
        GetCurrentDirectoryA(sizeof previous, previous);
        SetCurrentDirectoryA(start.path().c_str());
        fixture.startProgram();
        SetCurrentDirectoryA(previous);
    }
    fixture.open();
    CHECK(fixture.answer(IDOK, {IDOK}) == kStartFailedText);
    CHECK(readBrowserLog(fixture.log).empty());
    CHECK_FALSE(findStandInWindow());
    REQUIRE(fixture.app.closeThroughMenu());
}

// The URLs of a cache that another machine wrote: whatever they hold, the
// browser gets one URL as one argument or one item field, or nothing.
TEST_CASE("a cache's URL reaches the browser as exactly that URL, or not at all") {
    OpenFixture fixture(fixtureCache("hostile_urls"));

    SUBCASE("blanks and quotes do not split the command line into options") {
        fixture.startProgram("argv.example", 0, "http://argv.example/a b --some-option=\"x\" -P x");
        fixture.open();
        CHECK(firstOf(logOf(fixture.log, 1)) == "start\thttp://argv.example/a%20b%20--some-option=%22x%22%20-P%20x");
    }
    SUBCASE("quotes do not fill the open item's further fields") {
        REQUIRE(startStandInBrowser(fixture.log));
        fixture.startProgram("item.example", 0, "http://item.example/\",\"C:/x/p.exe\",0xFFFFFFFF,0x0,,,\"");
        size_t before = readBrowserLog(fixture.log).size();
        fixture.open();
        CHECK(firstOf(tail(logOf(fixture.log, before + 1), before)) ==
              "WWW_OpenURL\t\"http://item.example/%22,%22C:/x/p.exe%22,0xFFFFFFFF,0x0,,,%22\",,0xFFFFFFFF,0,,,");
    }
    SUBCASE("a script address is not opened") {
        fixture.startProgram("script.example", 0, "javascript://script.example/%0Aalert(document.cookie)");
        fixture.open();
        CHECK(fixture.answer(IDOK, {IDOK}) ==
              "Dieses Dokument wird nicht im Browser geöffnet:\n\nNur Adressen mit http, https, ftp, gopher und "
              "file können geöffnet werden.");
        CHECK_FALSE(findStandInWindow());
        CHECK(readBrowserLog(fixture.log).empty());
    }
    SUBCASE("an address too long for a DDE item goes to the running browser on a command line") {
        REQUIRE(startStandInBrowser(fixture.log));
        std::string url = "http://long.example/" + std::string(260, 'a') + ".htm";
        fixture.startProgram("long.example", 0, url);
        size_t before = readBrowserLog(fixture.log).size();
        fixture.open();
        CHECK(firstOf(tail(logOf(fixture.log, before + 1), before)) == "start\t" + url);
        CHECK(fixture.noMessageBox());
    }
    REQUIRE(fixture.app.closeThroughMenu());
}
