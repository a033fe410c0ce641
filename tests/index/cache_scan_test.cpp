// Reading FAT.DB files from disk: caches written by the genuine hash library
// (checked against what its own dump tool reports) and hand-made files for
// the ways an index can be missing, short or foreign.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "browser_registry.h"
#include "core/text_locale.h"
#include "doctest.h"
#include "index/cache_entry.h"
#include "index/cache_index_scan.h"
#include "index/index_page.h"
#include "index_page_builder.h"
#include "model/cache_model.h"
#include "model/index_filing.h"
#include "support/temp_folder.h"
#include "support/wine_path.h"

namespace {

struct ExpectedRow {
    std::string url, localFile, mimeType, host;
    long lastModified, lastAccessed, expires, contentLength;
};

std::string unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<ExpectedRow> readExpected(const std::string& cacheDir) {
    std::ifstream file(cacheDir + "\\expected.tsv", std::ios::binary);
    REQUIRE(file.good());
    std::vector<ExpectedRow> rows;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> columns;
        std::stringstream fields(line);
        std::string column;
        while (std::getline(fields, column, '\t'))
            columns.push_back(unescape(column));
        REQUIRE(columns.size() == 8);
        rows.push_back({columns[0], columns[1], columns[2], columns[7], std::atol(columns[3].c_str()),
                        std::atol(columns[4].c_str()), std::atol(columns[5].c_str()), std::atol(columns[6].c_str())});
    }
    return rows;
}

std::string cacheFixture(const char* name) {
    return winePath(std::string(TARN_BINARY_DIR) + "/tests/index/caches/" + name);
}

struct ScannedModel {
    CacheModel model{nullptr};
    explicit ScannedModel(const std::string& directory) { model.cacheDirectory.assign(directory.c_str()); }
    MessageCode scan() { return scanCacheIndex(model); }
};

void checkAgainstExpected(const char* fixture) {
    std::string directory = cacheFixture(fixture);
    std::vector<ExpectedRow> rows = readExpected(directory);
    REQUIRE(!rows.empty());
    ScannedModel scanned(directory);
    REQUIRE(scanned.scan() == MSG_OK);
    CacheModel& model = scanned.model;
    CHECK(model.lastScanComplete);
    CHECK(model.cacheRoot->totalCount() == static_cast<int32_t>(rows.size()));

    for (const ExpectedRow& row : rows) {
        INFO(row.url);
        FoundEntry found = findEntry(model, row.url.c_str());
        REQUIRE(found.entry);
        const CacheEntry& e = *found.entry;
        CHECK(std::string(e.url()) == row.url);
        CHECK(std::string(e.localFile()) == row.localFile);
        CHECK(std::string(e.mimeType()) == row.mimeType);
        CHECK(e.lastModified() == row.lastModified);
        CHECK(e.lastAccessed() == row.lastAccessed);
        CHECK(e.expires() == row.expires);
        CHECK(e.contentLength() == row.contentLength);
        CHECK(compareTextNoCase(found.folder->name(), row.host.c_str()) == 0);
        CHECK(found.folder->hasAnyFlag(FLAG_HIDEABLE));
    }
    // Folders of records that later lost to a newer one may stay empty until
    // they are pruned; every other folder is a host of the expected rows.
    std::set<std::string> hosts;
    for (const ExpectedRow& row : rows) {
        std::string host = row.host;
        lowerText(&host[0]);
        hosts.insert(host);
    }
    int32_t filled = 0;
    model.cacheRoot->forEach([&](NamedItem* folder) { filled += static_cast<DomainFolder*>(folder)->count() > 0; });
    CHECK(filled == static_cast<int32_t>(hosts.size()));

    // Folders and their documents stand in lstrcmpiA's order, though the
    // scan compared sort keys.
    auto inOrder = [](const SortedCollection& list) {
        for (int32_t i = 1; i < list.count(); ++i) {
            if (lstrcmpiA(list.at(i - 1)->name(), list.at(i)->name()) >= 0)
                return false;
        }
        return true;
    };
    CHECK(inOrder(*model.cacheRoot));
    model.cacheRoot->forEach([&](NamedItem* folder) { CHECK(inOrder(*static_cast<DomainFolder*>(folder))); });
}

Bytes readWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    REQUIRE(file.good());
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The URLs of the records the index reader hands on, in order.
struct RecordedUrls : IndexRecordSink {
    std::vector<std::string> urls;
    bool takeRecord(const IndexRecord& record) override {
        urls.push_back(record.url);
        return true;
    }
};

// An index of 256-byte pages holding `pages`, and the files it names.
void writeCache(const TempFolder& folder, uint32_t pageSize, const std::vector<Bytes>& pages) {
    folder.write("FAT.DB", indexFile(pageSize, pages));
}

RecordFields fileNamed(const char* name) {
    RecordFields fields;
    fields.localFile = name;
    return fields;
}

}  // namespace

