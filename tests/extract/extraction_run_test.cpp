#include <map>
#include <string>
#include <vector>

#include "doctest.h"
#include "extract/extraction_run.h"
#include "extract/missing_page.h"
#include "extract_test_model.h"
#include "save_folder.h"

namespace {

// A picture with every byte value, CR, LF and ^Z among them, longer than one
// copy block.
std::string pictureBytes() {
    std::string bytes = "GIF89a";
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>((i * 7) & 0xFF);
    return bytes;
}

// A cache folder with its model.
struct TestCache {
    TestCache() { REQUIRE(model.model.cacheDirectory.assign(folder.path().c_str())); }

    CacheEntry& add(const std::string& url, const std::string& type, const std::string& file,
                    const std::string& content) {
        folder.write(file, content);
        return model.add(url, type, file);
    }

    TempFolder folder{"cache"};
    ExtractTestModel model;
};

std::unique_ptr<ExtractionJob> newJob(const TestCache& cache, const TempFolder& target, TestHost& host,
                                      ExtractOptions options = kAllExtractOptions) {
    MessageCode status;
    std::unique_ptr<ExtractionJob> job = createJob(cache.model.model, target.path().c_str(), options, &host, status);
    REQUIRE(job);
    CHECK(status == MSG_OK);
    return job;
}

const std::string& missingPageText() {
    static const std::string text(testMissingPage().text, testMissingPage().length);
    return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST_CASE("the missing-link page comes from the program's resources") {
    MissingPageText page = loadMissingPage();
    REQUIRE(page.text != nullptr);
    CHECK(std::string(page.text, page.length) == missingPageText());
}

TEST_CASE("a page is saved with its picture, its linked page and the missing-link page") {
    std::map<std::string, std::string> sources = sourceFiles("fixtures/small_web");
    TestCache cache;
    CacheEntry& page = cache.add("http://h/d/p.htm", "text/html", "M0000001.htm", sources["p.htm"]);
    cache.add("http://h/d/more.htm", "text/html", "M0000002.htm", sources["more.htm"]);
    cache.add("http://h/d/logo.gif", "image/gif", "M0000003.gif", pictureBytes());
    TempFolder target("target");
    // Whatever folder is current while the save runs gets nothing.
    TempFolder elsewhere("elsewhere");
    CurrentDirectory inElsewhere(elsewhere.path());
    TestHost host;

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, page) >= 0);
    CHECK(runExtractionJob(*job) == MSG_OK);
    CHECK(job->processedCount() == 3);

    std::map<std::string, std::string> expected = sourceFiles("expected/small_web");
    expected["logo.gif"] = pictureBytes();
    checkSameFiles(filesIn(target), expected);
    CHECK(filesIn(elsewhere).empty());
    CHECK(host.questions.empty());
}

TEST_CASE("an existing missing.htm is reused when it is the page, else a numbered name is taken") {
    std::map<std::string, std::string> sources = sourceFiles("fixtures/small_web");
    TestCache cache;
    CacheEntry& page = cache.add("http://h/d/p.htm", "text/html", "M0000001.htm", sources["p.htm"]);
    TempFolder target("target");
    TestHost host;

    SUBCASE("the same page") {
        target.write("missing.htm", missingPageText());
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host, TextReplaceMissing | MediaReplaceMissing);
        CHECK(std::string(job->missingPageName()) == "missing.htm");
        REQUIRE(addDocument(*job, page) >= 0);
        CHECK(runExtractionJob(*job) == MSG_OK);
        std::map<std::string, std::string> files = filesIn(target);
        CHECK(files.size() == 2);
        CHECK(files["missing.htm"] == missingPageText());
    }
    SUBCASE("a file of the user's") {
        target.write("missing.htm", "My own notes about missing things.\r\n");
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host, TextReplaceMissing | MediaReplaceMissing);
        CHECK(std::string(job->missingPageName()) == "missing (2).htm");
        REQUIRE(addDocument(*job, page) >= 0);
        CHECK(runExtractionJob(*job) == MSG_OK);
        checkSameFiles(filesIn(target), sourceFiles("expected/missing_numbered"));
    }
    CHECK(host.questions.empty());
}

