// A cache model filled from URLs given in a test, and a job that saves from
// it, for the tests of the extraction.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "doctest.h"
#include "extract/extraction_job.h"
#include "extract/link_rewriter.h"
#include "index/cache_entry.h"
#include "model/index_filing.h"
#include "index/index_page.h"
#include "model/cache_model.h"
#include "model/domain_folder.h"

struct CachedDocument {
    std::string url;
    std::string mimeType = "text/html";
    std::string localFile = "";
};

class ExtractTestModel {
public:
    ExtractTestModel() { REQUIRE(model.status() == 0); }

    CacheEntry& add(const std::string& url, const std::string& mimeType = "text/html",
                    const std::string& localFile = "") {
        std::string file = localFile.empty() ? "M" + std::to_string(1000000 + files_++) + ".dat" : localFile;
        IndexRecord record{};
        record.url = url.c_str();
        record.localFile = file.c_str();
        record.mimeType = mimeType.c_str();
        REQUIRE(addIndexRecord(model, record, record.url));
        // The index keeps URLs with slashes where the browser wrote backslashes.
        std::string stored = url;
        for (char& c : stored) {
            if (c == '\\')
                c = '/';
        }
        CacheEntry* entry = findEntry(model, stored.c_str()).entry;
        REQUIRE(entry != nullptr);
        return *entry;
    }

    CacheEntry& entry(const char* url) const {
        CacheEntry* found = findEntry(model, url).entry;
        REQUIRE(found != nullptr);
        return *found;
    }

    DomainFolder& folder(const char* host) const {
        SearchResult at = model.cacheRoot->searchKey(host);
        REQUIRE(at.found);
        return *model.cacheRoot->folderAt(at.index);
    }

    CacheModel model{nullptr};

private:
    int files_ = 0;
};

// The missing-link page as the program writes it.
inline MissingPageText testMissingPage() {
    static const char text[] =
        "<html>\r\n<head>\r\n<title>Missing</title>\r\n</head>\r\n<body>\r\n"
        "<h1 align=center>Tarnview</h1>\r\n"
        "<h3 align=center>The requested link is not available.</h3>\r\n"
        "<h3 align=center>Select Back to return to the previous page.</h3>\r\n"
        "</body>\r\n</html>\r\n";
    return {text, sizeof text - 1};
}

// The window a save runs under, as a test plays it: every question is
// recorded and answered from a script (then with `answer`), and the user
// cancels at the pump numbered `pumpLimit`.
class TestHost : public ExtractionHost {
public:
    struct Question {
        std::string name;
        uint32_t lastAnswer;
    };

    explicit TestHost(uint32_t scripted = ANSWER_NUMBER, int cancelAt = 1 << 30)
        : answer(scripted), pumpLimit(cancelAt) {}

    bool pumpProgress(const ExtractionJob&) override { return ++pumps < pumpLimit; }

    uint32_t askAboutDuplicate(const char* name, uint32_t lastAnswer) override {
        questions.push_back({name, lastAnswer});
        if (script.empty())
            return answer;
        uint32_t next = script.front();
        script.erase(script.begin());
        return next;
    }

    std::vector<std::string> askedNames() const {
        std::vector<std::string> names;
        for (const Question& question : questions)
            names.push_back(question.name);
        return names;
    }

    uint32_t answer;
    int pumpLimit;
    int pumps = 0;
    std::vector<uint32_t> script;
    std::vector<Question> questions;
};

// A job over an empty folder whose names are `existing`, with "missing.htm"
// claimed for the missing-link page.
inline std::unique_ptr<ExtractionJob> makeTestJob(const CacheModel& model, ExtractOptions options,
                                                  ExtractionHost* host = nullptr,
                                                  const std::vector<std::string>& existing = {}) {
    std::unique_ptr<ExtractionJob> job(new ExtractionJob(model, "C:\\target", options, host, testMissingPage()));
    std::unique_ptr<TargetNames> names = makeTargetNames();
    for (const std::string& name : existing)
        names->insertString(name.c_str());
    int32_t index = names->insertString("missing.htm");
    names->at(index)->setFlags(FLAG_CLAIMED_IN_RUN);
    job->setTargetNames(std::move(names));
    job->setMissingPageName("missing.htm");
    return job;
}

class MemorySink : public TextSink {
public:
    bool write(const char* data, size_t length) override {
        if (failAfter_ >= 0 && text.size() + length > static_cast<size_t>(failAfter_))
            failed_ = true;
        if (!failed_)
            text.append(data, length);
        return !failed_;
    }
    bool failed() const override { return failed_; }
    // Every write that would grow the text beyond `bytes` fails.
    void failAfter(int bytes) { failAfter_ = bytes; }

    std::string text;

private:
    int failAfter_ = -1;
    bool failed_ = false;
};
