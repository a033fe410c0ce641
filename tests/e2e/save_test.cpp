#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "extract/save_folder.h"
#include "printing.h"
#include "program_state.h"
#include "resources/dialog_ids.h"
#include "save_driver.h"
#include "session.h"
#include "settings/extract_options.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

// The common dialog's own controls, by the platform's numbers: the list of
// file types, and the "Hilfe" button, shown when the link options are.
const int kFileTypes = cmb1;
const int kHelpButton = pshHelp;

// The link options below the dialog, ExtractOption bit i in check box
// IDC_SAVE_TEXT_FOLLOW_INTERNAL + i.
ExtractOptions checkedOptions(HWND dialog) {
    ExtractOptions options = 0;
    for (int bit = 0; bit < 6; ++bit)
        if (isChecked(findControl(dialog, IDC_SAVE_TEXT_FOLLOW_INTERNAL + bit)))
            options |= 1u << bit;
    return options;
}

bool isPage(const std::string& name) {
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    return extension == ".htm" || extension == ".html";
}

struct SavedLink {
    std::string target;  // the file named, without the fragment
    bool isDocument;     // a link to a page (href, action), not a picture
};

// The links of a saved page that name no scheme: the values of the link
// attributes, in either quotes or none, outside comments.
std::vector<SavedLink> localLinks(const std::string& source) {
    static const char* const attributes[] = {"href=", "src=", "background=", "code=", "action=", "usemap="};
    std::string page = source;
    for (size_t open = page.find("<!--"); open != std::string::npos; open = page.find("<!--", open)) {
        size_t close = page.find("-->", open);
        page.erase(open, close == std::string::npos ? std::string::npos : close + 3 - open);
    }
    std::string lower = page;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<SavedLink> links;
    for (const char* attribute : attributes) {
        std::string name = attribute;
        for (size_t at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
            if (at == 0 || !std::isspace(static_cast<unsigned char>(lower[at - 1])))
                continue;
            size_t start = at + name.size();
            size_t end;
            if (start < page.size() && (page[start] == '"' || page[start] == '\'')) {
                char quote = page[start++];
                end = page.find(quote, start);
            } else {
                end = page.find_first_of(" >\r\n", start);
            }
            std::string value = page.substr(start, end == std::string::npos ? std::string::npos : end - start);
            size_t colon = value.find(':');
            if (colon != std::string::npos && colon < value.find_first_of("/#"))
                continue;
            bool document = name == "href=" || name == "action=";
            links.push_back({value.substr(0, value.find('#')), document});
        }
    }
    return links;
}

}  // namespace