TEST_CASE("a cache written by the genuine library is read into exactly the documents its records keep") {
    // Records of every kind, pages of 1 KB with overflow pages.
    SUBCASE("mixed records") { checkAgainstExpected("mixed"); }
    // Thousands of records over many hosts, duplicates in other letter case,
    // INT_ records and missing files, in three page sizes.
    SUBCASE("512-byte pages") { checkAgainstExpected("synthetic-512"); }
    SUBCASE("1 KB pages") { checkAgainstExpected("synthetic-1024"); }
    SUBCASE("32 KB pages") { checkAgainstExpected("synthetic-32768"); }
}

TEST_CASE("the mixed cache keeps the host's case of the first URL filed and sees through letter case") {
    ScannedModel scanned(cacheFixture("mixed"));
    REQUIRE(scanned.scan() == MSG_OK);
    const CacheModel& model = scanned.model;
    FoundEntry about = findEntry(model, "http://www.example.com/about.htm");
    REQUIRE(about.entry);
    CHECK(std::string(about.folder->name()) == "www.example.com");
    CHECK(about.folder->count() == 5);
    // Its file is "m0abcdef.gif" on disk, "M0ABCDEF.GIF" in the record.
    CHECK(findEntry(model, "http://pictures.example.com/logo.gif").entry);
    CHECK(findEntry(model, "http://back.example.com/dir/page.htm").entry);
    CHECK_FALSE(findEntry(model, "http://www.example.com/gone.htm").entry);
    CHECK_FALSE(findEntry(model, "http://dirs.example.com/folder.htm").entry);
    CHECK_FALSE(findEntry(model, "http://bad.example.com/key.htm").entry);
    CHECK_FALSE(findEntry(model, "http://bad.example.com/record.htm").entry);
}

TEST_CASE("pages are read at the header's page size after the header page, up to the last whole one") {
    TempFolder folder;
    folder.write("A.htm", "a");
    folder.write("B.htm", "b");
    folder.write("C.htm", "c");
    Bytes first = PageBuilder(4096).addDocument("http://h/a.htm", fileNamed("A.htm")).build();
    Bytes second = PageBuilder(4096).addDocument("http://h/b.htm", fileNamed("B.htm")).build();
    Bytes partial = PageBuilder(4096).addDocument("http://h/c.htm", fileNamed("C.htm")).build();
    Bytes file = indexFile(4096, {first, second});
    // The last page lacks its final byte, where the record's key ends.
    file.insert(file.end(), partial.begin(), partial.end() - 1);
    folder.write("FAT.DB", file);

    ScannedModel scanned(folder.path());
    REQUIRE(scanned.scan() == MSG_OK);
    CHECK(scanned.model.cacheRoot->totalCount() == 2);
    CHECK(findEntry(scanned.model, "http://h/b.htm").entry);
    CHECK_FALSE(findEntry(scanned.model, "http://h/c.htm").entry);

    TempFolder small;
    small.write("A.htm", "a");
    writeCache(small, 256, {PageBuilder(256).addDocument("http://h/a.htm", fileNamed("A.htm")).build()});
    ScannedModel smallPages(small.path());
    REQUIRE(smallPages.scan() == MSG_OK);
    CHECK(smallPages.model.cacheRoot->totalCount() == 1);
}

