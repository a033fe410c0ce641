// The program built with the failing allocator (tarnview_failing.exe),
// walked through a start on the sample cache, a reload, a save of one host
// with every link option and a content search, one allocation failing a
// run: the first, then the next, until a run gets through without meeting
// its failure. Every run ends in the out-of-memory box, after which the
// program ends or goes on, or in what a run without a failure shows; never
// in a crash, a hang or a saved file cut short.
//
// TARN_ALLOCATION_STRIDE=K walks every K-th allocation only (from
// TARN_ALLOCATION_FIRST, 1 unless set); the test run of ./tarn test takes
// every 24th, the sweep group (./tarn test sweep/) every one.
#include <windows.h>

#include <cstdlib>
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
#include "save_driver.h"
#include "search_driver.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

const char kHost[] = "www.brandtmeier.de";
const char kSavedUrl[] = "http://www.brandtmeier.de/";
const char kSavedName[] = "Brandtmeier Feinwerktechnik.htm";
const char kWord[] = "Drehzahl";
const char kCacheRoot[] = "Netscape Cache";
const char kResults[] = "Suchergebnisse";
const char kOutOfMemoryCaption[] = "Zuwenig Arbeitsspeicher!";
const char kSearchCaption[] = "Dokumentinhalte durchsuchen";
const char kFailedEvent[] = "TarnAllocationFailed";
const int kDetails = 1306;
const DWORD kStepTimeoutMs = 30000;

// What the walk shows after each step.
struct Shown {
    std::vector<std::string> hosts;       // after the start and the reload
    Files saved;                          // the save's folder
    std::vector<std::string> found;       // the hosts under the results
};

enum Step { STEP_START, STEP_RELOAD, STEP_SAVE, STEP_SEARCH, STEP_END };
const char* const kStepNames[] = {"start", "reload", "save", "search", "end"};

// Closes the out-of-memory box of a process whenever it shows, from a
// thread of its own: the program may show it while handling a message the
// test sent it, and the test's thread waits for the answer meanwhile.
class BoxCloser {
public:
    BoxCloser() {
        stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }
    ~BoxCloser() {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
    }
    BoxCloser(const BoxCloser&) = delete;
    BoxCloser& operator=(const BoxCloser&) = delete;

    void watch(DWORD processId) { processId_ = processId; }
    bool seen() const { return seen_ != 0; }

private:
    static DWORD WINAPI run(void* parameter) {
        BoxCloser& closer = *static_cast<BoxCloser*>(parameter);
        while (WaitForSingleObject(closer.stop_, 20) == WAIT_TIMEOUT)
            EnumWindows(closeBox, reinterpret_cast<LPARAM>(&closer));
        return 0;
    }

    static BOOL CALLBACK closeBox(HWND window, LPARAM parameter) {
        BoxCloser& closer = *reinterpret_cast<BoxCloser*>(parameter);
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        char caption[64] = "";
        if (processId == closer.processId_ && processId != 0 && IsWindowVisible(window) &&
            GetWindowTextA(window, caption, sizeof caption) > 0 && std::string(caption) == kOutOfMemoryCaption) {
            InterlockedExchange(&closer.seen_, 1);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }

    HANDLE stop_;
    HANDLE thread_;
    volatile DWORD processId_ = 0;
    volatile LONG seen_ = 0;
};

// One run of the walk with the n-th allocation failing (0: none).
class FailingRun {
public:
    FailingRun(long failAt, HANDLE failedEvent) : failed_(failedEvent) {
        app_.useProgram(winePath(std::string(TARN_BINARY_DIR) + "/tests/e2e/tarnview_failing.exe"));
        SetEnvironmentVariableA("TARN_FAIL_ALLOCATION", std::to_string(failAt).c_str());
        SetEnvironmentVariableA("TARN_FAILED_EVENT", kFailedEvent);
        SetEnvironmentVariableA("TARN_FAILED_CALLER", callersFile().c_str());
        DeleteFileA(callersFile().c_str());
        ResetEvent(failed_);
    }

    // Where the program writes the addresses of the code whose allocation
    // failed, for addr2line on tarnview_failing.exe.
    static std::string callersFile() {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        return std::string(folder) + "tarn-failed-callers.txt";
    }

    static std::string failedCallers() {
        std::string text = fileBytes(callersFile());
        for (char& c : text)
            if (c == '\n')
                c = ' ';
        return text;
    }

