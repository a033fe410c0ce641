// Loading the details the index does not hold (the titles of HTML pages, the
// icons of unknown types) from the cached files, folder by folder, on one
// background thread that starts after every reload. The main thread loads a
// folder itself when the user opens it first, and waits for one the thread
// is loading.
//
// Titles are never freed while the model is in use: a loaded title is
// published once beside the URL-derived one (CacheEntry::publishTitle), so a
// reader on the main thread (find, selections for a search or a save) sees
// either title, whatever the thread is doing. Entries are destroyed only by
// a reload, which refuses to run beside a background thread.
#pragma once

#include <cstdint>

#include "core/message_code.h"
#include "model/background_run.h"

class CacheEntry;
class CacheModel;
class DomainFolder;
class ModelNotifier;

// Sets up the lock of the folders' load states and notes the calling thread
// as the main thread. Called once at process start, before any window exists.
void prepareLoading();

// Empties the model (search results first, then every host folder, which
// keep their places and marks), reads the index again, re-applies the hidden
// lists and starts the loading thread, which reports to `notifier`. While a
// background run is in flight (its end not yet handled) nothing happens and
// 0 is returned; a failed index scan is returned at once, without a thread.
MessageCode reload(CacheModel& model, ModelNotifier& notifier);

// The second half of reload, for a model whose index was just read: applies
// the hidden lists, sends WM_RUN_BEGINS and starts the loading thread. If the
// thread cannot be started the run ends at once, as though the thread had
// loaded nothing (WM_RUN_ENDED is posted), and the main thread loads each
// folder when it is opened.
void startLoadingRun(CacheModel& model, ModelNotifier& notifier);

// The main thread's part of WM_RUN_ENDED: true when the message ends the
// run in flight, false for a stale message of an earlier run, which must
// change nothing.
bool acceptRunEnd(CacheModel& model, uint32_t runNumber);

// RUN_NONE, or the kind of the background thread still running. Notices the
// end of a thread and releases its handle.
RunKind threadBusy(CacheModel& model);

// Whether the folder's details are loaded.
bool isFolderLoaded(const DomainFolder& folder);

// Loads the details of every entry of the folder, unless another thread has
// already done so. On the main thread it returns only when the folder is
// loaded, waiting for the loading thread if that is busy with it; on the
// loading thread a folder the main thread is loading is skipped.
void loadFolder(CacheModel& model, DomainFolder* folder);

// An HTML page gets the title of its file, a document of an unknown type the
// shell's icon for its file; other documents keep what the index gave them.
void loadEntryDetails(const CacheModel& model, CacheEntry& entry);

// The cleaned title of the page at `path` (a malloc'd text), or null when
// the file cannot be read or holds no complete title element within its
// first 1023 bytes.
char* extractTitle(const char* path);

