#include <string>
#include <vector>

#include "core/test_seam.h"
#include "doctest.h"
#include "extract_test_model.h"

namespace {

std::string nameOf(const ExtractionJob& job, int32_t index) {
    REQUIRE(index >= 0);
    return job.itemAt(index)->localName();
}

}  // namespace

TEST_CASE("a name claimed by another document of the save is numbered without a question") {
    ExtractTestModel model;
    CacheEntry& first = model.add("http://h/a/page.htm");
    CacheEntry& second = model.add("http://g/b/PAGE.htm");
    CacheEntry& third = model.add("http://h/c/page.htm");
    TestHost host(0);
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions, &host);
    CHECK(nameOf(*job, addDocument(*job, first)) == "page.htm");
    CHECK(nameOf(*job, addDocument(*job, second)) == "PAGE (2).htm");
    CHECK(nameOf(*job, addDocument(*job, third)) == "page (3).htm");
    CHECK(job->findItem(second)->hasAnyFlag(FLAG_NUMBERED));
    CHECK(host.questions.empty());

    CacheEntry& named = model.add("http://h/missing.htm");
    CHECK(nameOf(*job, addDocument(*job, named)) == "missing (2).htm");
    CHECK(host.questions.empty());
}

TEST_CASE("thousands of documents proposing one name are numbered with a lookup or two each") {
    ExtractTestModel model;
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    const int count = 2000;
    testSeam().numberedLookups = 0;
    for (int i = 0; i < count; ++i) {
        CacheEntry& entry = model.add("http://h/d" + std::to_string(i) + "/index.html");
        std::string expected = i == 0 ? "index.html" : "index (" + std::to_string(i + 1) + ").html";
        REQUIRE(nameOf(*job, addDocument(*job, entry)) == expected);
    }
    CHECK(testSeam().numberedLookups < 2 * count);
    // Another spelling of the name goes on from the same number; a numbered
    // name claimed otherwise is still skipped.
    CacheEntry& typed = model.add("http://h/t/index (2001).html");
    CHECK(nameOf(*job, addDocument(*job, typed)) == "index (2001).html");
    CHECK(nameOf(*job, addDocument(*job, model.add("http://h/e/INDEX.HTML"))) == "INDEX (2002).HTML");
}

TEST_CASE("a name found in the folder is asked about; an answer for all holds for the save") {
    ExtractTestModel model;
    CacheEntry& a = model.add("http://h/a.htm");
    CacheEntry& b = model.add("http://h/b.htm");
    CacheEntry& c = model.add("http://h/c.htm");
    CacheEntry& d = model.add("http://h/d.htm");
    TestHost host(0);
    host.script = {ANSWER_OVERWRITE, ANSWER_NUMBER | ANSWER_FOR_ALL};
    std::unique_ptr<ExtractionJob> job =
        makeTestJob(model.model, kAllExtractOptions, &host, {"A.HTM", "b.htm", "c.htm", "d.htm"});
    CHECK(nameOf(*job, addDocument(*job, a)) == "a.htm");
    CHECK(nameOf(*job, addDocument(*job, b)) == "b (2).htm");
    CHECK(nameOf(*job, addDocument(*job, c)) == "c (2).htm");
    CHECK(nameOf(*job, addDocument(*job, d)) == "d (2).htm");
    REQUIRE(host.questions.size() == 2);
    CHECK(host.questions[0].name == "a.htm");
    CHECK(host.questions[0].lastAnswer == ANSWER_NUMBER);
    CHECK(host.questions[1].name == "b.htm");
    CHECK(host.questions[1].lastAnswer == ANSWER_OVERWRITE);
    CHECK(job->status() == 0);
}

TEST_CASE("a document the user chose not to save is left out and asked about again") {
    ExtractTestModel model;
    CacheEntry& page = model.add("http://h/p.htm");
    CacheEntry& linked = model.add("http://h/x.htm");
    TestHost host(0);
    host.script = {ANSWER_DO_NOT_SAVE, ANSWER_DO_NOT_SAVE, 0, ANSWER_DO_NOT_SAVE | ANSWER_FOR_ALL};
    std::unique_ptr<ExtractionJob> job =
        makeTestJob(model.model, kAllExtractOptions, &host, {"x.htm"});
    SaveItem* item = job->itemAt(addDocument(*job, page));
    MemorySink sink;
    std::string html = "<a href=x.htm>1</a><a href=x.htm>2</a><a href=x.htm>3</a><a href=x.htm>4</a><a href=x.htm>5</a>";
    CHECK(rewriteHtml(html.c_str(), html.size(), *item, *job, sink) == MSG_OK);
    CHECK(sink.text ==
          "<a href=missing.htm#{http://h/x.htm}>1</a><a href=missing.htm#{http://h/x.htm}>2</a>"
          "<a href=missing.htm#{http://h/x.htm}>3</a><a href=missing.htm#{http://h/x.htm}>4</a>"
          "<a href=missing.htm#{http://h/x.htm}>5</a>");
    CHECK(host.questions.size() == 4);
    CHECK(host.questions[1].lastAnswer == ANSWER_DO_NOT_SAVE);
    CHECK(host.questions[2].lastAnswer == ANSWER_DO_NOT_SAVE);
    CHECK(host.questions[3].lastAnswer == 0);
    CHECK(job->findItem(linked) == nullptr);
    CHECK(job->count() == 1);
    CHECK(job->status() == 0);
}

TEST_CASE("a name the user typed is kept, and the missing page moves out of its way") {
    ExtractTestModel model;
    CacheEntry& entry = model.add("http://h/p.htm");
    TestHost host(0);
    std::unique_ptr<ExtractionJob> job =
        makeTestJob(model.model, kAllExtractOptions, &host, {"kept.htm"});
    int32_t status;
    std::unique_ptr<SaveItem> item(checkCreated(makeSaveItem(entry), status));
    REQUIRE(item);
    REQUIRE(item->rename("Missing.htm"));
    item->setFlags(FLAG_NAMED_BY_USER);
    CHECK(nameOf(*job, addSaveItem(*job, std::move(item))) == "Missing.htm");
    CHECK(std::string(job->missingPageName()) == "missing (2).htm");
    CHECK(host.questions.empty());

    std::unique_ptr<SaveItem> second(checkCreated(makeSaveItem(model.add("http://h/q.htm")), status));
    REQUIRE(second->rename("kept.htm"));
    second->setFlags(FLAG_NAMED_BY_USER);
    CHECK(nameOf(*job, addSaveItem(*job, std::move(second))) == "kept.htm");
    CHECK(host.questions.empty());
}

TEST_CASE("the run takes items in URL order, also those inserted before written ones") {
    ExtractTestModel model;
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    addDocument(*job, model.add("http://h/m.htm"));
    addDocument(*job, model.add("http://h/z.htm"));
    SaveItem* first = job->firstPendingItem();
    REQUIRE(first);
    CHECK(std::string(first->name()) == "http://h/m.htm");
    first->setFlags(FLAG_SAVE_DONE);
    addDocument(*job, model.add("http://h/a.htm"));
    SaveItem* next = job->firstPendingItem();
    REQUIRE(next);
    CHECK(std::string(next->name()) == "http://h/a.htm");
    next->setFlags(FLAG_SAVE_DONE);
    CHECK(std::string(job->firstPendingItem()->name()) == "http://h/z.htm");
    job->firstPendingItem()->setFlags(FLAG_SAVE_DONE);
    CHECK(job->firstPendingItem() == nullptr);
}
