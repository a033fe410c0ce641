// Files that fail the program while it works: a disk that fills up and a
// folder that turns read-only under a save, cached files deleted or locked
// by another program after the scan, the index locked or cut short before a
// reload. Each time the program says so in its own words, leaves no part of
// a file behind, keeps what it wrote before, and goes on answering.
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app_driver.h"
#include "dialog_driver.h"
#include "doctest.h"
#include "extract/save_folder.h"
#include "menu_commands.h"
#include "program_state.h"
#include "resources/dialog_ids.h"
#include "save_driver.h"
#include "search_driver.h"
#include "shown_documents.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

const char kCopyFailed[] = "Eine oder mehrere Dateien konnten nicht kopiert werden!";
const int kProperties = 1106;

// The Linux path of a Windows one, as Wine maps it; "" when it has none.
std::string linuxPathOf(const std::string& path) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!toUnix || MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) <= 0)
        return "";
    char* unix = toUnix(wide);
    if (!unix)
        return "";
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs a Linux shell command and waits for it to end. Wine hands back no
// reliable end or exit code of a Linux process: the command marks its end
// with a file, and callers check what it did.
void runShell(const std::string& command) {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    const std::string done = std::string(base) + "tarn-shell-" + std::to_string(GetTickCount()) + ".done";
    DeleteFileA(done.c_str());
    std::string line = "/bin/sh -c \"" + command + "; touch '" + linuxPathOf(done) + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    waitUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
    DeleteFileA(done.c_str());
}

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

// Whether a new file can be made in the folder (it is removed again).
bool writable(const std::string& folder) {
    std::string probe = folder + "\\probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool whole = WriteFile(file, "x", 1, &written, nullptr) && written == 1;
    CloseHandle(file);
    DeleteFileA(probe.c_str());
    return whole;
}

// A small disk: a memory file system of `kilobytes` mounted on a folder of
// `base`, and the drive T: of the Wine prefix on it. Unmounted and the
// drive removed again with the object, a failed check or not.
class SmallDrive {
public:
    SmallDrive(const TempFolder& base, int kilobytes) {
        base.makeFolder("disk");
        mountPoint_ = linuxPathOf(base.file("disk"));
        std::string devices = linuxPathOf("C:\\");
        size_t cut = devices.rfind("/c:");
        if (mountPoint_.empty() || cut == std::string::npos)
            return;
        // A drive T: of the prefix, even a broken link, is left alone.
        if (GetFileAttributesA("T:\\") != INVALID_FILE_ATTRIBUTES)
            return;
        link_ = devices.substr(0, cut) + "/t:";
        runShell("mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs " + quoted(mountPoint_) +
                 " && ln -s " + quoted(mountPoint_) + " " + quoted(link_));
        ULARGE_INTEGER free = {}, total = {};
        linked_ = GetDiskFreeSpaceExA("T:\\", &free, &total, nullptr) != FALSE;
        ready_ = linked_ && total.QuadPart <= static_cast<ULONGLONG>(kilobytes) * 1024;
    }
    ~SmallDrive() {
        if (link_.empty())
            return;
        runShell((linked_ ? "rm -f " + quoted(link_) + "; " : std::string()) + "umount -l " + quoted(mountPoint_) +
                 " 2>/dev/null");
    }
    SmallDrive(const SmallDrive&) = delete;
    SmallDrive& operator=(const SmallDrive&) = delete;

    bool ready() const { return ready_; }
    std::string path() const { return "T:"; }

private:
    std::string mountPoint_;
    std::string link_;
    bool linked_ = false;
    bool ready_ = false;
};

// The folder made read-only from now on, by a read-only mount of it over
// itself (as root no permission stops a write); writable again with the
// object.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const std::string& folder) : linuxPath_(linuxPathOf(folder)) {
        if (linuxPath_.empty())
            return;
        runShell("mount --bind " + quoted(linuxPath_) + " " + quoted(linuxPath_) + " && mount -o remount,bind,ro " +
                 quoted(linuxPath_) + " " + quoted(linuxPath_));
        ready_ = !writable(folder);
    }
    ~ReadOnlyFolder() {
        if (!linuxPath_.empty())
            runShell("umount -l " + quoted(linuxPath_) + " 2>/dev/null");
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ready() const { return ready_; }

private:
    std::string linuxPath_;
    bool ready_ = false;
};