    // Walks the steps up to the one in which the failure struck; "" when
    // the run ended as it must, else what went wrong.
    std::string walk(const Shown* reference, Shown& shown) {
        const Shown empty;
        const Shown& expected = reference ? *reference : empty;
        if (!app_.launch())
            return "the program did not start";
        boxes_.watch(app_.processId());
        for (step_ = STEP_START; step_ < STEP_END; step_ = static_cast<Step>(step_ + 1)) {
            std::string trouble = runStep(expected, shown);
            if (!trouble.empty())
                return trouble;
            if (!app_.running())
                return ended();
            if (faultMet())
                return finishAfterFault(expected, shown);
        }
        return close();
    }

    bool faultMet() const { return WaitForSingleObject(failed_, 0) == WAIT_OBJECT_0; }
    Step step() const { return step_; }

private:
    std::string runStep(const Shown& expected, Shown& shown) {
        switch (step_) {
        case STEP_START:
            if (!await([&] { return ready(); }))
                return "no window ready after the start";
            shown.hosts = app_.folderLabels(kCacheRoot);
            return "";
        case STEP_RELOAD:
            postCommand(app_, kReload);
            if (!await([&] { return app_.sync(1000) && ready(); }))
                return "the reload did not end";
            shown.hosts = app_.folderLabels(kCacheRoot);
            return "";
        case STEP_SAVE:
            return save(expected, shown);
        case STEP_SEARCH:
            return search(expected, shown);
        case STEP_END:
            break;
        }
        return "";
    }

    // Polls `done` until it holds or the program has ended; false on a
    // hang. A dialog that stays open after the box, for the user to try
    // again, is cancelled.
    template <class Done>
    bool await(Done done) {
        return waitUntil(
            [&] {
                if (boxSeen())
                    cancelDialogs();
                return !app_.running() || done();
            },
            kStepTimeoutMs);
    }

    bool boxSeen() const { return boxes_.seen(); }

    void cancelDialogs() {
        for (HWND window : programWindows(app_)) {
            char caption[64] = "";
            GetWindowTextA(window, caption, sizeof caption);
            std::string shown = caption;
            if (shown == kSaveCaption || shown == kSearchCaption)
                PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        }
    }

    // The window is up, its tree filled and no run in flight, and nothing
    // modal stands in front of it.
    bool ready() {
        HWND main = app_.findMainWindow();
        return main && IsWindowEnabled(main) && !app_.treeNodes().empty() && !runShowing(app_) &&
               programWindows(app_).size() == 1;
    }

    std::string save(const Shown& expected, Shown& shown) {
        target_.reset(new TempFolder("alloc-save"));
        // Opening the folder fills the list, which may fail too.
        if (!await([&] { return boxSeen() || selectSavedDocument(); }))
            return "the document to save could not be selected";
        if (boxSeen())
            return "";
        postCommand(app_, kSaveAs);
        HWND dialog = nullptr;
        if (!await([&] { return boxSeen() || (dialog = programDialogCalled(kSaveCaption)) != nullptr; }))
            return "neither the save dialog nor the box came";
        if (dialog) {
            chooseOptions(dialog, kAllExtractOptions);
            saveTo(dialog, target_->file(kSavedName));
        }
        // The save has ended when the window is free again after a message
        // of the test went through: the save handles messages only while
        // the window is disabled. Then the folder must hold what a save
        // without a failure wrote, unless the box came.
        bool ended = await([&] {
            if (!ready() || !app_.sync(2000) || !ready())
                return false;
            std::vector<std::string> names = fileNamesIn(target_->path());
            if (boxSeen())
                return true;
            return expected.saved.empty() ? !names.empty() : names == namesOf(expected.saved);
        });
        if (!ended)
            return "the save did not end; showing: " + windowsShowing();
        shown.saved = filesIn(*target_);
        return "";
    }

    bool selectSavedDocument() {
        if (!app_.selectTreeLabel(kHost))
            return false;
        if (!app_.listShowsDetails())
            app_.command(kDetails);
        int row = -1;
        for (int i = 0; i < app_.listCount(); ++i)
            if (app_.listCell(i, 2) == kSavedUrl)
                row = i;
        return row >= 0 && app_.selectListRow(row) && focusList(app_);
    }

