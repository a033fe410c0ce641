#include "model/loading.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "core/file_head.h"
#include "core/test_seam.h"
#include "core/owned_text.h"
#include "core/text_helpers.h"
#include "core/win_handles.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/domain_folder.h"
#include "model/hidden_lists.h"
#include "model/index_filing.h"
#include "model/shell_icons.h"

namespace {

// A title must be closed within this many bytes of the page.
constexpr int32_t kTitleHeadSize = 1023;

// LoadLock guards the move of a folder's load state from one value to the
// next, so that exactly one thread claims a folder. The rest of the flags
// word is changed with atomic operations by either thread and needs no lock.
struct LoadingProcessState {
    CRITICAL_SECTION loadLock{};
    DWORD mainThreadId = 0;
    bool prepared = false;
};

LoadingProcessState loadingState;

LoadState readLoadState(const DomainFolder& folder) {
    return loadStateOf(folder.flags());
}

void setLoadState(DomainFolder& folder, LoadState state) {
    folder.replaceFlags(FLAG_LOAD_STATE_MASK, loadStateBits(state));
}

// The main thread must not come back before the folder is loaded, since it
// shows the folder's documents right after; the loading thread just moves on
// to the next folder.
bool claimFolder(DomainFolder& folder) {
    const bool mainThread = GetCurrentThreadId() == loadingState.mainThreadId;
    for (;;) {
        {
            CriticalSectionLock lock(loadingState.loadLock);
            LoadState state = readLoadState(folder);
            if (state == LOAD_STATE_NOT_LOADED) {
                setLoadState(folder, LOAD_STATE_LOADING);
                return true;
            }
            if (state == LOAD_STATE_LOADED || !mainThread)
                return false;
        }
        Sleep(0);
    }
}

uint32_t loadingThread(void* parameter) {
    CacheModel& model = *static_cast<CacheModel*>(parameter);
    ModelNotifier& notifier = *model.run.notifier();
    const uint32_t number = model.run.number();
    notifier.post(WM_RUN_STARTED, RUN_LOADING, 0);
    FolderList& root = *model.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i) {
        loadFolder(model, root.folderAt(i));
        notifier.post(WM_RUN_STEP, 0, 0);
    }
    notifier.post(WM_RUN_ENDED, RUN_LOADING, number);
    return 0;
}

}  // namespace

void prepareLoading() {
    if (loadingState.prepared)
        return;
    InitializeCriticalSection(&loadingState.loadLock);
    loadingState.mainThreadId = GetCurrentThreadId();
    loadingState.prepared = true;
}

MessageCode reload(CacheModel& model, ModelNotifier& notifier) {
    if (model.status() != 0)
        return model.status();
    if (model.run.inFlight() || threadBusy(model) != RUN_NONE)
        return MSG_OK;
    prepareLoading();
    FolderList& root = *model.cacheRoot;
    if (root.count() > 0) {
        // The results only point to entries that are about to be destroyed.
        model.searchRoot->clearDeep();
        for (int32_t i = 0; i < root.count(); ++i)
            root.folderAt(i)->clear();
        CriticalSectionLock lock(loadingState.loadLock);
        for (int32_t i = 0; i < root.count(); ++i)
            setLoadState(*root.folderAt(i), LOAD_STATE_NOT_LOADED);
        setLoadState(root, LOAD_STATE_NOT_LOADED);
    }
    MessageCode result = scanCacheIndex(model);
    if (result != MSG_OK)
        return result;
    startLoadingRun(model, notifier);
    return MSG_OK;
}

void startLoadingRun(CacheModel& model, ModelNotifier& notifier) {
    prepareLoading();
    applyHiddenLists(model);
    notifier.send(WM_RUN_BEGINS, RUN_LOADING, model.cacheRoot->count());
    if (!model.run.start(RUN_LOADING, notifier, loadingThread, &model)) {
        // The main window has set up its progress display; the end of the
        // run takes it down again.
        notifier.post(WM_RUN_ENDED, RUN_LOADING, model.run.number());
    }
}

bool acceptRunEnd(CacheModel& model, uint32_t runNumber) {
    return model.run.finish(runNumber);
}

RunKind threadBusy(CacheModel& model) {
    return model.run.busy();
}

bool isFolderLoaded(const DomainFolder& folder) {
    CriticalSectionLock lock(loadingState.loadLock);
    return readLoadState(folder) == LOAD_STATE_LOADED;
}

void loadFolder(CacheModel& model, DomainFolder* folder) {
    if (!folder || folder->isNested() || !claimFolder(*folder))
        return;
    if (const FolderClaimHook* hook = testSeam().folderClaimHook.load(std::memory_order_acquire))
        hook->claimed(folder, hook->context);
    for (int32_t i = 0; i < folder->count(); ++i)
        loadEntryDetails(model, *folder->entryAt(i));
    CriticalSectionLock lock(loadingState.loadLock);
    setLoadState(*folder, LOAD_STATE_LOADED);
}

void loadEntryDetails(const CacheModel& model, CacheEntry& entry) {
    const int32_t type = entry.mimeIndex();
    const bool html = type == 0;
    const bool unknownType = type >= kKnownTypeCount;
    if (!html && !unknownType)
        return;
    char path[MAX_PATH];
    if (!cachePath(model, path, sizeof path, entry.localFile()))
        return;
    if (html) {
        if (char* title = extractTitle(path))
            entry.publishTitle(title);
        return;
    }
    // By the name alone: the bytes of a cached file are untrusted, and the
    // shell's icon handlers would parse them inside this process.
    entry.setIconIndex(smallIconIndexOfName(entry.localFile()));
}

char* extractTitle(const char* path) {
    char* head = readFileHead(path, kTitleHeadSize);
    if (!head)
        return nullptr;
    const char* title = findTitle(head);
    char* copy = title ? duplicateText(title) : nullptr;
    std::free(head);
    return copy;
}
