// Finding the cache directory and the browser's verify option, against the
// registry of the Wine prefix; each test starts from a known state.
#include <windows.h>

#include <cstring>
#include <string>

#include "browser_registry.h"
#include "doctest.h"
#include "index/cache_location.h"
#include "index_page_builder.h"
#include "support/temp_folder.h"

// What the program keeps of the cache's location: the directory in use and
// the browser's verify option as it was before the program changed it.
struct Location {
    OwnedText cacheDirectory;
    uint8_t savedCheckServer = kCheckServerUnknown;
};

namespace {

// A folder holding an index with `header` as its first bytes.
struct CacheFolder : TempFolder {
    explicit CacheFolder(Bytes header = indexHeader(4096)) { write("FAT.DB", header); }
};

std::string browserCacheDir() {
    char out[MAX_PATH];
    readBrowserCacheDirectory(out, sizeof out);
    return out;
}

}  // namespace

TEST_CASE("a valid cache directory is a folder holding an index header") {
    CacheFolder valid;
    CHECK(isValidCacheDirectory(valid.path().c_str()));
    CHECK(isValidCacheDirectory((valid.path() + "\\").c_str()));
    CHECK_FALSE(isValidCacheDirectory(nullptr));
    CHECK_FALSE(isValidCacheDirectory(""));
    CHECK_FALSE(isValidCacheDirectory(valid.file("FAT.DB").c_str()));
    CHECK_FALSE(isValidCacheDirectory(valid.file("nothing").c_str()));

    TempFolder empty;
    CHECK_FALSE(isValidCacheDirectory(empty.path().c_str()));
    Bytes shortHeader = indexHeader(4096);
    shortHeader.resize(15);
    CHECK_FALSE(isValidCacheDirectory(CacheFolder(shortHeader).path().c_str()));
    Bytes foreign = indexHeader(4096);
    foreign[0] = 0x01;
    CHECK_FALSE(isValidCacheDirectory(CacheFolder(foreign).path().c_str()));
    CHECK_FALSE(isValidCacheDirectory(CacheFolder(indexHeader(0)).path().c_str()));

    // A path so long that "\FAT.DB" would not fit is not a cache directory.
    std::string deep = valid.path() + "\\" + std::string(250, 'd');
    CHECK_FALSE(isValidCacheDirectory(deep.c_str()));
}

TEST_CASE("the browser's Cache Dir is read whole and terminated, or not at all") {
    forgetBrowserAndChoice();
    CHECK(browserCacheDir().empty());

    setBrowserCacheDir("C:\\Netscape\\Cache");
    CHECK(browserCacheDir() == "C:\\Netscape\\Cache");

    // Stored without its NUL.
    const char raw[] = "C:\\Raw";
    setValue(kNavigatorCacheKey, kNavigatorCacheDirValue, REG_SZ, raw, sizeof raw - 1);
    CHECK(browserCacheDir() == "C:\\Raw");

    // Exactly filling the buffer without a NUL, and longer than the buffer.
    std::string full(260, 'f');
    setValue(kNavigatorCacheKey, kNavigatorCacheDirValue, REG_SZ, full.data(), 260);
    char guarded[270];
    std::memset(guarded, 'G', sizeof guarded);
    readBrowserCacheDirectory(guarded, 260);
    CHECK(guarded[0] == '\0');
    CHECK(guarded[260] == 'G');
    setBrowserCacheDir(std::string(300, 'l'));
    CHECK(browserCacheDir().empty());

    DWORD number = 5;
    setValue(kNavigatorCacheKey, kNavigatorCacheDirValue, REG_DWORD, &number, sizeof number);
    CHECK(browserCacheDir().empty());
    forgetBrowserAndChoice();
}

TEST_CASE("findCacheDirectory takes a valid choice, deletes a stale one and falls back to the browser's") {
    forgetBrowserAndChoice();
    CacheFolder browsers, chosen;
    TempFolder noIndex;
    std::string stored;

    SUBCASE("the browser's directory when there is no choice") {
        setBrowserCacheDir(browsers.path());
        Location model;
        CHECK(findCacheDirectory(model.cacheDirectory) == MSG_OK);
        CHECK(std::string(model.cacheDirectory.view()) == browsers.path());
    }
    SUBCASE("a valid choice wins and stays") {
        setBrowserCacheDir(browsers.path());
        setChosenCacheDir(chosen.path());
        Location model;
        CHECK(findCacheDirectory(model.cacheDirectory) == MSG_OK);
        CHECK(std::string(model.cacheDirectory.view()) == chosen.path());
        CHECK(chosenCacheDir(stored));
    }
    SUBCASE("a choice without an index is deleted") {
        setBrowserCacheDir(browsers.path());
        setChosenCacheDir(noIndex.path());
        Location model;
        CHECK(findCacheDirectory(model.cacheDirectory) == MSG_OK);
        CHECK(std::string(model.cacheDirectory.view()) == browsers.path());
        CHECK_FALSE(chosenCacheDir(stored));
    }
    SUBCASE("a choice of another type is deleted") {
        DWORD number = 1;
        setValue(kProgramKeyPath, "Cache", REG_DWORD, &number, sizeof number);
        Location model;
        CHECK(findCacheDirectory(model.cacheDirectory) == MSG_NO_CACHE_DIRECTORY);
        CHECK_FALSE(chosenCacheDir(stored));
        CHECK(model.cacheDirectory.view()[0] == '\0');
    }
    SUBCASE("a relative directory is not taken, even while it names a cache from the current folder") {
        char previous[MAX_PATH];
        REQUIRE(GetCurrentDirectoryA(sizeof previous, previous) > 0);
        std::string parent = chosen.path().substr(0, chosen.path().rfind('\\'));
        std::string leaf = chosen.path().substr(chosen.path().rfind('\\') + 1);
        REQUIRE(SetCurrentDirectoryA(parent.c_str()));
        setChosenCacheDir(leaf);
        setBrowserCacheDir(".\\" + leaf);
        Location model;
        bool found = findCacheDirectory(model.cacheDirectory) == MSG_OK;
        bool validHere = isValidCacheDirectory(leaf.c_str());
        SetCurrentDirectoryA(previous);
        CHECK_FALSE(found);
        CHECK_FALSE(validHere);
        CHECK_FALSE(chosenCacheDir(stored));
    }
    SUBCASE("neither is valid") {
        setBrowserCacheDir(noIndex.path());
        Location model;
        CHECK(findCacheDirectory(model.cacheDirectory) == MSG_NO_CACHE_DIRECTORY);
        CHECK(model.cacheDirectory.view()[0] == '\0');
    }
    forgetBrowserAndChoice();
}