TEST_CASE("pages beyond those the header addresses are not read") {
    // The last pages of this index are overflow pages of the latest split,
    // beyond the last bucket's page. Their records are read; the cache
    // holds only their files, and those of the pages added below.
    const uint32_t pageSize = 512;
    Bytes index = readWhole(cacheFixture("synthetic-512") + "\\FAT.DB");
    REQUIRE(index.size() % pageSize == 0);
    TempFolder folder("grown-index");
    std::vector<std::string> lastPages;
    for (size_t at = index.size() - 3 * pageSize; at < index.size(); at += pageSize) {
        IndexPageReader reader(&index[at], pageSize);
        IndexRecord record;
        while (reader.next(record)) {
            folder.write(record.localFile, "x");
            lastPages.push_back(record.url);
        }
    }
    REQUIRE(lastPages.size() >= 3);

    // The file grows by pages of plausible records whose files exist, then
    // sparse by 64 MB, with one more such page at its end.
    auto pageOf = [&](const char* url, const char* file) {
        folder.write(file, "x");
        return PageBuilder(pageSize).addDocument(url, fileNamed(file)).build();
    };
    for (const Bytes& page : {pageOf("http://beyond.example.com/1.htm", "BEYOND1.htm"),
                              pageOf("http://beyond.example.com/2.htm", "BEYOND2.htm")})
        index.insert(index.end(), page.begin(), page.end());
    folder.write("FAT.DB", index);
    Bytes farPage = pageOf("http://far.example.com/3.htm", "FAR3.htm");
    HANDLE file = CreateFileA(folder.file("FAT.DB").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(index.size()) + (64 << 20);
    DWORD written = 0;
    CHECK(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    CHECK(WriteFile(file, farPage.data(), pageSize, &written, nullptr));
    CloseHandle(file);
    REQUIRE(written == pageSize);

    RecordedUrls seen;
    REQUIRE(readCacheIndex(folder.path().c_str(), seen) == MSG_OK);
    CHECK(seen.urls == lastPages);
}

TEST_CASE("a missing, short or foreign index is reported and leaves the model empty") {
    TempFolder folder;
    folder.write("A.htm", "a");
    Bytes page = PageBuilder(1024).addDocument("http://h/a.htm", fileNamed("A.htm")).build();
    Bytes sound = indexFile(1024, {page});

    auto scanWith = [&](const Bytes* index) {
        if (index)
            folder.write("FAT.DB", *index);
        else
            DeleteFileA(folder.file("FAT.DB").c_str());
        ScannedModel scanned(folder.path());
        MessageCode result = scanned.scan();
        CHECK(scanned.model.cacheRoot->totalCount() == (result == MSG_OK ? 1 : 0));
        CHECK(scanned.model.lastScanComplete == (result == MSG_OK));
        return result;
    };
    CHECK(scanWith(&sound) == MSG_OK);
    CHECK(scanWith(nullptr) == MSG_NO_CACHE_DIRECTORY);
    Bytes shortFile(sound.begin(), sound.begin() + 15);
    CHECK(scanWith(&shortFile) == MSG_NO_CACHE_DIRECTORY);
    Bytes wrongMagic = sound;
    wrongMagic[1] = 0x07;
    CHECK(scanWith(&wrongMagic) == MSG_NO_CACHE_DIRECTORY);
    Bytes zeroPageSize = sound;
    zeroPageSize[14] = 0;
    CHECK(scanWith(&zeroPageSize) == MSG_NO_CACHE_DIRECTORY);

    // A header page alone is an empty cache.
    Bytes headerOnly(sound.begin(), sound.begin() + 1024);
    folder.write("FAT.DB", headerOnly);
    ScannedModel empty(folder.path());
    CHECK(empty.scan() == MSG_OK);
    CHECK(empty.model.cacheRoot->count() == 0);
    CHECK(empty.model.lastScanComplete);

    ScannedModel nowhere(folder.file("no such folder"));
    CHECK(nowhere.scan() == MSG_NO_CACHE_DIRECTORY);
}

TEST_CASE("without a directory the scan finds the browser's, or reports that there is none") {
    forgetBrowserAndChoice();
    CacheModel lost(nullptr);
    CHECK(scanCacheIndex(lost) == MSG_NO_CACHE_DIRECTORY);
    CHECK(lost.cacheDirectory.view()[0] == '\0');

    setBrowserCacheDir(cacheFixture("mixed"));
    CacheModel found(nullptr);
    CHECK(scanCacheIndex(found) == MSG_OK);
    CHECK(std::string(found.cacheDirectory.view()) == cacheFixture("mixed"));
    CHECK(found.cacheRoot->totalCount() > 0);
    forgetBrowserAndChoice();
}

TEST_CASE("the index is read while the browser holds it open for writing") {
    TempFolder folder;
    folder.write("A.htm", "a");
    writeCache(folder, 1024, {PageBuilder(1024).addDocument("http://h/a.htm", fileNamed("A.htm")).build()});
    HANDLE browser = CreateFileA(folder.file("FAT.DB").c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    REQUIRE(browser != INVALID_HANDLE_VALUE);
    ScannedModel scanned(folder.path());
    CHECK(scanned.scan() == MSG_OK);
    CHECK(scanned.model.cacheRoot->totalCount() == 1);
    CloseHandle(browser);
}

TEST_CASE("a record is present only for an ordinary file of exactly its name") {
    TempFolder folder("listing");
    folder.write("A.htm", "a");
    folder.makeFolder("SUB.htm");
    // The fullwidth asterisk U+FF0A, which a best-fit conversion to the ANSI
    // code page reports as "*".
    const std::wstring star = std::wstring(folder.path().begin(), folder.path().end()) + L"\\\xFF0A";
    HANDLE file = CreateFileW(star.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    REQUIRE(file != INVALID_HANDLE_VALUE);
    CloseHandle(file);
    writeCache(folder, 1024,
               {PageBuilder(1024)
                    .addDocument("http://h/a.htm", fileNamed("A.htm"))
                    .addDocument("http://h/star.htm", fileNamed("*"))
                    .addDocument("http://h/sub.htm", fileNamed("SUB.htm"))
                    .build()});

    RecordedUrls seen;
    CHECK(readCacheIndex(folder.path().c_str(), seen) == MSG_OK);
    CHECK(seen.urls == std::vector<std::string>{"http://h/a.htm"});
    // The folder's own clean-up lists by ANSI names and would miss it.
    CHECK(DeleteFileW(star.c_str()));
}