TEST_CASE("documents proposing one name, and names that existed before the save") {
    TestCache cache;
    CacheEntry& first = cache.add("http://h/a/page.htm", "text/html", "M1.htm", "first");
    CacheEntry& second = cache.add("http://h/b/page.htm", "text/html", "M2.htm", "second");
    CacheEntry& third = cache.add("http://h/c/old.htm", "text/html", "M3.htm", "third");
    CacheEntry& fourth = cache.add("http://h/d/older.htm", "text/html", "M4.htm", "fourth");
    TempFolder target("target");
    target.write("old.htm", "old one");
    target.write("Older.htm", "older one");
    TestHost host(ANSWER_OVERWRITE | ANSWER_FOR_ALL);

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    for (CacheEntry* entry : {&first, &second, &third, &fourth})
        REQUIRE(addDocument(*job, *entry) >= 0);
    CHECK(host.askedNames() == std::vector<std::string>{"old.htm"});
    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> expected = {
        {"page.htm", "first"}, {"page (2).htm", "second"}, {"old.htm", "third"}, {"Older.htm", "fourth"}};
    checkSameFiles(filesIn(target), expected);
}

TEST_CASE("a failed write stops the run; a cancel stops it without the missing page") {
    TestCache cache;
    CacheEntry& a = cache.add("http://h/a.htm", "text/html", "M1.htm", "<a href=gone.htm>a</a>");
    CacheEntry& b = cache.add("http://h/b.htm", "text/html", "M2.htm", "b");
    CacheEntry& c = cache.add("http://h/c.htm", "text/html", "M3.htm", "c");
    TempFolder target("target");

    SUBCASE("a write fails") {
        CreateDirectoryA(target.file("b.htm").c_str(), nullptr);
        TestHost host(ANSWER_OVERWRITE);
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
        for (CacheEntry* entry : {&a, &b, &c})
            REQUIRE(addDocument(*job, *entry) >= 0);
        CHECK(runExtractionJob(*job) == MSG_COPY_FAILED);
        CHECK(job->processedCount() == 2);
        std::map<std::string, std::string> expected = {{"a.htm", "<a href=missing.htm#{http://h/gone.htm}>a</a>"}};
        checkSameFiles(filesIn(target), expected);
    }
    SUBCASE("the user cancels") {
        // The run asks once before each document and the page once before
        // each chunk and at its end: the fifth call is the first after a.htm.
        TestHost host(ANSWER_NUMBER, 5);
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
        for (CacheEntry* entry : {&a, &b, &c})
            REQUIRE(addDocument(*job, *entry) >= 0);
        CHECK(runExtractionJob(*job) == MSG_OK);
        CHECK(job->cancelled());
        std::map<std::string, std::string> expected = {{"a.htm", "<a href=missing.htm#{http://h/gone.htm}>a</a>"}};
        checkSameFiles(filesIn(target), expected);
    }
    SUBCASE("no link is replaced") {
        TestHost host;
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
        REQUIRE(addDocument(*job, b) >= 0);
        REQUIRE(addDocument(*job, c) >= 0);
        CHECK(runExtractionJob(*job) == MSG_OK);
        std::map<std::string, std::string> expected = {{"b.htm", "b"}, {"c.htm", "c"}};
        checkSameFiles(filesIn(target), expected);
    }
}

TEST_CASE("device names and trailing dots are saved under ordinary names, and links follow them") {
    std::map<std::string, std::string> sources = sourceFiles("fixtures/reserved");
    TestCache cache;
    CacheEntry& index = cache.add("http://h/index.htm", "text/html", "M1.htm", sources["index.htm"]);
    cache.add("http://h/con.htm", "text/html", "M2.htm", sources["console_page.htm"]);
    cache.add("http://h/Aux.", "text/html", "M3.htm", "aux");
    cache.add("http://h/lpt1.gif", "image/gif", "M4.gif", pictureBytes());
    cache.add("http://h/notes...", "text/plain", "M5.txt", "notes");
    TempFolder target("target");
    TestHost host;

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, index) >= 0);
    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> expected = sourceFiles("expected/reserved");
    expected["Aux-"] = "aux";
    expected["lpt1-.gif"] = pictureBytes();
    expected["notes"] = "notes";
    checkSameFiles(filesIn(target), expected);
}

