#include <cstring>
#include <string>
#include <vector>

#include "core/test_seam.h"
#include "doctest.h"
#include "extract/link_matching.h"
#include "index/entry_flags.h"
#include "extract_test_model.h"

namespace {

struct Page {
    std::string text;
    MessageCode result;
};

// Rewrites `html` as the cached page `url` of `model`, saved by `job`.
Page rewrite(ExtractTestModel& model, ExtractionJob& job, const char* url, const std::string& html) {
    CacheEntry& entry = model.entry(url);
    SaveItem* item = job.findItem(entry);
    if (!item) {
        int32_t index = addDocument(job, entry);
        REQUIRE(index >= 0);
        item = job.itemAt(index);
    }
    MemorySink sink;
    MessageCode result = rewriteHtml(html.c_str(), html.size(), *item, job, sink);
    return {sink.text, result};
}

std::string rewritten(ExtractTestModel& model, ExtractOptions options, const char* url, const std::string& html) {
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, options);
    Page page = rewrite(model, *job, url, html);
    CHECK(page.result == MSG_OK);
    return page.text;
}

std::vector<std::string> localNames(const ExtractionJob& job) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < job.count(); ++i)
        names.push_back(job.itemAt(i)->localName());
    return names;
}

}  // namespace

TEST_CASE("a base tag is left out and the links behind it resolve against it") {
    ExtractTestModel model;
    model.add("http://h/d/p.htm");
    model.add("http://h/x/i.gif", "image/gif");
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    Page page = rewrite(model, *job, "http://h/d/p.htm",
                        "<BASE HREF=http://h/x/><IMG SRC=i.gif WIDTH=10><A HREF=nope.htm#t>go</A>");
    CHECK(page.result == MSG_OK);
    CHECK(page.text == "<IMG SRC=i.gif WIDTH=10><A HREF=missing.htm#{http://h/x/nope.htm#t}>go</A>");
    CHECK(job->hasAnyFlag(FLAG_MISSING_PAGE_NEEDED));
    CHECK(localNames(*job) == std::vector<std::string>{"p.htm", "i.gif"});

    CHECK(rewritten(model, kAllExtractOptions, "http://h/d/p.htm", "<img src=i.gif><base href=\"/x/\"><img src=i.gif>") ==
          "<img src=missing#{http://h/d/i.gif}><img src=i.gif>");
}

TEST_CASE("links become local names, the missing page or absolute URLs") {
    ExtractTestModel model;
    model.add("http://h/d/p.htm");
    model.add("http://h/d/i.gif", "image/gif");
    model.add("http://h/d/other.htm");
    const char* url = "http://h/d/p.htm";
    CHECK(rewritten(model, kAllExtractOptions, url, "<img src=i.gif>") == "<img src=i.gif>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=other.htm#s>") == "<a href=other.htm#s>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=nope.htm>") == "<a href=missing.htm#{http://h/d/nope.htm}>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<img src=x.gif>") == "<img src=missing#{http://h/d/x.gif}>");
    CHECK(rewritten(model, kAllExtractOptions & ~TextReplaceMissing, url, "<a href=nope.htm>") ==
          "<a href=http://h/d/nope.htm>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=mailto:u>") == "<a href=mailto:u>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=\"news:comp.x\">") == "<a href=\"news:comp.x\">");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=\"  ../d/other.htm\">") == "<a href=\"  other.htm\">");
    CHECK(rewritten(model, 0, url, "<a href=other.htm><img src=i.gif>") ==
          "<a href=http://h/d/other.htm><img src=http://h/d/i.gif>");
}

TEST_CASE("missing media leave out their tag or attribute when replacement is on") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/s.mid", "audio/midi");
    const char* url = "http://h/p.htm";
    CHECK(rewritten(model, kAllExtractOptions, url, "a<embed src=gone.mid>b<bgsound src=x>c<sound src=y>d") == "abcd");
    CHECK(rewritten(model, kAllExtractOptions & ~MediaReplaceMissing, url, "<embed src=gone.mid>") ==
          "<embed src=http://h/gone.mid>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<embed src=s.mid>") == "<embed src=s.mid>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<body background=b.gif bgcolor=red>") == "<body  bgcolor=red>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<td background=\"b.gif\">") == "<td >");
    CHECK(rewritten(model, kAllExtractOptions, url, "<img src=a.gif lowsrc=l.gif vrml=v.wrl usemap=maps.htm#m>") ==
          "<img src=missing#{http://h/a.gif}   >");
    CHECK(rewritten(model, kAllExtractOptions, url, "<script src=x.js></script>") == "<script ></script>");
}