TEST_CASE("setCacheDirectory remembers a full path other than the browser's, and forgets it for the browser's") {
    forgetBrowserAndChoice();
    CacheFolder browsers, chosen;
    setBrowserCacheDir(browsers.path());
    Location model;
    std::string stored;

    CHECK(setCacheDirectory(model.cacheDirectory, chosen.path().c_str()));
    CHECK(std::string(model.cacheDirectory.view()) == chosen.path());
    REQUIRE(chosenCacheDir(stored));
    CHECK(stored == chosen.path());

    std::string otherCase = browsers.path();
    CharUpperA(&otherCase[0]);
    CHECK(setCacheDirectory(model.cacheDirectory, otherCase.c_str()));
    CHECK_FALSE(chosenCacheDir(stored));

    TempFolder noIndex;
    CHECK_FALSE(setCacheDirectory(model.cacheDirectory, noIndex.path().c_str()));
    CHECK(std::string(model.cacheDirectory.view()) == otherCase);
    CHECK_FALSE(chosenCacheDir(stored));

    // A relative path is kept as the full path it names now.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    std::string parent = chosen.path().substr(0, chosen.path().rfind('\\'));
    std::string leaf = chosen.path().substr(chosen.path().rfind('\\') + 1);
    SetCurrentDirectoryA(parent.c_str());
    bool set = setCacheDirectory(model.cacheDirectory, leaf.c_str());
    SetCurrentDirectoryA(previous);
    CHECK(set);
    CHECK(std::string(model.cacheDirectory.view()) == chosen.path());
    REQUIRE(chosenCacheDir(stored));
    CHECK(stored == chosen.path());
    forgetBrowserAndChoice();
}

TEST_CASE("the verify option reads as a code: 0 never, unknown for anything else") {
    forgetBrowserAndChoice();
    CHECK(readCheckServer() == kCheckServerUnknown);
    const struct {
        DWORD value;
        uint8_t code;
    } codes[] = {{2, 0}, {1, 1}, {0, 2}, {7, kCheckServerUnknown}, {0xFFFFFFFF, kCheckServerUnknown}};
    for (const auto& c : codes) {
        setCheckServerValue(c.value);
        INFO(c.value);
        CHECK(readCheckServer() == c.code);
    }
    setValue(kNavigatorMainKey, kNavigatorCheckServerValue, REG_SZ, "2", 2);
    CHECK(readCheckServer() == kCheckServerUnknown);

    setCheckServerValue(1);
    writeCheckServer(2);
    CHECK(checkServerValue() == 0);
    writeCheckServer(9);
    CHECK(checkServerValue() == 0);
    forgetBrowserAndChoice();
    // Without the browser's key nothing is written, and no key is made.
    writeCheckServer(0);
    CHECK(checkServerValue() == -1);
}

TEST_CASE("forcing never verify saves the browser's setting once; restoring puts it back only if still forced") {
    forgetBrowserAndChoice();
    SUBCASE("verify once per session, restored at the end") {
        setCheckServerValue(1);
        Location model;
        forceNeverVerify(model.savedCheckServer);
        CHECK(checkServerValue() == 2);
        CHECK(model.savedCheckServer == 1);
        setCheckServerValue(0);
        forceNeverVerify(model.savedCheckServer);
        CHECK(model.savedCheckServer == 1);
        restoreCheckServer(model.savedCheckServer);
        CHECK(checkServerValue() == 1);
        CHECK(model.savedCheckServer == kCheckServerUnknown);
    }
    SUBCASE("the user changed the option meanwhile") {
        setCheckServerValue(1);
        Location model;
        forceNeverVerify(model.savedCheckServer);
        setCheckServerValue(0);
        restoreCheckServer(model.savedCheckServer);
        CHECK(checkServerValue() == 0);
        CHECK(model.savedCheckServer == kCheckServerUnknown);
    }
    SUBCASE("never verify already") {
        setCheckServerValue(2);
        Location model;
        forceNeverVerify(model.savedCheckServer);
        CHECK(model.savedCheckServer == 0);
        restoreCheckServer(model.savedCheckServer);
        CHECK(checkServerValue() == 2);
    }
    SUBCASE("an unknown value") {
        setCheckServerValue(7);
        Location model;
        forceNeverVerify(model.savedCheckServer);
        CHECK(checkServerValue() == 2);
        CHECK(model.savedCheckServer == kCheckServerUnknown);
        restoreCheckServer(model.savedCheckServer);
        CHECK(checkServerValue() == 2);
    }
    SUBCASE("no browser") {
        Location model;
        forceNeverVerify(model.savedCheckServer);
        CHECK(checkServerValue() == -1);
        restoreCheckServer(model.savedCheckServer);
        CHECK(checkServerValue() == -1);
    }
    forgetBrowserAndChoice();
}