TEST_CASE("a file that cannot be read leaves the target alone and is a copy error") {
    TestCache cache;
    CacheEntry& picture = cache.add("http://h/pic.gif", "image/gif", "M1.gif", pictureBytes());
    CacheEntry& page = cache.add("http://h/page.htm", "text/html", "M2.htm", "<p>page");
    DeleteFileA(cache.folder.file("M1.gif").c_str());
    DeleteFileA(cache.folder.file("M2.htm").c_str());
    TempFolder target("target");
    target.write("pic.gif", "precious");
    target.write("page.htm", "also precious");

    for (CacheEntry* entry : {&picture, &page}) {
        TestHost host(ANSWER_OVERWRITE);
        std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
        REQUIRE(addDocument(*job, *entry) >= 0);
        CHECK(runExtractionJob(*job) == MSG_COPY_FAILED);
    }
    std::map<std::string, std::string> expected = {{"pic.gif", "precious"}, {"page.htm", "also precious"}};
    checkSameFiles(filesIn(target), expected);
}

TEST_CASE("saving into the cache folder never copies a file onto itself") {
    TestCache cache;
    CacheEntry& picture = cache.add("http://h/M1.gif", "image/gif", "M1.gif", pictureBytes());
    CacheEntry& page = cache.add("http://h/M2.htm", "text/html", "M2.htm", "<a href=M1.gif>x</a>");

    for (CacheEntry* entry : {&picture, &page}) {
        TestHost host(ANSWER_OVERWRITE);
        std::unique_ptr<ExtractionJob> job = newJob(cache, cache.folder, host, 0);
        REQUIRE(addDocument(*job, *entry) >= 0);
        CHECK(std::string(job->itemAt(0)->localName()) == std::string(entry->localFile()));
        CHECK(runExtractionJob(*job) == MSG_COPY_FAILED);
    }
    CHECK(readWholeFile(cache.folder.file("M1.gif")) == pictureBytes());
    CHECK(readWholeFile(cache.folder.file("M2.htm")) == "<a href=M1.gif>x</a>");
}

TEST_CASE("the target folder's names include its folders and the names the save claims") {
    TestCache cache;
    CacheEntry& page = cache.add("http://h/sub", "text/html", "M1.htm", "x");
    TempFolder target("target");
    CreateDirectoryA(target.file("sub.htm").c_str(), nullptr);
    TestHost host(ANSWER_NUMBER);

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    TargetNames& names = *job->targetNames();
    CHECK(names.searchKey(".").found);
    CHECK(names.searchKey("..").found);
    CHECK(names.searchKey("SUB.HTM").found);
    SearchResult missing = names.searchKey("missing.htm");
    REQUIRE(missing.found);
    CHECK(names.at(missing.index)->hasAnyFlag(FLAG_CLAIMED_IN_RUN));
    int32_t index = addDocument(*job, page);
    REQUIRE(index >= 0);
    CHECK(std::string(job->itemAt(index)->localName()) == "sub (2).htm");
    CHECK(host.askedNames() == std::vector<std::string>{"sub.htm"});

    // A folder that cannot be listed is reported as such, not as memory
    // running out.
    MessageCode status = MSG_OK;
    CHECK_FALSE(createJob(cache.model.model, target.file("gone").c_str(), kAllExtractOptions, &host, status));
    CHECK(status == MSG_TARGET_FOLDER_UNUSABLE);
}

TEST_CASE("files that come into the folder during the save are left alone, and links name the numbered files") {
    std::map<std::string, std::string> sources = sourceFiles("fixtures/small_web");
    TestCache cache;
    CacheEntry& page = cache.add("http://h/d/p.htm", "text/html", "M0000001.htm", sources["p.htm"]);
    cache.add("http://h/d/more.htm", "text/html", "M0000002.htm", sources["more.htm"]);
    cache.add("http://h/d/logo.gif", "image/gif", "M0000003.gif", pictureBytes());
    TempFolder target("target");
    TestHost host;
    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, page) >= 0);
    // After the folder was listed and the names were claimed.
    target.write("p.htm", "mine 1");
    target.write("more.htm", "mine 2");
    target.write("missing.htm", "mine 3");

    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> expected = sourceFiles("expected/small_web");
    std::string missing = expected["missing.htm"];
    std::string more = replaced(expected["more.htm"], "missing.htm", "missing (2).htm");
    std::string start = replaced(expected["p.htm"], "missing.htm", "missing (2).htm");
    expected = {{"p.htm", "mine 1"},
                {"more.htm", "mine 2"},
                {"missing.htm", "mine 3"},
                {"p (2).htm", replaced(start, "href=more.htm", "href=\"more (2).htm\"")},
                {"more (2).htm", replaced(more, "p.htm#", "p (2).htm#")},
                {"missing (2).htm", missing},
                {"logo.gif", pictureBytes()}};
    checkSameFiles(filesIn(target), expected);
    CHECK(host.questions.empty());
}