// A file held open by this process with no sharing, as another program may
// hold it: nobody else can open it meanwhile.
class LockedFile {
public:
    explicit LockedFile(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
        REQUIRE_MESSAGE(file_ != INVALID_HANDLE_VALUE, path);
    }
    ~LockedFile() { CloseHandle(file_); }
    LockedFile(const LockedFile&) = delete;
    LockedFile& operator=(const LockedFile&) = delete;

private:
    HANDLE file_;
};

// The program's message box, its text, closed with OK.
std::string answerMessage(AppDriver& app, DWORD timeoutMs = 20000) {
    std::string text = takeMessageBox(app, timeoutMs);
    return text.empty() ? "<no message>" : text;
}

// The program is done with what it was doing, answers, and ends through
// "Beenden" with exit code 0.
void checkStillAnswersAndEnds(AppDriver& app) {
    CHECK(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }, 20000));
    CHECK(app.sync());
    CHECK(programWindows(app).size() == 1);
    REQUIRE(app.closeThroughMenu());
    CHECK(app.exitCode() == 0);
}

// Every file in the folder is one a whole save writes, byte for byte; the
// files of `allowed` may also be there as they were, and empty files where
// `emptyAllowed`.
void checkOnlyWholeFiles(const Files& left, const Files& whole, const Files& allowed = {}, bool emptyAllowed = false) {
    for (const auto& file : left) {
        CAPTURE(file.first);
        auto kept = allowed.find(file.first);
        if ((kept != allowed.end() && kept->second == file.second) || (emptyAllowed && file.second.empty()))
            continue;
        auto saved = whole.find(file.first);
        REQUIRE(saved != whole.end());
        CHECK(file.second.size() == saved->second.size());
        CHECK(file.second == saved->second);
    }
}

const char kSampleHost[] = "www.brandtmeier.de";
const char kSamplePage[] = "Brandtmeier Feinwerktechnik.htm";

// The sample cache's host saved with every link option into a roomy
// folder: what a whole save writes.
Files saveSampleHostWhole(SaveSession& session, const TempFolder& roomy) {
    HWND dialog = session.openSaveDialogFor({"http://www.brandtmeier.de/"});
    chooseOptions(dialog, kAllExtractOptions);
    saveTo(dialog, roomy.file(kSamplePage));
    std::vector<std::string> names = namesOf(sourceFiles("expected/sample_brandtmeier"));
    for (const char* copy : {"Drehzahl.class", "logo.gif", "navleiste.gif", "papier.gif", "welle.jpg", "werk.jpg"})
        names.push_back(copy);
    std::sort(names.begin(), names.end());
    Files whole = waitForSave(session.app, roomy, names);
    REQUIRE(namesOf(whole) == names);
    return whole;
}

}  // namespace

TEST_CASE_FIXTURE(SaveSession,
                  "a save onto a disk that fills up stops with the copy message and keeps whole files only") {
    TempFolder roomy("errors-roomy");
    TempFolder mounts("errors-disk");
    startOn(winePath(std::string(TARN_BINARY_DIR) + "/sample-cache"), kSampleHost);
    const Files whole = saveSampleHostWhole(*this, roomy);

    // Room for about half of the files, a page of the file system each.
    SmallDrive drive(mounts, 32);
    if (!drive.ready()) {
        MESSAGE("no small disk could be mounted here (root and mount are needed): not checked");
        REQUIRE(app.closeThroughMenu());
        return;
    }
    HWND dialog = openSaveDialogFor({"http://www.brandtmeier.de/"});
    chooseOptions(dialog, kAllExtractOptions);
    saveTo(dialog, drive.path() + "\\" + kSamplePage);
    CHECK(answerMessage(app) == kCopyFailed);
    REQUIRE(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }, 20000));
    REQUIRE(app.sync());

    const Files left = filesIn(drive.path());
    CHECK(left.size() >= 2);
    CHECK(left.size() < whole.size());
    checkOnlyWholeFiles(left, whole);
    checkStillAnswersAndEnds(app);
}