TEST_CASE("an applet's code base is left out and its code resolved against it") {
    ExtractTestModel model;
    model.add("http://h/d/p.htm");
    model.add("http://h/d/cls/A.class", "application/octet-stream");
    const char* url = "http://h/d/p.htm";
    CHECK(rewritten(model, kAllExtractOptions, url, "<applet codebase=cls code=A.class>") == "<applet  code=A.class>");
    CHECK(rewritten(model, kAllExtractOptions, url,
                    "<applet codebase=cls code=A.class></applet><applet code=A.class width=5>") ==
          "<applet  code=A.class></applet><applet  width=5>");
}

TEST_CASE("only the followed classes of links are looked up") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/other.htm");
    model.add("http://h/i.gif", "image/gif");
    model.add("http://g/ext.htm");
    const char* url = "http://h/p.htm";
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, TextReplaceMissing | MediaFollowInternal);
    rewrite(model, *job, "http://h/other.htm", "");
    Page page = rewrite(model, *job, url, "<a href=other.htm><img src=i.gif>");
    CHECK(page.text == "<a href=missing.htm#{http://h/other.htm}><img src=i.gif>");

    CHECK(rewritten(model, TextFollowInternal | TextReplaceMissing, url, "<a href=http://g/ext.htm>") ==
          "<a href=missing.htm#{http://g/ext.htm}>");
    CHECK(rewritten(model, TextFollowExternal | TextReplaceMissing, url,
                    "<a href=http://g/ext.htm><a href=http://nowhere/x.htm>") ==
          "<a href=ext.htm><a href=missing.htm#{http://nowhere/x.htm}>");
    CHECK(rewritten(model, TextFollowExternal | TextReplaceMissing, url, "<a href=other.htm>") ==
          "<a href=missing.htm#{http://h/other.htm}>");
}

TEST_CASE("hidden documents and host folders are followed like any other") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/hidden.htm").setFlags(FLAG_HIDDEN);
    model.add("http://g/ext.htm");
    model.folder("g").setFlags(FLAG_HIDDEN);
    CHECK(rewritten(model, kAllExtractOptions, "http://h/p.htm", "<a href=hidden.htm><a href=http://g/ext.htm>") ==
          "<a href=hidden.htm><a href=ext.htm>");
}

TEST_CASE("following a link adds the document once, and a page's own anchors point to itself") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/more.htm");
    model.add("http://h/pic.gif", "image/gif");
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    Page page = rewrite(model, *job, "http://h/p.htm",
                        "<a href=#top>t</a><a href=more.htm>m</a><a href=MORE.HTM#x>m</a><img src=pic.gif>");
    CHECK(page.text == "<a href=p.htm#top>t</a><a href=more.htm>m</a><a href=more.htm#x>m</a><img src=pic.gif>");
    CHECK(localNames(*job) == std::vector<std::string>{"more.htm", "p.htm", "pic.gif"});
    CHECK_FALSE(job->hasAnyFlag(FLAG_MISSING_PAGE_NEEDED));
}

TEST_CASE("comments, unknown tags and text are copied unchanged, and everything from a NUL on") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    const char* url = "http://h/p.htm";
    std::string source = "<p class=x><!-- <a href=gone.htm> --><comment><img src=x></comment><ax href=y>";
    CHECK(rewritten(model, kAllExtractOptions, url, source) == source);
    std::string tail("\0<a href=gone.htm>\0\xFF", 20);
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=nope.htm>x" + tail) ==
          "<a href=missing.htm#{http://h/nope.htm}>x" + tail);
    CHECK(rewritten(model, kAllExtractOptions, url, tail) == tail);

    TestHost host(ANSWER_NUMBER, 2);
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions, &host);
    Page cancelled = rewrite(model, *job, url, "<b>x" + tail);
    CHECK(cancelled.text == "<b>x");
}

TEST_CASE("a character reference in a link is looked up as written") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/a.cgi?x=1&y=2");
    CHECK(rewritten(model, kAllExtractOptions, "http://h/p.htm", "<a href=\"a.cgi?x=1&amp;y=2\">") ==
          "<a href=\"missing.htm#{http://h/a.cgi?x=1&amp;y=2}\">");
    CHECK(rewritten(model, kAllExtractOptions, "http://h/p.htm", "<a href=\"a.cgi?x=1&y=2\">") == "<a href=\"a.cgi\">");
}

TEST_CASE("a name with blanks written into an unquoted value is quoted") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    CacheEntry& titled = model.add("http://h/prices/");
    REQUIRE(titled.publishTitle(duplicateText("Price list: 1996")));
    const char* url = "http://h/p.htm";
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=prices/>") == "<a href=\"Price list.htm\">");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=\"prices/\">") == "<a href=\"Price list.htm\">");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href='prices/'>") == "<a href='Price list.htm'>");
}