TEST_CASE("names are cut to fit a deep target folder, numbered ones too") {
    std::string longName = std::string(200, 'L') + ".htm";
    TestCache cache;
    CacheEntry& page = cache.add("http://h/p.htm", "text/html", "M1.htm",
                                 "<a href=" + longName + ">1</a><a href=" + longName + "?2>2</a>");
    cache.add("http://h/" + longName, "text/html", "M2.htm", "long");
    cache.add("http://h/" + longName + "?2", "text/html", "M3.htm", "long 2");
    TempFolder target(std::string(150, 'd').c_str());
    size_t limit = MAX_PATH - 1 - (target.path().size() + 1);
    REQUIRE(limit > 20);
    REQUIRE(limit < 100);
    std::string cut = std::string(limit - 4, 'L') + ".htm";
    std::string numbered = std::string(limit - 8, 'L') + " (2).htm";
    TestHost host;

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, page) >= 0);
    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> expected = {
        {"p.htm", "<a href=" + cut + ">1</a><a href=\"" + numbered + "\">2</a>"},
        {cut, "long"},
        {numbered, "long 2"}};
    checkSameFiles(filesIn(target), expected);

}

TEST_CASE("a device name Windows adds to the usual ones is saved under an ordinary name") {
    TestCache cache;
    CacheEntry& page = cache.add("http://h/d/p.htm", "text/html", "M1.htm",
                                 "<a href=CONOUT$>o</a><a href=COM\xB9.htm>c</a><a href=gone.htm>g</a>");
    cache.add("http://h/d/CONOUT$", "text/html", "M2.htm", "out");
    cache.add("http://h/d/COM\xB9.htm", "text/html", "M3.htm", "port");
    TempFolder target("target");
    TestHost host;

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, page) >= 0);
    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> expected = {
        {"p.htm", "<a href=CONOUT$-.htm>o</a><a href=COM\xB9-.htm>c</a><a href=missing.htm#{http://h/d/gone.htm}>g</a>"},
        {"CONOUT$-.htm", "out"},
        {"COM\xB9-.htm", "port"},
        {"missing.htm", missingPageText()}};
    checkSameFiles(filesIn(target), expected);
}

TEST_CASE("a page too large to rewrite, and the bytes behind a NUL, are saved as they are") {
    std::string large = "<a href=gone.htm>x</a>" + std::string(kLargestRewrittenPage, ' ');
    std::string withNul = "<a href=gone.htm>x</a>" + std::string(1, '\0') + "<a href=gone.htm>\xFF\xFE";
    TestCache cache;
    CacheEntry& big = cache.add("http://h/big.htm", "text/html", "M1.htm", large);
    CacheEntry& zero = cache.add("http://h/zero.htm", "text/html", "M2.htm", withNul);
    TempFolder target("target");
    TestHost host;

    std::unique_ptr<ExtractionJob> job = newJob(cache, target, host);
    REQUIRE(addDocument(*job, big) >= 0);
    REQUIRE(addDocument(*job, zero) >= 0);
    CHECK(runExtractionJob(*job) == MSG_OK);
    std::map<std::string, std::string> files = filesIn(target);
    CHECK(files.size() == 3);
    CHECK(files["big.htm"] == large);
    CHECK(files["zero.htm"] == replaced(withNul, "<a href=gone.htm>x", "<a href=missing.htm#{http://h/gone.htm}>x"));
    CHECK(files["missing.htm"] == missingPageText());
}