TEST_CASE_FIXTURE(SaveSession,
                  "a folder that turns read-only during a save: the copy message, the files before stay whole") {
    TempFolder roomy("errors-roomy");
    TempFolder base("errors-readonly");
    base.makeFolder("ziel");
    const std::string target = base.file("ziel");
    // A picture the pages link to is there already: the save asks about it
    // while following the links, after the first page is written.
    const Files mine = {{"logo.gif", "mein Logo"}};
    base.write("ziel\\logo.gif", mine.at("logo.gif"));
    startOn(winePath(std::string(TARN_BINARY_DIR) + "/sample-cache"), kSampleHost);
    const Files whole = saveSampleHostWhole(*this, roomy);

    HWND dialog = openSaveDialogFor({"http://www.brandtmeier.de/"});
    chooseOptions(dialog, kAllExtractOptions);
    saveTo(dialog, target + "\\" + kSamplePage);
    HWND question = findProgramWindow(app, "Doppelter Dateiname", 20000);
    REQUIRE(question);
    CHECK(controlText(findControl(question, IDC_DUPLICATE_FILE_NAME)) == "logo.gif");
    // The page being written is open in the program: read shared.
    Files before;
    for (const std::string& name : fileNamesIn(target))
        before[name] = fileBytes(target + "\\" + name);
    CHECK(before.size() >= 2);
    {
        ReadOnlyFolder readOnly(target);
        if (!readOnly.ready()) {
            MESSAGE("the folder could not be made read-only here (root and mount are needed): not checked");
            click(findControl(question, IDCANCEL));
            REQUIRE(app.waitUntilGone(question));
            checkStillAnswersAndEnds(app);
            return;
        }
        // Replacing the picture fails on the read-only folder, and so
        // does every write after it.
        REQUIRE(setChecked(findControl(question, IDC_DUPLICATE_OVERWRITE), true));
        click(findControl(question, IDOK));
        REQUIRE(app.waitUntilGone(question));
        CHECK(answerMessage(app) == kCopyFailed);
        REQUIRE(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }, 20000));
        REQUIRE(app.sync());
    }
    const Files left = filesIn(target);
    // What was written whole before stays; the user's picture is untouched.
    // The names the save had claimed with an empty file before the folder
    // turned read-only cannot be removed any more: they stay empty.
    for (const auto& file : before)
        if (!file.second.empty())
            CHECK(left.count(file.first) == 1);
    CHECK(left.at("logo.gif") == "mein Logo");
    checkOnlyWholeFiles(left, whole, mine, true);
    checkStillAnswersAndEnds(app);
}

namespace {

// Selects exactly the row of the document with `url`.
void selectOnly(AppDriver& app, const std::string& url) {
    for (int row = 0; row < app.listCount(); ++row)
        if (app.listCell(row, 2) == url) {
            REQUIRE(app.selectListRows({row}));
            return;
        }
    FAIL(url);
}

// Cuts the file to `size` bytes, as a crash of the program writing it may.
void cutFile(const std::string& path, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    SetFilePointer(file, static_cast<LONG>(size), nullptr, FILE_BEGIN);
    CHECK(SetEndOfFile(file));
    CloseHandle(file);
}

}  // namespace

