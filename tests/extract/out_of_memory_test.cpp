// The portable jobs with one allocation failing a run: the first, then the
// next, until a run meets no failure. Each run ends with the job saying it
// ran out of memory, or with what it gives when memory is plenty; never
// with a different result. In the native build LeakSanitizer checks at the
// end that no failing path lost what it had allocated.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/url.h"
#include "doctest.h"
#include "extract_test_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "model/model_builder.h"
#include "support/failing_allocator.h"

namespace {

// Runs `attempt(n)` for n = 1, 2, ... until a run meets no failure or one
// is unsound; `attempt` arms the allocator around the code under test only,
// so that the test's own strings never fail.
template <class Attempt>
void failEachAllocation(Attempt attempt) {
    for (long n = 1; n < 100000; ++n) {
        bool sound = attempt(n);
        CHECK_MESSAGE(sound, "allocation " << n);
        if (!sound || !failing_allocator::failed())
            return;
    }
    FAIL("the job never got through");
}

// A page written into a fixed buffer: a sink that allocates would fail
// with the code under test.
class FixedSink : public TextSink {
public:
    bool write(const char* data, size_t length) override {
        if (used_ + length > sizeof text_)
            return !(failed_ = true);
        std::memcpy(text_ + used_, data, length);
        used_ += length;
        return true;
    }
    bool failed() const override { return failed_; }
    std::string text() const { return std::string(text_, used_); }

private:
    char text_[8192];
    size_t used_ = 0;
    bool failed_ = false;
};

std::string composed(const Url& url) {
    char text[1024];
    composeUrl(url, text, sizeof text, 0x1FF);
    return text;
}

}  // namespace

TEST_CASE("a URL whose parts could not all be copied says so") {
    const char base[] = "http://leser@www.example.de:8080/archiv/1996/dezember.html;p?monat=12#oben";
    const char link[] = "../1997/januar.html";
    Url referenceBase, reference, referenceEmpty;
    parseUrl(referenceBase, base, false);
    parseUrl(reference, link, false);
    resolveUrl(reference, referenceBase);
    parseUrl(referenceEmpty, "", false);
    resolveUrl(referenceEmpty, referenceBase);
    const std::string expected = composed(reference);
    const std::string expectedEmptyLink = composed(referenceEmpty);
    REQUIRE(expected == "http://leser@www.example.de:8080/archiv/1997/januar.html");

    failEachAllocation([&](long n) {
        Url parsedBase, parsed, empty;
        failing_allocator::arm(n);
        parseUrl(parsedBase, base, false);
        parseUrl(parsed, link, false);
        resolveUrl(parsed, parsedBase);
        parseUrl(empty, "", false);
        resolveUrl(empty, parsedBase);
        failing_allocator::disarm();
        bool whole = !parsedBase.incomplete && !parsed.incomplete && !empty.incomplete;
        if (!failing_allocator::failed() && !whole)
            return false;
        return !whole || (composed(parsed) == expected && composed(empty) == expectedEmptyLink);
    });
}

TEST_CASE("a page rewritten without memory enough reports it, or is written as with memory") {
    ExtractTestModel model;
    model.add("http://h/index.html");
    model.add("http://h/bilder/logo.gif", "image/gif");
    model.add("http://h/seiten/a.html");
    model.add("http://andere.de/b.html");
    model.add("http://h/code/Uhr.class", "application/octet-stream");
    const std::string page =
        "<html><head><base href=\"http://h/\"><title>t</title></head><body background=bilder/logo.gif>"
        "<a href=\"seiten/a.html#teil\">a</a> <a href=http://andere.de/b.html>b</a>"
        "<img src=\"bilder/fehlt.gif\" alt=x><a href=\"fehlt.html\">f</a>"
        "<applet codebase=\"code/\" code=\"Uhr.class\"></applet></body></html>";

    auto rewrite = [&](long failAt, MessageCode& result, std::string& text) {
        std::unique_ptr<ExtractionJob> job = makeTestJob(model.model, kAllExtractOptions);
        SaveItem* item = job->itemAt(addDocument(*job, model.entry("http://h/index.html")));
        FixedSink sink;
        failing_allocator::arm(failAt);
        result = rewriteHtml(page.c_str(), page.size(), *item, *job, sink);
        failing_allocator::disarm();
        text = sink.text();
    };
    MessageCode referenceResult;
    std::string reference;
    rewrite(0, referenceResult, reference);
    REQUIRE(referenceResult == MSG_OK);
    REQUIRE(reference.find("missing.htm#{http://h/fehlt.html}") != std::string::npos);

    failEachAllocation([&](long n) {
        MessageCode result;
        std::string text;
        rewrite(n, result, text);
        return result == MSG_OUT_OF_MEMORY || (result == MSG_OK && text == reference);
    });
}

TEST_CASE("filing records and making views without memory enough reports it, or files them all") {
    std::vector<Doc> docs = {
        {"http://www.example.de/", "text/html", 5, "M0A1.htm"},
        {"http://www.example.de/bild.gif", "image/gif", 3, "M0A2.gif"},
        {"http://WWW.Example.DE/seite.html", "text/html", 9, "M0A3.htm"},
        {"ftp://ftp.example.de/pub/README", "text/plain", 1, "M0A4.txt"},
        {"http://192.168.1.1:8080/x?y=1", "text/html", 2, "M0A5.htm"},
        {"http://www.example.de/", "text/html", 7, "M0A6.htm"},
    };
    auto fileAll = [&](long failAt, std::vector<std::string>& shown) {
        failing_allocator::arm(failAt);
        bool sound = true;
        {
            NumberedIcons icons;
            CacheModel model(&icons);
            bool made = model.status() == 0;
            for (const Doc& doc : docs) {
                if (!made)
                    break;
                IndexRecord record{};
                record.url = doc.url.c_str();
                record.localFile = doc.localFile.c_str();
                record.mimeType = doc.mimeType.c_str();
                record.lastAccessed = doc.lastAccessed;
                made = addIndexRecord(model, record, record.url);
            }
            std::unique_ptr<DocumentView> view;
            if (made) {
                // Every document of every folder, by file name.
                view.reset(new (std::nothrow) DocumentView(0, SORT_BY_FILE));
                made = view && view->status() == 0 && fillView(*view, *model.cacheRoot);
            }
            failing_allocator::disarm();
            // A job that got through shows every document, in order.
            if (made) {
                for (int32_t i = 0; i < model.cacheRoot->count(); ++i) {
                    const DomainFolder& folder = *model.cacheRoot->folderAt(i);
                    for (int32_t j = 0; j < folder.count(); ++j)
                        shown.push_back(std::string(folder.name()) + " " + folder.entryAt(j)->url());
                }
                for (int32_t i = 0; i < view->count(); ++i)
                    shown.push_back(std::string("view ") + view->entryAt(i)->url());
            }
            sound = made || failing_allocator::failed();
        }
        return sound;
    };
    std::vector<std::string> reference;
    REQUIRE(fileAll(0, reference));
    REQUIRE(reference.size() > docs.size());

    failEachAllocation([&](long n) {
        std::vector<std::string> shown;
        bool sound = fileAll(n, shown);
        return sound && (shown.empty() || shown == reference);
    });
}