TEST_CASE("no value written can leave its attribute") {
    ExtractTestModel model;
    const char* url = "http://h/a\"onerror=\"alert(1)/p.htm";
    model.add(url);
    model.add("http://h/'q.htm");
    CHECK(rewritten(model, kAllExtractOptions, url, "<img src=\"i.gif\">") ==
          "<img src=\"missing#{http://h/a%22onerror=%22alert(1)/i.gif}\">");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=q.htm>") ==
          "<a href=missing.htm#{http://h/a%22onerror=%22alert(1)/q.htm}>");
    CHECK(rewritten(model, kAllExtractOptions & ~TextReplaceMissing, url, "<a href=q.htm>") ==
          "<a href=http://h/a%22onerror=%22alert(1)/q.htm>");
    CHECK(rewritten(model, kAllExtractOptions, "http://h/'q.htm", "<base href=http://h/<b\"/><a href=x.htm>") ==
          "<a href=missing.htm#{http://h/%3Cb%22/x.htm}>");
    model.add("http://h/x>y/p.htm");
    CHECK(rewritten(model, kAllExtractOptions, "http://h/x>y/p.htm", "<img src=i.gif>") ==
          "<img src=missing#{http://h/x%3Ey/i.gif}>");
    // A fragment goes behind the local name; a value that begins with a
    // quote would be read as quoted.
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=p.htm#\"<x>") == "<a href=p.htm#%22%3Cx>");
    CHECK(rewritten(model, kAllExtractOptions, url, "<a href=/'q.htm>") == "<a href=\"'q.htm\">");
    model.add("http://h/'d/p.htm");
    CHECK(rewritten(model, kAllExtractOptions, "http://h/'d/p.htm", "<img src='i.gif'>") ==
          "<img src='missing#{http://h/%27d/i.gif}'>");
}

TEST_CASE("a tag whose second link would drop it is never written cut") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    model.add("http://h/s.mid", "audio/midi");
    const char* url = "http://h/p.htm";
    CHECK(rewritten(model, kAllExtractOptions, url, "<embed src=s.mid src=gone.mid loop>after") ==
          "<embed src=s.mid  loop>after");
    CHECK(rewritten(model, kAllExtractOptions, url, "<embed src=gone.mid src=s.mid>after") == "after");
}

TEST_CASE("links longer than any buffer are rewritten whole") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    std::string longName(3000, 'q');
    model.add("http://h/" + longName + ".htm");
    const char* url = "http://h/p.htm";
    // The name is cut so that the target folder's path and it fit.
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    size_t limit = job->targetNames()->nameLimit();
    CHECK(limit == kNameBufferSize - 1 - std::strlen("C:\\target\\"));
    Page page = rewrite(model, *job, url, "<a href=" + longName + ".htm>");
    CHECK(page.text == "<a href=" + std::string(limit - 4, 'q') + ".htm>");
    std::string missing = rewritten(model, kAllExtractOptions, url, "<a href=" + longName + ".html>");
    CHECK(missing == "<a href=missing.htm#{http://h/" + longName + ".html}>");
}

TEST_CASE("a failed write ends the page with a copy error, a job out of memory with the memory message") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    CacheEntry& entry = model.entry("http://h/p.htm");
    SaveItem* item = job->itemAt(addDocument(*job, entry));
    MemorySink sink;
    sink.failAfter(3);
    CHECK(rewriteHtml("<p>text<a href=x>more", 21, *item, *job, sink) == MSG_COPY_FAILED);

    job->setStatus(-1);
    MemorySink second;
    CHECK(rewriteHtml("<p>text", 7, *item, *job, second) == MSG_OUT_OF_MEMORY);
    CHECK(second.text.empty());
}

TEST_CASE("a cancel stops the page after the current chunk") {
    ExtractTestModel model;
    model.add("http://h/p.htm");
    TestHost host(ANSWER_NUMBER, 3);
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions, &host);
    Page page = rewrite(model, *job, "http://h/p.htm", "one<b>two<a href=p.htm>three<img src=x>four");
    CHECK(page.result == MSG_OK);
    CHECK(page.text == "one<b>two<a href=p.htm>");
    CHECK(job->cancelled());
}

namespace {

// Scores every entry of the folder the plain way, as the reference for the
// indexed search.
const CacheEntry* bestMatchByScan(const DomainFolder& folder, const Url& link) {
    const CacheEntry* best = nullptr;
    int32_t bestScore = kLeastMatchScore - 1;
    for (int32_t i = 0; i < folder.count(); ++i) {
        Url candidate;
        parseUrl(candidate, folder.at(i)->name(), false);
        int32_t score = matchScore(matchUrls(link, candidate));
        if (score > bestScore) {
            bestScore = score;
            best = folder.entryAt(i);
        }
    }
    return best;
}

}  // namespace