    std::string search(const Shown& expected, Shown& shown) {
        postCommand(app_, kContentSearch);
        HWND dialog = nullptr;
        if (!await([&] { return boxSeen() || (dialog = programDialogCalled(kSearchCaption)) != nullptr; }))
            return "neither the search dialog nor the box came";
        if (dialog) {
            setFieldText(dialog, 101, kWord);
            setChecked(dialog, SCOPE_CACHE, true);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        bool ended = await([&] {
            if (!ready())
                return false;
            shown.found = app_.folderLabels(kResults);
            if (boxSeen())
                return true;
            return expected.found.empty() ? !shown.found.empty() : shown.found == expected.found;
        });
        return ended ? "" : "the search did not end";
    }

    // After the step in which the allocation failed: the box came and the
    // program ended or is ready again, or it showed what a run without the
    // failure shows.
    std::string finishAfterFault(const Shown& expected, Shown& shown) {
        if (!boxSeen()) {
            if ((step_ <= STEP_RELOAD && shown.hosts != expected.hosts) ||
                (step_ == STEP_SAVE && shown.saved != expected.saved) ||
                (step_ == STEP_SEARCH && shown.found != expected.found))
                return std::string("no box, and the ") + kStepNames[step_] + " shows what no run without a failure does";
        }
        // Whatever the save left in its folder it wrote whole.
        for (const auto& file : shown.saved) {
            auto same = expected.saved.find(file.first);
            if (same == expected.saved.end() || same->second != file.second)
                return "the save left " + file.first + " as no save without a failure writes it";
        }
        return close();
    }

    std::string close() {
        if (!app_.running())
            return ended();
        PostMessageA(app_.mainWindow(), WM_CLOSE, 0, 0);
        if (!await([&] { return false; }) && app_.running())
            return "the program did not end when closed";
        return ended();
    }

    // The program ended by itself: with the box, through the exit of a
    // start it could not make.
    std::string ended() {
        DWORD code = app_.exitCode();
        if (code == 0 || (boxSeen() && code == static_cast<DWORD>(-1)))
            return "";
        return "the program ended with code " + std::to_string(code) + (boxSeen() ? " after the box" : ", no box");
    }

    // The captions of the program's windows, for a run that hangs.
    std::string windowsShowing() {
        std::string captions;
        for (HWND window : programWindows(app_)) {
            char text[128] = "";
            GetWindowTextA(window, text, sizeof text);
            std::string said = app_.messageBoxText(window);
            captions += std::string(captions.empty() ? "" : ", ") + "\"" + text + "\"" +
                        (IsWindowEnabled(window) ? "" : " (disabled)") + (said.empty() ? "" : ": " + said);
        }
        return captions;
    }

    HWND programDialogCalled(const char* caption) {
        for (HWND window : programWindows(app_)) {
            char text[128] = "";
            GetWindowTextA(window, text, sizeof text);
            if (std::string(text) == caption)
                return window;
        }
        return nullptr;
    }

    AppDriver app_;
    HANDLE failed_;
    Step step_ = STEP_START;
    BoxCloser boxes_;
    std::unique_ptr<TempFolder> target_;
};

// A number above 0 from the environment, or `standard`.
long numberFromEnvironment(const char* name, long standard) {
    char text[16];
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    long number = length > 0 && length < sizeof text ? std::strtol(text, nullptr, 10) : 0;
    return number > 0 ? number : standard;
}

}  // namespace

TEST_CASE("every allocation of a start, a reload, a save and a search may fail: the box, or a clean result") {
    // The walk deletes nothing: the sample cache itself will do.
    const std::string cache = winePath(std::string(TARN_BINARY_DIR) + "/sample-cache");
    prepareFirstStart(cache);
    HANDLE failed = CreateEventA(nullptr, TRUE, FALSE, kFailedEvent);
    REQUIRE(failed);

    Shown reference;
    {
        FailingRun run(0, failed);
        std::string trouble = run.walk(nullptr, reference);
        REQUIRE_MESSAGE(trouble.empty(), "without a failure: " << trouble);
        REQUIRE(reference.hosts.size() > 3);
        REQUIRE(reference.saved.size() > 5);
        REQUIRE(!reference.found.empty());
    }

    long stride = numberFromEnvironment("TARN_ALLOCATION_STRIDE", 24);
    DWORD began = GetTickCount();
    long runs = 0;
    int perStep[STEP_END + 1] = {};
    for (long failAt = numberFromEnvironment("TARN_ALLOCATION_FIRST", 1);; failAt += stride) {
        prepareFirstStart(cache);
        FailingRun run(failAt, failed);
        Shown shown;
        std::string trouble = run.walk(&reference, shown);
        ++runs;
        CHECK_MESSAGE(trouble.empty(), "allocation " << failAt << " failing in the " << std::string(kStepNames[run.step()])
                                                     << ": " << trouble << " (code: " << FailingRun::failedCallers()
                                                     << ")");
        if (!run.faultMet())
            break;
        ++perStep[run.step()];
    }
    MESSAGE(runs << " runs, every " << stride << ". allocation, in " << (GetTickCount() - began) / 1000 << " s; failures met in "
                 << "the start " << perStep[STEP_START] << ", the reload " << perStep[STEP_RELOAD] << ", the save "
                 << perStep[STEP_SAVE] << ", the search " << perStep[STEP_SEARCH]);
    CloseHandle(failed);
}