TEST_CASE_FIXTURE(SaveSession,
                  "a cached file deleted or locked after the scan: save, content search, properties, delete") {
    CacheCopy cache("save");
    TempFolder target("errors-gone");
    const std::string pageUrl = "http://www.dokumente.de/seite.htm";
    const std::string pageFile = cache.file("M0E40002.htm");
    const std::string index = fileBytes(cache.file("FAT.DB"));
    startOn(cache.path(), "www.dokumente.de");
    std::unique_ptr<LockedFile> lock;
    bool locked = false;
    SUBCASE("deleted") {
        REQUIRE(DeleteFileA(pageFile.c_str()));
    }
    SUBCASE("locked by another program") {
        lock.reset(new LockedFile(pageFile));
        locked = true;
    }

    // The picture before it is saved whole; the page fails, and no file of
    // it is left.
    HWND dialog = openSaveDialogFor({"http://www.dokumente.de/foto.jpg", pageUrl});
    saveTo(dialog, target.path() + "\\(Mehrere Dateien)");
    CHECK(answerMessage(app) == kCopyFailed);
    REQUIRE(waitUntil([&] { return IsWindowEnabled(app.mainWindow()) != FALSE; }, 20000));
    REQUIRE(app.sync());
    CHECK(filesIn(target) == Files{{"foto.jpg", fileBytes(cache.file("M0E40004.jpg"))}});

    // The content search reads every other document: the start page links
    // to "Seite".
    REQUIRE(startContentSearch(app, "Seite", SCOPE_CACHE));
    REQUIRE(app.waitUntilIdle());
    CHECK(app.folderLabels("Suchergebnisse") == std::vector<std::string>{"www.dokumente.de"});
    REQUIRE(selectFolderUnder(app, "Suchergebnisse", "www.dokumente.de"));
    CHECK(listTitles(app) == std::vector<std::string>{"Dokumente"});

    // The properties come from the index alone.
    REQUIRE(selectFolderUnder(app, "Netscape Cache", "www.dokumente.de"));
    selectOnly(app, pageUrl);
    REQUIRE(focusList(app));
    postCommand(app, kProperties);
    HWND sheet = findDialogShowing(app, IDC_PROP_TITLE, "Seite");
    REQUIRE(sheet);
    CHECK(controlText(findControl(sheet, IDC_PROP_LOCAL_FILE)) == "M0E40002.htm");
    click(findControl(sheet, IDCANCEL));
    REQUIRE(app.waitUntilGone(sheet));

    // Deleting for good: a file that is not there is not asked about, and
    // its document goes; a locked one is, and the shell fails to delete it:
    // the document stays.
    selectOnly(app, pageUrl);
    REQUIRE(focusList(app));
    app.pressKey(VK_DELETE, kShift);
    REQUIRE(app.sync());
    HWND question = app.findMessageBox(0);
    CHECK((question != nullptr) == locked);
    if (question) {
        CHECK(app.shellQuestion(question).find("M0E40002.htm' l") != std::string::npos);
        app.pressButton(question, IDYES);
        REQUIRE(app.waitUntilGone(question));
        REQUIRE(app.sync());
        // Whatever the shell says about its failure is answered.
        if (HWND failure = app.findMessageBox(0)) {
            app.pressButton(failure, IDOK);
            REQUIRE(app.waitUntilGone(failure));
        }
        lock.reset();
        CHECK(fileBytes(pageFile) != "<missing>");
        CHECK(listTitles(app) == std::vector<std::string>{"bild.gif", "Dokumente", "foto.jpg", "Seite"});
    } else {
        CHECK(listTitles(app) == std::vector<std::string>{"bild.gif", "Dokumente", "foto.jpg"});
    }
    CHECK(fileBytes(cache.file("FAT.DB")) == index);
    checkStillAnswersAndEnds(app);
}

TEST_CASE_FIXTURE(ProgramSession,
                  "the index locked or cut short before a reload: the intact documents, the index untouched") {
    CacheCopy cache("damaged-base");
    const std::map<std::string, WrittenDocument> written = writtenDocuments();
    const std::string index = cache.file("FAT.DB");
    const std::string whole = fileBytes(index);
    startOn(cache.path());
    if (!app.listShowsDetails())
        app.command(kDetails);
    const Shown before = shownDocuments(app);
    REQUIRE(before.files.size() == written.size());

    SUBCASE("locked by the browser: told so, and what was read stays on show") {
        {
            LockedFile lock(index);
            app.pressKey(VK_F5);
            CHECK(answerMessage(app) == kNoCacheDirectoryText);
            REQUIRE(app.waitUntilIdle());
            const Shown shown = shownDocuments(app);
            CHECK(shown.files == before.files);
            CHECK(shown.hosts == before.hosts);
        }
        app.pressKey(VK_F5);
        REQUIRE(app.waitUntilIdle());
        CHECK_FALSE(app.findMessageBox(0));
        CHECK(shownDocuments(app).files == before.files);
        CHECK(fileBytes(index) == whole);
    }
    // Cut as the damaged copies of the index are, whose intact documents
    // are known.
    for (const char* variant : {"cut-page-7", "cut-inside-page-7", "cut-header-page"}) {
        SUBCASE(variant) {
            const std::string cut = fileBytes(damagedCache(variant) + "\\FAT.DB");
            cutFile(index, cut.size());
            REQUIRE(fileBytes(index) == cut);
            app.pressKey(VK_F5);
            REQUIRE(app.waitUntilIdle());
            CHECK(app.sync());
            CHECK_FALSE(app.findMessageBox(0));
            checkShown(shownDocuments(app), written, tabbedLines(fileBytes(damagedCache(variant) + "\\intact.tsv")));
            CHECK(fileBytes(index) == cut);
        }
    }
    checkStillAnswersAndEnds(app);
}
