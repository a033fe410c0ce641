// The program's entry: the process-wide values first, then the window, then
// the model and the first load, then the message loop. A missing cache
// directory is the one failure the program survives: it says so once the
// window is up and runs with an empty tree.
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>

#include "browser/browser_program.h"
#include "model/cache_model.h"
#include "model/hidden_lists.h"
#include "model/loading.h"
#include "model/shell_icons.h"
#include "resources/resource_ids.h"
#include "resources/string_ids.h"
#include "settings/settings_store.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/frame/placement.h"
#include "ui/frame/program_state.h"
#include "ui/frame/window_notifier.h"

namespace {

// A second instance runs on its own, but in a place of the system's
// choosing, so that the two windows do not cover each other exactly.
void yieldPlacementToFirstInstance(Settings& settings) {
    if (!FindWindowA(kMainWindowClass, nullptr))
        return;
    settings.optionFlags &= ~static_cast<uint32_t>(OPTION_MAXIMIZED);
    settings.windowLeft = kPlacementUnset;
    settings.windowWidth = kPlacementUnset;
}

MessageCode createModel(std::unique_ptr<CacheModel>& model, ShellTypeIcons& icons) {
    ModelTexts texts;
    texts.cacheRootName = preloadedString(STR_CACHE_ROOT);
    texts.searchRootName = preloadedString(STR_RESULTS_ROOT);
    texts.unknownTitle = preloadedString(STR_UNKNOWN);
    int32_t status;
    model.reset(checkCreated(new (std::nothrow) CacheModel(&icons, texts), status));
    return status;
}

int runMessageLoop(HWND window, HACCEL accelerators) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (TranslateAcceleratorA(window, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

// The program's own folder becomes the current one, before anything can
// look there: a program started without a full path, or a library loaded by
// name, may be searched for in the current folder, and the folder the
// program was started in may be a cache or a save's target.
void leaveStartFolder() {
    char folder[MAX_PATH];
    if (executableFolder(folder, sizeof folder))
        SetCurrentDirectoryA(folder);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    leaveStartFolder();
    ProgramState state;
    state.locateHelpFile();
    state.updateTimeZoneBias();
    if (!loadPreloadedStrings())
        fatalMessageCode(nullptr, MSG_OUT_OF_MEMORY);
    prepareLoading();

    InitCommonControls();
    if (!MainWindow::registerClass(instance))
        fatalMessageCode(nullptr, MSG_OUT_OF_MEMORY);
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(ACCEL_MAIN));
    if (!accelerators)
        fatalMessageCode(nullptr, MSG_OUT_OF_MEMORY);
    state.settings = loadSettings();
    Settings& settings = state.settings;
    yieldPlacementToFirstInstance(settings);

    MainWindow program(state);
    if (!program.create(instance))
        fatalMessageCode(nullptr, MSG_OUT_OF_MEMORY);
    HWND window = program.window();
    restorePlacement(window, settings);

    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    ShellTypeIcons icons;
    WindowNotifier notifier(window);
    std::unique_ptr<CacheModel> model;
    MessageCode result = createModel(model, icons);
    if (result == MSG_OK) {
        program.setModel(model.get(), &notifier);
        result = loadHiddenLists(*model);
    }
    if (result == MSG_OK)
        result = reload(*model, notifier);
    if (result != MSG_OK && result != MSG_NO_CACHE_DIRECTORY)
        fatalMessageCode(window, result);
    program.refreshViews(RefreshTree | RefreshResults | RefreshList);
    SetCursor(previousCursor);
    if (result == MSG_NO_CACHE_DIRECTORY)
        showMessageCode(window, result);
    program.markStartupComplete();

    int exitCode = runMessageLoop(window, accelerators);
    // A background thread still running uses the model and the notifier
    // until the process ends; end it here, before they are destroyed.
    if (model && threadBusy(*model) != RUN_NONE)
        ExitProcess(static_cast<UINT>(exitCode));
    return exitCode;
}