TEST_CASE_FIXTURE(SaveSession, "the save dialog for pictures: plain for one, a fixed name field for several") {
    TempFolder target("save-pictures");
    startOn(fixtureCache("save"), "www.dokumente.de");

    SUBCASE("one picture") {
        HWND dialog = openSaveDialogFor({"http://www.dokumente.de/bild.gif"});
        CHECK(controlText(nameField(dialog)) == "bild.gif");
        CHECK(controlText(findControl(dialog, kFileTypes)) == "GIF-Dateien (*.gif)");
        CHECK(findControl(dialog, IDC_SAVE_TEXT_FOLLOW_INTERNAL) == nullptr);
        HWND help = findControl(dialog, kHelpButton);
        CHECK((help == nullptr || !IsWindowVisible(help)));
        click(findControl(dialog, IDCANCEL));
        CHECK(app.waitUntilGone(dialog));
    }
    SUBCASE("several pictures") {
        HWND dialog = openSaveDialogFor({"http://www.dokumente.de/bild.gif", "http://www.dokumente.de/foto.jpg"});
        HWND name = findControl(dialog, IDC_SAVE_FILE_NAME);
        CHECK(controlText(name) == "(Mehrere Dateien)");
        CHECK_FALSE(IsWindowEnabled(name));
        CHECK(controlText(findControl(dialog, kFileTypes)) == "Alle Dateien (*.*)");
        CHECK(findControl(dialog, IDC_SAVE_TEXT_FOLLOW_INTERNAL) == nullptr);
        CHECK(IsWindowVisible(findControl(dialog, kHelpButton)));
        // Only the folder counts; the documents keep their own names.
        saveTo(dialog, target.path() + "\\(Mehrere Dateien)");
        Files files = waitForSave(app, target, {"bild.gif", "foto.jpg"});
        CHECK(files["bild.gif"].compare(0, 6, "GIF89a") == 0);
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(SaveSession,
                  "the link options of a page, each on and off, decide what comes along, and are remembered") {
    TempFolder first("save-options");
    TempFolder second("save-options");
    TempFolder third("save-options");
    // Internal text links, missing text links and external media links, and
    // the other three.
    const ExtractOptions someOptions = TextFollowInternal | TextReplaceMissing | MediaFollowExternal;
    const ExtractOptions otherOptions = TextFollowExternal | MediaFollowInternal | MediaReplaceMissing;
    startOn(fixtureCache("save"), "www.dokumente.de");
    HWND dialog = openSaveDialogFor({"http://www.dokumente.de/index.htm"});
    CHECK(controlText(findControl(dialog, IDC_SAVE_FILE_NAME)) == "index.htm");
    CHECK(controlText(findControl(dialog, kFileTypes)) == "HTML-Dateien (*.htm, *.html)");
    CHECK(IsWindowVisible(findControl(dialog, kHelpButton)));
    CHECK(checkedOptions(dialog) == kAllExtractOptions);
    // The linked page and the missing-link page come along, the picture
    // stays a link to its URL.
    chooseOptions(dialog, someOptions);
    saveTo(dialog, first.path() + "\\index.htm");
    Files files = waitForSave(app, first, {"index.htm", "missing.htm", "seite.htm"});
    CHECK(files["index.htm"] ==
          "<html><head><title>Dokumente</title></head>\r\n<body>\r\n<a href=\"seite.htm\">Seite</a>\r\n"
          "<img src=\"http://www.dokumente.de/bild.gif\">\r\n"
          "<a href=\"missing.htm#{http://www.dokumente.de/weg.htm}\">weg</a>\r\n</body></html>\r\n");

    dialog = openSaveDialogFor({"http://www.dokumente.de/index.htm"});
    CHECK(checkedOptions(dialog) == someOptions);
    // The picture comes along, the page does not.
    chooseOptions(dialog, otherOptions);
    saveTo(dialog, second.path() + "\\index.htm");
    files = waitForSave(app, second, {"bild.gif", "index.htm"});
    CHECK(files["index.htm"] ==
          "<html><head><title>Dokumente</title></head>\r\n<body>\r\n"
          "<a href=\"http://www.dokumente.de/seite.htm\">Seite</a>\r\n<img src=\"bild.gif\">\r\n"
          "<a href=\"http://www.dokumente.de/weg.htm\">weg</a>\r\n</body></html>\r\n");
    REQUIRE(app.closeThroughMenu());

    // The choice outlives the program. With no option on exactly the page
    // is saved, under the name typed, with its links to their URLs.
    start("www.dokumente.de");
    dialog = openSaveDialogFor({"http://www.dokumente.de/index.htm"});
    CHECK(checkedOptions(dialog) == otherOptions);
    chooseOptions(dialog, 0);
    saveTo(dialog, third.path() + "\\Kopie ohne Endung");
    files = waitForSave(app, third, {"Kopie ohne Endung"});
    CHECK(files["Kopie ohne Endung"].find("<img src=\"http://www.dokumente.de/bild.gif\">") != std::string::npos);
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(SaveSession, "a folder of the sample cache is saved whole, its links pointing into it") {
    TempFolder target("save-sample");
    startOn(winePath(std::string(TARN_BINARY_DIR) + "/sample-cache"), "www.brandtmeier.de");
    HWND dialog = openSaveDialogFor({"http://www.brandtmeier.de/"});
    CHECK(controlText(findControl(dialog, IDC_SAVE_FILE_NAME)) == "Brandtmeier Feinwerktechnik.htm");
    saveTo(dialog, target.path() + "\\Brandtmeier Feinwerktechnik.htm");

    // The pages with their links rewritten; everything else copied from
    // the cache as it is.
    Files expected = sourceFiles("expected/sample_brandtmeier");
    const std::map<std::string, std::string> copies = {
        {"Drehzahl.class", "M0A3C10D.cla"}, {"logo.gif", "M0A3C10B.gif"},  {"navleiste.gif", "M0A3C108.gif"},
        {"papier.gif", "M0A3C109.gif"},     {"welle.jpg", "M0A3C10C.jpg"}, {"werk.jpg", "M0A3C10A.jpg"}};
    std::string cache = winePath(std::string(TARN_BINARY_DIR) + "/sample-cache");
    for (const auto& copy : copies)
        expected[copy.first] = readWholeFile(cache + "\\" + copy.second);
    Files saved = waitForSave(app, target, namesOf(expected));
    checkSameFiles(saved, expected);

    for (const auto& file : saved) {
        if (!isPage(file.first))
            continue;
        for (const SavedLink& link : localLinks(file.second)) {
            // A missing page is replaced by the missing-link page, a missing
            // picture by a name that shows as a broken picture offline.
            bool missing = link.target == "missing.htm" || (link.target == "missing" && !link.isDocument);
            CHECK_MESSAGE((saved.count(link.target) == 1 || missing), file.first << ": " << link.target);
        }
    }
    REQUIRE(app.closeThroughMenu());
}

namespace {

// Lets the program's main thread run one tenth of the time, so that a save
// lasts long enough to be watched and cancelled however fast the machine is.
class Throttle {
public:
    explicit Throttle(HANDLE thread) : thread_(thread) {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        worker_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~Throttle() {
        SetEvent(stop_);
        WaitForSingleObject(worker_, INFINITE);
        CloseHandle(worker_);
        CloseHandle(stop_);
    }
    Throttle(const Throttle&) = delete;
    Throttle& operator=(const Throttle&) = delete;

private:
    static DWORD WINAPI run(void* parameter) {
        Throttle* self = static_cast<Throttle*>(parameter);
        for (;;) {
            SuspendThread(self->thread_);
            bool stop = WaitForSingleObject(self->stop_, 90) == WAIT_OBJECT_0;
            ResumeThread(self->thread_);
            if (stop || WaitForSingleObject(self->stop_, 10) == WAIT_OBJECT_0)
                return 0;
        }
    }

    HANDLE thread_;
    HANDLE stop_;
    HANDLE worker_;
};

}  // namespace

TEST_CASE_FIXTURE(SaveSession, "a long save shows its progress and stops at Abbrechen") {
    TempFolder target("save-progress");
    startOn(fixtureCache("save"), "gross.example.de");
    HWND dialog = openSaveDialogFor({"http://gross.example.de/teil1.dat", "http://gross.example.de/teil2.dat",
                                     "http://gross.example.de/teil3.dat", "http://gross.example.de/teil4.dat"});
    saveTo(dialog, target.path() + "\\(Mehrere Dateien)");
    std::unique_ptr<Throttle> slowly(new Throttle(app.mainThread()));

    HWND progress = findProgramWindow(app, "Extrahieren...", 60000);
    REQUIRE(progress);
    std::string source = controlText(findControl(progress, IDC_PROGRESS_SOURCE));
    std::string destination = controlText(findControl(progress, IDC_PROGRESS_TARGET));
    CHECK(source.compare(0, 27, "http://gross.example.de/tei") == 0);
    CHECK(destination == source.substr(source.rfind('/') + 1));
    CHECK(SendMessageA(findControl(progress, IDC_PROGRESS_BAR), PBM_GETRANGE, FALSE, 0) == 4);
    CHECK_FALSE(IsWindowEnabled(app.mainWindow()));

    click(findControl(progress, IDCANCEL));
    REQUIRE(app.waitUntilGone(progress, 30000));
    slowly.reset();
    CHECK(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }));
    // Cut short where it stood: not everything is there, and no message.
    Files files = filesIn(target);
    size_t written = 0;
    for (const auto& file : files)
        written += file.second.size();
    CHECK(written < 4 * 8000000u);
    CHECK(files.count("missing.htm") == 0);
    CHECK(programWindows(app).size() == 1);
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(SaveSession, "names taken in the folder: one question for all, or Abbrechen, which saves nothing") {
    TempFolder target("save-duplicates");
    target.write("bild.gif", "mein Bild");
    target.write("seite.htm", "meine Seite");
    startOn(fixtureCache("save"), "www.dokumente.de");
    HWND dialog = openSaveDialogFor({"http://www.dokumente.de/bild.gif", "http://www.dokumente.de/index.htm",
                                     "http://www.dokumente.de/foto.jpg", "http://www.dokumente.de/seite.htm"});
    saveTo(dialog, target.path() + "\\(Mehrere Dateien)");
    HWND question = findProgramWindow(app, "Doppelter Dateiname");
    REQUIRE(question);
    CHECK(controlText(findControl(question, IDC_DUPLICATE_FILE_NAME)) == "bild.gif");
    // A first question proposes a new name.
    CHECK(isChecked(findControl(question, IDC_DUPLICATE_RENAME)));

    SUBCASE("OK für Alle") {
        REQUIRE(setChecked(findControl(question, IDC_DUPLICATE_OVERWRITE), true));
        click(findControl(question, IDC_DUPLICATE_OK_FOR_ALL));
        Files files = waitForSave(app, target, {"bild.gif", "foto.jpg", "index.htm", "missing.htm", "seite.htm"});
        CHECK(files["bild.gif"].compare(0, 6, "GIF89a") == 0);
        CHECK(files["seite.htm"] == "<html><head><title>Seite</title></head><body>Eine Seite.</body></html>\r\n");
        CHECK(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }));
        CHECK(programWindows(app).size() == 1);
    }
    SUBCASE("Abbrechen") {
        click(findControl(question, IDCANCEL));
        REQUIRE(app.waitUntilGone(question));
        // The save has ended once the main window is enabled again; what
        // it still posted is handled before the folder is looked at.
        CHECK(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }));
        REQUIRE(app.sync());
        Files files = filesIn(target);
        CHECK(namesOf(files) == std::vector<std::string>{"bild.gif", "seite.htm"});
        CHECK(files["bild.gif"] == "mein Bild");
        CHECK(programWindows(app).size() == 1);
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE_FIXTURE(SaveSession, "a chosen folder that is not there is reported and nothing is written anywhere") {
    TempFolder target("save-gone");
    startOn(fixtureCache("save"), "www.dokumente.de");
    HWND dialog = openSaveDialogFor({"http://www.dokumente.de/bild.gif", "http://www.dokumente.de/foto.jpg"});
    // With a fixed name field the dialog does not check what it returns.
    saveTo(dialog, target.path() + "\\gibt es nicht\\(Mehrere Dateien)");
    REQUIRE(app.waitUntilGone(dialog));
    HWND box = app.findMessageBox(10000);
    REQUIRE(box);
    CHECK(app.messageBoxText(box) == "Eine oder mehrere Dateien konnten nicht kopiert werden!");
    app.pressButton(box, IDOK);
    REQUIRE(app.waitUntilGone(box));
    CHECK(filesIn(target).empty());
    // Nor in the folder the program was started in, which is its current one.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    CHECK(GetFileAttributesA((std::string(current) + "\\bild.gif").c_str()) == INVALID_FILE_ATTRIBUTES);
    REQUIRE(app.closeThroughMenu());
}
