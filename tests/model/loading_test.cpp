// The loading thread against a real hidden window: the order and number of
// its messages, the main thread waiting for a folder the thread is loading,
// and readers and writers of the main thread running beside it.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "core/test_seam.h"
#include "doctest.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "loading_fixture.h"
#include "model/domain_folder.h"
#include "model_builder.h"
#include "support/temp_folder.h"

namespace {

std::string pageTitle(int host, int page) {
    return "Titel " + std::to_string(host) + "-" + std::to_string(page);
}

// Hosts host00.example, host01.example, ... each with pages whose files hold
// the title "Titel H-P".
struct SyntheticCache {
    TempFolder pages{"loading"};
    TestModel built;

    SyntheticCache(int hosts, int pagesPerHost) {
        built.model.cacheDirectory.assign(pages.path().c_str());
        for (int h = 0; h < hosts; ++h) {
            for (int p = 0; p < pagesPerHost; ++p) {
                char host[32], file[32];
                std::snprintf(host, sizeof host, "host%02d.example", h);
                std::snprintf(file, sizeof file, "M%07X.htm", h * 1000 + p);
                pages.write(file, "<html><head><title>" + pageTitle(h, p) + "</title></head></html>");
                Doc doc;
                doc.url = std::string("http://") + host + "/page" + std::to_string(p) + ".htm";
                doc.localFile = file;
                REQUIRE(built.file(doc));
            }
        }
    }

    // A test that failed half-way must not free the model under the thread.
    ~SyntheticCache() { waitForThreadEnd(built.model); }

    CacheModel& model() { return built.model; }
    FolderList& root() { return *built.model.cacheRoot; }
};

// Holds the loading thread inside one folder until released, and notes which
// thread claimed which folder.
struct FolderHold {
    DomainFolder* held = nullptr;
    DWORD mainThread = GetCurrentThreadId();
    HANDLE entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CRITICAL_SECTION lock;
    std::vector<std::pair<DomainFolder*, DWORD>> claims;
    FolderClaimHook hook{claimed, this};

    FolderHold() {
        InitializeCriticalSection(&lock);
        testSeam().folderClaimHook.store(&hook);
    }
    ~FolderHold() {
        SetEvent(release);
        testSeam().folderClaimHook.store(nullptr);
        CloseHandle(entered);
        CloseHandle(release);
        DeleteCriticalSection(&lock);
    }

    static void claimed(void* claimedFolder, void* context) {
        auto* self = static_cast<FolderHold*>(context);
        auto* folder = static_cast<DomainFolder*>(claimedFolder);
        EnterCriticalSection(&self->lock);
        self->claims.push_back({folder, GetCurrentThreadId()});
        LeaveCriticalSection(&self->lock);
        if (folder == self->held && GetCurrentThreadId() != self->mainThread) {
            SetEvent(self->entered);
            WaitForSingleObject(self->release, 30000);
        }
    }

    std::vector<DWORD> claimsOf(DomainFolder* folder) {
        std::vector<DWORD> threads;
        EnterCriticalSection(&lock);
        for (auto& claim : claims)
            if (claim.first == folder)
                threads.push_back(claim.second);
        LeaveCriticalSection(&lock);
        return threads;
    }
};

// Releases the held folder from a thread of its own once the main thread is
// about to ask for it, and notes whether the main thread was still inside
// loadFolder then: a main thread that did not wait for the folder would
// come back before the release, or with the folder still unloaded.
struct ReleaseOnRequest {
    HANDLE release;
    HANDLE asking = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    volatile LONG mainReturned = 0;
    volatile LONG releasedWhileWaiting = 0;

    ~ReleaseOnRequest() { CloseHandle(asking); }

    static DWORD WINAPI run(void* parameter) {
        auto* self = static_cast<ReleaseOnRequest*>(parameter);
        WaitForSingleObject(self->asking, 30000);
        InterlockedExchange(&self->releasedWhileWaiting, self->mainReturned == 0);
        SetEvent(self->release);
        return 0;
    }
};

std::vector<RunMessage> expectedLoadingRun(int folders, LPARAM run = 1) {
    std::vector<RunMessage> messages = {{WM_RUN_BEGINS, RUN_LOADING, folders}, {WM_RUN_STARTED, RUN_LOADING, 0}};
    for (int i = 0; i < folders; ++i)
        messages.push_back({WM_RUN_STEP, 0, 0});
    messages.push_back({WM_RUN_ENDED, RUN_LOADING, run});
    return messages;
}

bool folderHasTitles(DomainFolder& folder) {
    for (int32_t i = 0; i < folder.count(); ++i) {
        const CacheEntry& entry = *folder.entryAt(i);
        if (entry.hasAnyFlag(FLAG_TITLE_PENDING) || std::string(entry.title()).compare(0, 6, "Titel ") != 0)
            return false;
    }
    return true;
}

}  // namespace