TEST_CASE("findBestMatch finds what comparing every entry finds, comparing only the entries that can match") {
    ExtractTestModel model;
    const char* cached[] = {
        "http://h/",        "http://h/dir/",        "http://h/dir/index.html", "http://h/dir/sub",
        "http://h/a/sub/",  "http://h/a.htm?x=1",   "http://h/a.htm?x=2",      "http://h:81/a.htm",
        "http://u@h/a.htm", "http://h/b.htm;p",     "http://h/c\\d.htm",       "http://h/e\\f/g.htm",
        "http://h/DIR2/",   "http://h/dir2/INDEX.HTM", "http://h/x/y/z.htm",   "http://h/x/y",
    };
    for (const char* url : cached)
        model.add(url);
    DomainFolder& folder = model.folder("h");
    const char* links[] = {
        "http://h",          "http://h/",          "http://h/dir",       "http://h/dir/",      "http://h/dir/sub/",
        "http://h/a/sub",    "http://h/a.htm",     "http://h/a.htm?x=3", "http://h:81/a.htm",  "http://h/b.htm",
        "http://h/b.htm;q",  "http://h/c\\d.htm",  "http://h/e\\f/",     "http://h/dir2",      "http://h/x/y/",
        "http://h/x/y/z.htm#f", "http://h/nothing.htm", "http://h/dir/index.html", "http://h/DIR/SUB",
    };
    std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
    SaveItem item("http://h/p.htm", "", 0, nullptr);
    for (const char* text : links) {
        Url link;
        parseUrl(link, text, false);
        const CacheEntry* expected = bestMatchByScan(folder, link);
        const CacheEntry* found = findBestMatch(item, folder, link, *job);
        CHECK_MESSAGE(found == expected, text << " -> " << (found ? found->url() : "none") << ", expected "
                                              << (expected ? expected->url() : "none"));
    }

    ExtractTestModel grid;
    const char* paths[] = {"/", "/a/", "/a/b/", "/A/B/", "/a/b/b/", "/a\\b/", "/a/index.html/"};
    const char* names[] = {"", "b", "B", "index.html", "INDEX.HTM", "x.htm", "a\\b"};
    const char* tails[] = {"", "?q", "?r", ";p", ";p?q", ";r?r", "#f"};
    std::vector<std::string> urls;
    for (const char* path : paths) {
        for (const char* name : names) {
            for (const char* tail : tails)
                urls.push_back(std::string("http://h") + path + name + tail);
        }
    }
    for (size_t i = 0; i < urls.size(); i += 3)
        grid.add(urls[i]);
    DomainFolder& gridFolder = grid.folder("h");
    std::unique_ptr<ExtractionJob> gridJob = makeTestJob(grid.model, kAllExtractOptions);
    for (const std::string& text : urls) {
        Url link;
        parseUrl(link, text.c_str(), false);
        const CacheEntry* expected = bestMatchByScan(gridFolder, link);
        const CacheEntry* found = findBestMatch(item, gridFolder, link, *gridJob);
        CHECK_MESSAGE(found == expected, text << " -> " << (found ? found->url() : "none") << ", expected "
                                              << (expected ? expected->url() : "none"));
    }

    ExtractTestModel queries;
    queries.add("http://h/p.htm");
    for (int i = 0; i < 500; ++i)
        queries.add("http://h/a.htm?k=" + std::to_string(i));
    std::unique_ptr<ExtractionJob> queryJob = makeTestJob(queries.model, kAllExtractOptions);
    std::string sameLinks;
    for (int i = 0; i < 500; ++i)
        sameLinks += "<a href=a.htm?z>";
    testSeam().comparedCandidates = 0;
    Page none = rewrite(queries, *queryJob, "http://h/p.htm", sameLinks);
    CHECK(none.text.find("<a href=missing.htm#{http://h/a.htm?z}>") == 0);
    CHECK(testSeam().comparedCandidates == 0);
    // The one entry without a query matches every link; it alone is compared.
    queries.add("http://h/a.htm");
    std::unique_ptr<ExtractionJob> secondJob = makeTestJob(queries.model, kAllExtractOptions);
    testSeam().comparedCandidates = 0;
    Page one = rewrite(queries, *secondJob, "http://h/p.htm", sameLinks);
    CHECK(one.text.find("<a href=a.htm><a href=a.htm>") == 0);
    CHECK(testSeam().comparedCandidates == 500);

    Url dir;
    parseUrl(dir, "http://h/dir", false);
    const CacheEntry* index = findBestMatch(item, folder, dir, *job);
    REQUIRE(index != nullptr);
    CHECK(std::string(index->url()) == "http://h/dir/");
}
