#include "ui/frame/main_window.h"

#include <windowsx.h>

#include <initializer_list>

#include "index/cache_entry.h"
#include "index/cache_location.h"
#include "index/entry_flags.h"
#include "listtips/list_tips.h"
#include "model/cache_model.h"
#include "model/domain_folder.h"
#include "model/hidden_lists.h"
#include "model/loading.h"
#include "resources/resource_ids.h"
#include "search/content_search.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/dialogs/help_call.h"
#include "ui/dialogs/list_format.h"
#include "ui/dialogs/message_box.h"
#include "ui/frame/placement.h"

const char kMainWindowClass[] = "QL_TARN";

namespace {

// The browser's questions, asked in message boxes over the main window.
class MessageBoxQuestions : public BrowserQuestions {
public:
    explicit MessageBoxQuestions(HWND owner) : owner_(owner) {}
    int ask(MessageCode code) override { return showMessageCode(owner_, code); }

private:
    HWND owner_;
};

void saveHiddenListsStep(void* context) {
    CacheModel* model = static_cast<MainWindow*>(context)->model();
    if (!model)
        return;
    // The program is ending and nobody could act on a box now: lists that
    // could not be written leave the file as the last run wrote it.
    const MessageCode unreported = saveHiddenLists(*model);
    static_cast<void>(unreported);
}

void restoreCheckServerStep(void* context) {
    restoreCheckServer(static_cast<MainWindow*>(context)->browserSession().savedCheckServer);
}

void recordPlacementStep(Settings& settings, void* context) {
    MainWindow* main = static_cast<MainWindow*>(context);
    recordPlacement(main->window(), main->list().window(), settings);
}

}  // namespace

MainWindow::MainWindow(ProgramState& state) : state_(state), frame_(*this), tree_(*this), list_(*this), commands_(*this) {}

bool MainWindow::registerClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_PROGRAM));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(MENU_MAIN);
    windowClass.lpszClassName = kMainWindowClass;
    return RegisterClassA(&windowClass) != 0;
}