TEST_CASE("a loading run reports every folder to the main window in order") {
    prepareLoading();
    SyntheticCache cache(5, 3);
    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    REQUIRE(window.messages().size() >= 1);
    CHECK(window.messages()[0] == RunMessage{WM_RUN_BEGINS, RUN_LOADING, 5});
    CHECK(threadBusy(cache.model()) == RUN_LOADING);

    REQUIRE(window.pumpUntilEnded());
    REQUIRE(waitForThreadEnd(cache.model()));
    CHECK(window.messages() == expectedLoadingRun(5));
    CHECK(threadBusy(cache.model()) == RUN_NONE);
    for (int32_t i = 0; i < cache.root().count(); ++i) {
        CHECK(isFolderLoaded(*cache.root().folderAt(i)));
        CHECK(folderHasTitles(*cache.root().folderAt(i)));
    }
    CHECK(std::string(cache.built.entry("http://host03.example/page2.htm")->title()) == "Titel 3-2");
}

TEST_CASE("the main thread waits for a folder the loading thread is loading") {
    prepareLoading();
    SyntheticCache cache(4, 20);
    DomainFolder* first = cache.root().folderAt(0);
    FolderHold hold;
    hold.held = first;
    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    REQUIRE(WaitForSingleObject(hold.entered, 30000) == WAIT_OBJECT_0);
    CHECK_FALSE(isFolderLoaded(*first));

    ReleaseOnRequest releaser{hold.release};
    HANDLE thread = CreateThread(nullptr, 0, ReleaseOnRequest::run, &releaser, 0, nullptr);
    REQUIRE(thread);
    SetEvent(releaser.asking);
    loadFolder(cache.model(), first);
    InterlockedExchange(&releaser.mainReturned, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CHECK(releaser.releasedWhileWaiting == 1);
    CHECK(isFolderLoaded(*first));
    CHECK(folderHasTitles(*first));

    REQUIRE(window.pumpUntilEnded());
    REQUIRE(waitForThreadEnd(cache.model()));
    std::vector<DWORD> claims = hold.claimsOf(first);
    REQUIRE(claims.size() == 1);
    CHECK(claims[0] != hold.mainThread);
    CHECK(window.messages() == expectedLoadingRun(4));
}

TEST_CASE("a folder the loading thread has not reached is loaded at once and skipped later") {
    prepareLoading();
    SyntheticCache cache(4, 20);
    DomainFolder* first = cache.root().folderAt(0);
    DomainFolder* last = cache.root().folderAt(3);
    FolderHold hold;
    hold.held = first;
    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    REQUIRE(WaitForSingleObject(hold.entered, 30000) == WAIT_OBJECT_0);

    loadFolder(cache.model(), last);
    CHECK(isFolderLoaded(*last));
    CHECK(folderHasTitles(*last));
    CHECK_FALSE(isFolderLoaded(*first));

    SetEvent(hold.release);
    REQUIRE(window.pumpUntilEnded());
    REQUIRE(waitForThreadEnd(cache.model()));
    std::vector<DWORD> claims = hold.claimsOf(last);
    REQUIRE(claims.size() == 1);
    CHECK(claims[0] == hold.mainThread);
    CHECK(window.messages() == expectedLoadingRun(4));
    for (int32_t i = 0; i < cache.root().count(); ++i)
        CHECK(hold.claimsOf(cache.root().folderAt(i)).size() == 1);
}

namespace {

uint32_t waitForEvent(void* event) {
    WaitForSingleObject(static_cast<HANDLE>(event), 30000);
    return 0;
}

}  // namespace

TEST_CASE("reload beside a running background thread changes nothing") {
    prepareLoading();
    SyntheticCache cache(3, 5);
    CacheEntry* entry = cache.built.entry("http://host01.example/page1.htm");
    REQUIRE(entry);

    SUBCASE("a loading run") {
        FolderHold hold;
        hold.held = cache.root().folderAt(0);
        RunWindow window;
        startLoadingRun(cache.model(), window.notifier());
        REQUIRE(WaitForSingleObject(hold.entered, 30000) == WAIT_OBJECT_0);

        CHECK(reload(cache.model(), window.notifier()) == MSG_OK);
        CHECK(window.count(WM_RUN_BEGINS) == 1);
        CHECK(cache.built.entry("http://host01.example/page1.htm") == entry);
        CHECK(cache.root().totalCount() == 15);

        SetEvent(hold.release);
        REQUIRE(window.pumpUntilEnded());
        REQUIRE(waitForThreadEnd(cache.model()));
        CHECK(window.messages() == expectedLoadingRun(3));
    }
    SUBCASE("a content search") {
        HANDLE finish = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        RunWindow window;
        REQUIRE(cache.model().run.start(RUN_CONTENT_SEARCH, window.notifier(), waitForEvent, finish));

        CHECK(threadBusy(cache.model()) == RUN_CONTENT_SEARCH);
        CHECK(reload(cache.model(), window.notifier()) == MSG_OK);
        CHECK(window.messages().empty());
        CHECK(cache.built.entry("http://host01.example/page1.htm") == entry);

        SetEvent(finish);
        REQUIRE(waitForThreadEnd(cache.model()));
        CloseHandle(finish);
    }
}

TEST_CASE("a run stays in flight until its own end message is handled") {
    prepareLoading();
    SyntheticCache cache(3, 2);
    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    uint32_t first = cache.model().run.number();
    // The thread is gone, but its end message still waits in the queue.
    REQUIRE(waitForThreadEnd(cache.model()));
    CHECK(cache.model().run.inFlight());
    CHECK(reload(cache.model(), window.notifier()) == MSG_OK);
    CHECK(window.count(WM_RUN_BEGINS) == 1);

    CHECK_FALSE(acceptRunEnd(cache.model(), first - 1));
    CHECK(acceptRunEnd(cache.model(), first));
    CHECK_FALSE(acceptRunEnd(cache.model(), first));
    REQUIRE(window.pumpUntilEnded());

    window.expectAnotherRun();
    startLoadingRun(cache.model(), window.notifier());
    CHECK(window.count(WM_RUN_BEGINS) == 2);
    REQUIRE(window.pumpUntilEnded());
    // The first run's end, handled late, belongs to no run in flight.
    CHECK_FALSE(acceptRunEnd(cache.model(), first));
    CHECK(acceptRunEnd(cache.model(), first + 1));
}

TEST_CASE("a loading thread that cannot start ends its run at once") {
    prepareLoading();
    SyntheticCache cache(3, 2);
    testSeam().refuseWorkerStart = true;
    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    testSeam().refuseWorkerStart = false;

    CHECK(threadBusy(cache.model()) == RUN_NONE);
    REQUIRE(window.pumpUntilEnded(5000));
    CHECK(window.messages() ==
          std::vector<RunMessage>{{WM_RUN_BEGINS, RUN_LOADING, 3}, {WM_RUN_ENDED, RUN_LOADING, 1}});

    DomainFolder* folder = cache.root().folderAt(1);
    CHECK_FALSE(isFolderLoaded(*folder));
    loadFolder(cache.model(), folder);
    CHECK(isFolderLoaded(*folder));
    CHECK(folderHasTitles(*folder));
}

TEST_CASE("the main thread reads titles and sets marks safely beside the loading thread") {
    prepareLoading();
    const int hosts = 40, pagesPerHost = 50;
    SyntheticCache cache(hosts, pagesPerHost);
    FolderList& root = cache.root();

    std::vector<CacheEntry*> entries;
    std::vector<std::string> firstTitles, pageTitles;
    for (int32_t f = 0; f < root.count(); ++f) {
        DomainFolder& folder = *root.folderAt(f);
        for (int32_t i = 0; i < folder.count(); ++i) {
            CacheEntry* entry = folder.entryAt(i);
            entries.push_back(entry);
            firstTitles.push_back(entry->title());
            int host = 0, page = 0;
            std::sscanf(entry->url(), "http://host%d.example/page%d.htm", &host, &page);
            pageTitles.push_back(pageTitle(host, page));
        }
    }

    RunWindow window;
    startLoadingRun(cache.model(), window.notifier());
    int strangeTitles = 0, passes = 0, pendingSeen = 0;
    DWORD start = GetTickCount();
    while (!window.ended() && GetTickCount() - start < 60000) {
        ++passes;
        const uint32_t mark = (passes % 2) ? FLAG_HIDDEN : FLAG_DELETED;
        for (size_t i = 0; i < entries.size(); ++i) {
            std::string title = entries[i]->title();
            if (title != firstTitles[i] && title != pageTitles[i])
                ++strangeTitles;
            pendingSeen += entries[i]->hasAnyFlag(FLAG_TITLE_PENDING);
            entries[i]->setFlags(mark);
            entries[i]->clearFlags(FLAG_HIDDEN | FLAG_DELETED);
            if (i % 3 == 0)
                entries[i]->setFlags(FLAG_HIDDEN);
        }
        for (int32_t f = 0; f < root.count(); ++f) {
            root.folderAt(f)->setFlags(mark);
            root.folderAt(f)->clearFlags(FLAG_HIDDEN | FLAG_DELETED);
            if (f % 2 == 0)
                root.folderAt(f)->setFlags(FLAG_HIDDEN);
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    REQUIRE(window.ended());
    REQUIRE(waitForThreadEnd(cache.model()));
    MESSAGE(passes << " passes over the titles while the thread loaded; " << pendingSeen << " pending seen");
    CHECK(passes > 1);
    CHECK(strangeTitles == 0);

    for (size_t i = 0; i < entries.size(); ++i) {
        CHECK(entries[i]->title() == pageTitles[i]);
        CHECK_FALSE(entries[i]->hasAnyFlag(FLAG_TITLE_PENDING | FLAG_DELETED));
        CHECK(entries[i]->hasAnyFlag(FLAG_HIDDEN) == (i % 3 == 0));
    }
    for (int32_t f = 0; f < root.count(); ++f) {
        CHECK(isFolderLoaded(*root.folderAt(f)));
        CHECK(root.folderAt(f)->hasAnyFlag(FLAG_HIDDEN) == (f % 2 == 0));
    }
}
