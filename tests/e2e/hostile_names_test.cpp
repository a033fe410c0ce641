// A cache from another machine names its files as it likes: a wildcard, dots
// and blanks that Windows strips off, device names. The program must act on
// the ordinary files of the documents it lists and on nothing else.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app_driver.h"
#include "doctest.h"
#include "menu_commands.h"
#include "program_state.h"
#include "search_driver.h"
#include "support/wine_path.h"

namespace {

using Labels = std::vector<std::string>;

const char kFixture[] = "hostile_names";
const char kEvilHost[] = "evil.example";
// The one ordinary document of the hostile host.
const char kOrdinaryFile[] = "M0E30001.htm";

// Paths as the file system holds them: "\\?\" turns off the shortening of
// dots and blanks and the mapping of device names, so the test reaches
// exactly the files the fixture tool wrote, whatever the program does.
std::wstring literalPath(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

void copyLiterally(const std::wstring& from, const std::wstring& to) {
    CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            copyLiterally(from + L"\\" + name, to + L"\\" + name);
        else
            CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

void removeLiterally(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeLiterally(folder + L"\\" + name);
            else
                DeleteFileW((folder + L"\\" + name).c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder.c_str());
}

// A copy of the hostile fixture that the program may delete from, each file
// under its own name.
class HostileCache {
public:
    HostileCache() {
        std::string base = winePath(std::string(TARN_BINARY_DIR) + "/tests/e2e/scratch");
        CreateDirectoryA(base.c_str(), nullptr);
        for (unsigned n = GetTickCount() & 0xFFFF;; ++n) {
            path_ = base + "\\" + kFixture + "-" + std::to_string(n);
            if (CreateDirectoryA(path_.c_str(), nullptr))
                break;
        }
        copyLiterally(literalPath(fixtureCache(kFixture)), literalPath(path_));
    }
    ~HostileCache() { removeLiterally(literalPath(path_)); }
    HostileCache(const HostileCache&) = delete;
    HostileCache& operator=(const HostileCache&) = delete;

    const std::string& path() const { return path_; }
    // Whether the folder holds `name` (a file or a folder) under exactly
    // that name.
    bool holds(const std::wstring& name) const {
        return GetFileAttributesW((literalPath(path_) + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool holdsFolder(const std::wstring& name) const {
        DWORD attributes = GetFileAttributesW((literalPath(path_) + L"\\" + name).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }

private:
    std::string path_;
};

HTREEITEM nodeLabelled(const AppDriver& app, const std::string& label) {
    for (const TreeNode& node : app.treeNodes())
        if (node.label == label)
            return node.item;
    return nullptr;
}

bool contains(const Labels& labels, const std::string& label) {
    return std::find(labels.begin(), labels.end(), label) != labels.end();
}

}  // namespace

TEST_CASE("Löschen on a host of hostile file names deletes its ordinary document and nothing else") {
    HostileCache cache;
    prepareFirstStart(cache.path());
    const std::string index = fileBytes(cache.path() + "\\FAT.DB");
    REQUIRE(index != "<missing>");
    // Everything the fixture wrote besides the one file to delete.
    const std::vector<std::wstring> survivors = {L"\xFF0A", L"...", L" ", L"a.", L"a", L"com1", L"nul",
                                                 L"M0E30011.htm", L"expected.tsv"};
    for (const std::wstring& name : survivors)
        REQUIRE(cache.holds(name));
    REQUIRE(cache.holdsFolder(L"SUBDIR"));

    AppDriver app;
    REQUIRE(app.start());
    REQUIRE(app.selectTreeLabel(kEvilHost));
    Labels shown = listTitles(app);
    CHECK(contains(shown, "Evil Startseite"));
    // The file of the record "*" is named with the fullwidth asterisk: it is
    // not the record's file, however the ANSI listing spells it.
    CHECK_FALSE(contains(shown, "stern.htm"));

    HWND menu = app.rightClickTreeNode(nodeLabelled(app, kEvilHost));
    REQUIRE(menu);
    app.chooseMenuItem(menu, "l");
    HWND box = app.findMessageBox(10000);
    REQUIRE(box);
    std::string question = app.shellQuestion(box);
    app.pressButton(box, IDYES);
    REQUIRE(app.waitUntilGone(box));
    REQUIRE(app.sync());
    // The shell names a single file when it is handed one.
    CHECK(question.find(std::string(kOrdinaryFile) + "'") != std::string::npos);
    CHECK_FALSE(cache.holds(L"M0E30001.htm"));

    CHECK(fileBytes(cache.path() + "\\FAT.DB") == index);
    CHECK(cache.holdsFolder(L"SUBDIR"));
    for (size_t i = 0; i < survivors.size(); ++i) {
        INFO("survivor " << i);
        CHECK(cache.holds(survivors[i]));
    }
    REQUIRE(app.closeThroughMenu());
}

TEST_CASE("documents whose files are named like devices are never read: loading and a content search end") {
    prepareFirstStart(fixtureCache(kFixture));
    AppDriver app;
    // The start waits for the loading pass, which reads every page's title.
    REQUIRE(app.start());
    REQUIRE(app.selectTreeLabel(kEvilHost));
    REQUIRE(startContentSearch(app, "schakal", SCOPE_CACHE));
    REQUIRE(app.waitUntilIdle(60000));
    CHECK(app.folderLabels("Suchergebnisse") == Labels{kEvilHost});
    REQUIRE(selectFolderUnder(app, "Suchergebnisse", kEvilHost));
    CHECK(listTitles(app) == Labels{"Evil Startseite"});

    // The program still answers and runs: the cache is read again.
    REQUIRE(app.clickToolbarButton(kReload));
    REQUIRE(app.waitUntilIdle(60000));
    CHECK(app.folderLabels("Netscape Cache") == Labels{kEvilHost, "good.example"});
    REQUIRE(app.closeThroughMenu());
}