bool MainWindow::create(HINSTANCE instance) {
    HWND window = createWindow(instance, kMainWindowClass, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, nullptr,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT);
    return window && frame_.create(window);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A copy: window() is null once WM_DESTROY has let go of the window.
    HWND window = this->window();
    switch (message) {
    case WM_DESTROY:
        onDestroy();
        break;
    case WM_SIZE:
        frame_.layout();
        return 0;
    case WM_ACTIVATE:
        frame_.onActivate(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_SETFOCUS:
        frame_.passFocus();
        break;
    // At log-off WM_DESTROY may never come: the state is saved when the
    // session is about to end, and again when a forced end skipped asking.
    case WM_QUERYENDSESSION:
        saveState();
        break;
    case WM_ENDSESSION:
        if (wParam)
            saveState();
        return 0;
    case WM_SYSCOLORCHANGE:
        frame_.forwardToChildren(message, wParam, lParam);
        break;
    case WM_WININICHANGE:
        onWinIniChange(wParam, lParam);
        break;
    case WM_TIMECHANGE:
        state_.updateTimeZoneBias();
        break;
    case WM_SETCURSOR:
        if (frame_.onSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam)))
            return TRUE;
        break;
    case WM_NOTIFY:
        return commands_.notifyDispatch(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        commands_.dispatchCommand(LOWORD(wParam), nullptr);
        return 0;
    case WM_INITMENU:
        commands_.updateMenuStates(reinterpret_cast<HMENU>(wParam), nullptr);
        return 0;
    case WM_MENUSELECT:
        onMenuSelect(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        frame_.onLeftButtonDown({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_RUN_BEGINS:
        onRunBegins(static_cast<RunKind>(wParam), static_cast<int>(lParam));
        return 0;
    case WM_RUN_STARTED:
        commands_.updateToolbarObjectStates();
        return 0;
    case WM_RUN_STEP:
        frame_.stepProgress();
        return 0;
    case WM_TIMER:
        frame_.onTimer(wParam);
        return 0;
    case WM_RUN_ENDED:
        onRunEnded(static_cast<RunKind>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void MainWindow::onWinIniChange(WPARAM wParam, LPARAM lParam) {
    updateNumberFormat();
    frame_.forwardToChildren(WM_WININICHANGE, wParam, lParam);
    if (wParam == SPI_SETNONCLIENTMETRICS) {
        frame_.measureStatusFont();
        SendMessageA(window(), WM_SIZE, 0, 0);
    }
}

void MainWindow::onMenuSelect(UINT item, UINT flags, HMENU menu) {
    if (!menu && flags == 0xFFFF)
        commands_.menuHelpOff();
    else if (flags & MF_POPUP)
        commands_.menuHelpOn(reinterpret_cast<uintptr_t>(GetSubMenu(menu, static_cast<int>(item))), true);
    else
        commands_.menuHelpOn(item, false);
}

void MainWindow::onRunBegins(RunKind kind, int steps) {
    frame_.beginProgress(steps);
    if (kind == RUN_LOADING) {
        refreshViews(RefreshTree | RefreshResults | RefreshList | Reselect);
    } else if (kind == RUN_CONTENT_SEARCH && model_) {
        // The results root stays in the tree, empty, while the search runs.
        if (model_->searchRoot->treeItem)
            model_->searchRoot->setFlags(FLAG_ROOT_SHOWN);
        refreshViews(RefreshResults);
    }
}

void MainWindow::onRunEnded(RunKind kind, uint32_t runNumber) {
    // The end of an earlier run, handled after a new one began, would empty
    // folders that the new run's thread walks.
    if (!model_ || !acceptRunEnd(*model_, runNumber))
        return;
    frame_.endProgress();
    if (kind == RUN_LOADING) {
        list_.setLoadingFinishedMark();
        refreshViews(RefreshTree | RefreshResults | RefreshList);
        pruneEmptyFolders(*model_->cacheRoot);
        pruneEmptyFolders(*model_->searchRoot);
    } else if (kind == RUN_CONTENT_SEARCH) {
        // The worker has only collected its matches: they go into the results
        // root now, on this thread, before anything shows them.
        MessageCode filed = contentSearch_.fileResults(*model_);
        refreshViews(RefreshTree | RefreshResults | RefreshList);
        contentSearch_.pruneEmptyResults(*model_);
        // A search that found nothing says so, unless the user has turned
        // to another program meanwhile.
        if (filed == MSG_OUT_OF_MEMORY || (filed == MSG_NOTHING_FOUND && GetForegroundWindow() == window()))
            showMessageCode(window(), filed);
    }
}

void MainWindow::setModel(CacheModel* model, ModelNotifier* notifier) {
    model_ = model;
    notifier_ = notifier;
}

void MainWindow::refreshViews(unsigned flags) {
    if (!model_ || tree_.syncRoots(flags))
        return;
    if ((flags & RefreshList) && (flags & Reselect)) {
        list_.suspendRedraw();
        list_.suspendStats();
        tree_.reselectCaret();
        list_.resumeStats();
        list_.resumeRedraw();
    } else if (flags & RefreshList) {
        list_.syncList(nullptr);
    } else {
        commands_.updateToolbarObjectStates();
    }
}

void MainWindow::reloadCache() {
    if (!model_ || !notifier_)
        return;
    // An index that cannot be opened now (the browser holds it while it
    // writes, or its header is gone) leaves the documents read before on
    // show, rather than empty host folders: the user is told, and F5 reads
    // it again later.
    const char* directory = model_->cacheDirectory.view();
    if (directory[0] && !isValidCacheDirectory(directory)) {
        showMessageCode(window(), MSG_NO_CACHE_DIRECTORY);
        return;
    }
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    list_.clear();
    model_->searchRoot->clearFlags(FLAG_ROOT_SHOWN);
    MessageCode result = reload(*model_, *notifier_);
    SetCursor(previousCursor);
    if (result != MSG_OK)
        showMessageCode(window(), result);
}

void MainWindow::openDocument(const CacheEntry* entry) {
    if (!entry)
        return;
    MessageBoxQuestions questions(window());
    // What lies in the cache or came out of it in a save is never started
    // as the browser.
    OpenRequest request;
    request.url = entry->url();
    request.neverVerifyWithoutAsking = (state_.settings.optionFlags & OPTION_ADJUST_BROWSER) != 0;
    request.untrusted.cacheDirectory = model_ ? model_->cacheDirectory.get() : nullptr;
    request.untrusted.saveFolder = state_.lastSaveFolder();
    MessageCode result = openInBrowser(request, browser_, questions);
    if (result != MSG_OK)
        showMessageCode(window(), result);
}

void MainWindow::applyListTips() {
    bool on = (state_.settings.optionFlags & OPTION_LIST_TIPS) != 0;
    for (HWND view : {tree_.window(), list_.window()}) {
        if (on)
            installListTips(view);
        else
            disableListTips(view);
    }
}

void MainWindow::saveState() {
    SaveSettingsSteps steps = {saveHiddenListsStep, restoreCheckServerStep, recordPlacementStep, this};
    saveSettings(state_.settings, startupComplete_, steps);
}

void MainWindow::onDestroy() {
    saveState();
    quitHelp(state_.helpFilePath(), window());
    frame_.destroyOwned();
    // The panes are gone: the messages until the window's end have the
    // system's handling.
    detachFromWindow();
    PostQuitMessage(0);
}
