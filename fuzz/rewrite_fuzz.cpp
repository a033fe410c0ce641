// One save from a small cache: the first cached document is saved, its page
// rewritten, and every document its links pull in is saved too, each HTML
// one with the same page as its text.
//
// Input: three bytes (the link options; the length of the target folder's
// path; the answer to duplicate questions), then lines up to the first NUL,
// then the page (NULs and all). A line is a cached URL, optionally followed
// by a tab and its MIME type; "=TEXT" gives the document before it its own
// title; "!NAME" is a file the target folder held when the save began;
// "?NAME" one that comes into it during the save; "@NAME" the name the user
// typed for the first document.
//
// Checks: every saved name, the missing page's too, is an ordinary file
// name of the folder (no forbidden character, no trailing dot or blank, no
// device name, within the folder's name limit), and no two documents share
// one; every rewritten page keeps the shape of its tags (each value written
// stays inside its attribute) and every byte from its first NUL on; the
// best match of a link is the one comparing it with every entry finds.
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/file_paths.h"
#include "core/text_locale.h"
#include "extract/extraction_job.h"
#include "extract/html_scanner.h"
#include "extract/link_matching.h"
#include "extract/link_rewriter.h"
#include "extract/local_names.h"
#include "fuzz/fuzz_input.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/index_filing.h"

namespace {

// Past these the input only costs time.
constexpr int32_t kMostDocuments = 48;
constexpr int32_t kMostPagesWritten = 24;

const char kMissingPage[] = "<html><body>missing</body></html>\r\n";

class FuzzHost : public ExtractionHost {
public:
    explicit FuzzHost(uint8_t answers) : answers_(answers) {}

    bool pumpProgress(const ExtractionJob&) override { return true; }

    // The answer comes from the input, two bits at a time.
    uint32_t askAboutDuplicate(const char*, uint32_t) override {
        static const uint32_t kAnswers[] = {ANSWER_NUMBER, ANSWER_OVERWRITE, ANSWER_DO_NOT_SAVE,
                                            ANSWER_NUMBER | ANSWER_FOR_ALL};
        uint32_t answer = kAnswers[(answers_ >> shift_) & 3];
        shift_ = (shift_ + 2) % 8;
        return answer;
    }

private:
    uint8_t answers_;
    int shift_ = 0;
};

std::string lowered(const std::string& name) {
    std::string text = name;
    lowerText(&text[0]);
    return text;
}

// The target folder's files: those it held and those that come into it.
class FuzzFiles : public TargetFiles {
public:
    // A drive's root ("C:\\") ends in its separator already.
    FuzzFiles(const std::string& folder, std::set<std::string> present)
        : prefix_(folder.back() == '\\' ? folder : folder + '\\'), present_(std::move(present)) {}

    Result makeEmpty(const char* path) override { return present_.insert(nameOf(path)).second ? MADE : TAKEN; }

    void remove(const char* path) override { present_.erase(nameOf(path)); }

private:
    std::string nameOf(const char* path) const {
        FUZZ_CHECK(std::strncmp(path, prefix_.c_str(), prefix_.size()) == 0);
        return lowered(path + prefix_.size());
    }

    std::string prefix_;
    std::set<std::string> present_;
};

class StringSink : public TextSink {
public:
    bool write(const char* data, size_t length) override {
        text.append(data, length);
        return true;
    }
    bool failed() const override { return false; }

    std::string text;
};

void checkSavedName(const char* name, size_t limit) {
    size_t length = std::strlen(name);
    FUZZ_CHECK(length > 0);
    FUZZ_CHECK(length <= limit && length <= kMaxLocalNameLength);
    for (const char* p = name; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        FUZZ_CHECK(c >= 0x20 && !std::strchr("\\/:*?<>\"#|%", c));
    }
    FUZZ_CHECK(name[length - 1] != '.' && name[length - 1] != ' ');
    FUZZ_CHECK(deviceNameLength(name) == 0);
    FUZZ_CHECK(isPlainFileName(name));
}

// A tag that can carry links as a rewrite must leave it: its name, and its
// text without the link attributes, which are the only parts rewritten.
struct TagShape {
    int32_t tag;
    int32_t links;
    std::string rest;
    bool operator==(const TagShape& other) const { return tag == other.tag && rest == other.rest; }
};

std::vector<TagShape> tagShapes(const char* text, bool written) {
    std::vector<TagShape> shapes;
    HtmlScanner scanner(text);
    while (scanner.nextChunk()) {
        if (scanner.tagIndex() < 0)
            continue;
        TagShape shape{scanner.tagIndex(), 0, std::string()};
        const char* copied = scanner.chunkStart();
        while (scanner.nextLinkAttribute()) {
            shape.rest.append(copied, scanner.attributeStart());
            copied = scanner.attributeStart() + scanner.attributeLength();
            ++shape.links;
            if (!written)
                continue;
            // A written value holds nothing that would end it or the tag.
            std::string value(scanner.valueStart(), scanner.valueLength());
            FUZZ_CHECK(value.find_first_of("\"<>") == std::string::npos);
            if (scanner.valueQuote() == '\'')
                FUZZ_CHECK(value.find('\'') == std::string::npos);
        }
        shape.rest.append(copied, scanner.chunkEnd());
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

// The rewrite may leave tags out, never add one, and changes only the link
// attributes of those it keeps, leaving out some of them.
void checkRewrite(const std::string& page, const std::string& written) {
    std::vector<TagShape> before = tagShapes(page.c_str(), false);
    std::vector<TagShape> after = tagShapes(written.c_str(), true);
    size_t next = 0;
    for (const TagShape& shape : after) {
        while (next < before.size() && !(before[next] == shape))
            ++next;
        FUZZ_CHECK(next < before.size());
        FUZZ_CHECK(shape.links <= before[next].links);
        ++next;
    }
    size_t textEnd = std::strlen(page.c_str());
    size_t tail = page.size() - textEnd;
    FUZZ_CHECK(written.size() >= tail && written.compare(written.size() - tail, tail, page, textEnd, tail) == 0);
}

// The names of the lines that are not documents.
struct FolderNames {
    std::vector<std::string> held;
    std::vector<std::string> arriving;
    std::string typed;
};

// Files the documents of the lines and returns the URL of the first, as it
// is stored.
std::string fileDocuments(CacheModel& model, const std::vector<std::string>& lines, FolderNames& names) {
    std::string first;
    CacheEntry* last = nullptr;
    int32_t number = 0;
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        if (line[0] == '!' || line[0] == '?') {
            (line[0] == '!' ? names.held : names.arriving).push_back(line.substr(1));
            continue;
        }
        if (line[0] == '@') {
            names.typed = line.substr(1);
            continue;
        }
        if (line[0] == '=') {
            if (last)
                last->publishTitle(duplicateText(line.c_str() + 1));
            continue;
        }
        if (number >= kMostDocuments)
            continue;
        size_t tab = line.find('\t');
        std::string url = line.substr(0, tab);
        std::string type = tab == std::string::npos ? "text/html" : line.substr(tab + 1);
        std::string file = "M" + std::to_string(1000000 + number++) + ".dat";
        IndexRecord record{};
        record.url = url.c_str();
        record.localFile = file.c_str();
        record.mimeType = type.c_str();
        FUZZ_CHECK(addIndexRecord(model, record, record.url));
        for (char& c : url) {
            if (c == '\\')
                c = '/';
        }
        // A later record of the same URL replaces the entry.
        last = findEntry(model, url.c_str()).entry;
        if (number == 1)
            first = url;
    }
    return first;
}

// The entry of the folder that scores best against the link, compared with
// every entry in turn.
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

// The links of the page, as written on the saved document's page, find in
// every folder the entry that comparing them with each entry finds.
void checkBestMatches(const CacheModel& model, ExtractionJob& job, const SaveItem& item, const std::string& page) {
    HtmlScanner scanner(page.c_str());
    int32_t links = 0;
    while (scanner.nextChunk() && links < 16) {
        while (scanner.nextLinkAttribute() && links++ < 16) {
            std::string value(scanner.valueStart(), scanner.valueLength());
            Url link;
            parseUrl(link, value.c_str(), false);
            resolveUrl(link, item.url());
            model.cacheRoot->forEach([&](NamedItem* folder) {
                const DomainFolder& hostFolder = *static_cast<DomainFolder*>(folder);
                FUZZ_CHECK(findBestMatch(item, hostFolder, link, job) == bestMatchByScan(hostFolder, link));
            });
        }
    }
}

// The save dialog takes a name for a single document only when it names a
// file of the folder that fits it; "#" and "%" it takes too, but they would
// break the links to the file, so such names are left out here.
bool addFirstDocument(ExtractionJob& job, const CacheEntry& entry, const std::string& typed) {
    if (typed.empty() || !isPlainFileName(typed.c_str()) || typed.find_first_of("#%") != std::string::npos ||
        typed.size() > job.targetNames()->nameLimit())
        return addDocument(job, entry) >= 0;
    int32_t status;
    std::unique_ptr<SaveItem> item(checkCreated(makeSaveItem(entry), status));
    FUZZ_CHECK(item && item->rename(typed.c_str()));
    item->setFlags(FLAG_NAMED_BY_USER);
    return addSaveItem(job, std::move(item)) >= 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    ExtractOptions options = input.byte() & kAllExtractOptions;
    // Folders up to a depth that leaves room for the missing page's
    // numbered name, which the save takes whatever the folder.
    size_t folderLength = 3 + input.byte() % 230;
    FuzzHost host(input.byte());
    std::vector<std::string> lines = linesOf(input.textUntil('\0'));
    std::string page(reinterpret_cast<const char*>(input.rest()), input.restSize());

    CacheModel model(nullptr);
    FUZZ_CHECK(model.status() == 0);
    FolderNames folderNames;
    std::string first = fileDocuments(model, lines, folderNames);
    CacheEntry* saved = findEntry(model, first.c_str()).entry;
    if (!saved)
        return 0;

    std::string folder = "C:\\" + std::string(folderLength - 3, 'd');
    std::unique_ptr<ExtractionJob> job(
        new ExtractionJob(model, folder.c_str(), options, &host, {kMissingPage, sizeof kMissingPage - 1}));
    FUZZ_CHECK(job->status() == 0);
    std::unique_ptr<TargetNames> names = makeTargetNames();
    FUZZ_CHECK(names != nullptr);
    std::set<std::string> present;
    for (const std::string& name : folderNames.held) {
        names->insertString(name.c_str());
        present.insert(lowered(name));
    }
    for (const std::string& name : folderNames.arriving)
        present.insert(lowered(name));
    // As the save takes its missing-link page: "missing.htm", or the first
    // free numbered name when the folder holds one.
    char missing[kNameBufferSize] = "missing.htm";
    if (names->searchKey(missing).found)
        makeUniqueName(missing, "missing.htm", *names);
    names->at(names->insertString(missing))->setFlags(FLAG_CLAIMED_IN_RUN);
    FUZZ_CHECK(job->setMissingPageName(missing));
    job->setTargetNames(std::move(names));
    job->setTargetFiles(std::unique_ptr<TargetFiles>(new FuzzFiles(folder, std::move(present))));

    if (!addFirstDocument(*job, *saved, folderNames.typed))
        return 0;
    checkBestMatches(model, *job, *job->itemAt(0), page);
    int32_t pagesWritten = 0;
    while (SaveItem* item = job->firstPendingItem()) {
        if (item->isHtml() && pagesWritten < kMostPagesWritten) {
            ++pagesWritten;
            StringSink sink;
            MessageCode result = rewriteHtml(page.c_str(), page.size(), *item, *job, sink);
            FUZZ_CHECK(result == MSG_OK);
            checkRewrite(page, sink.text);
        }
        FUZZ_CHECK(job->settleLocalName(*item));
        item->setFlags(FLAG_SAVE_DONE);
    }

    size_t limit = job->targetNames()->nameLimit();
    std::set<std::string> taken;
    for (int32_t i = 0; i < job->count(); ++i) {
        const char* name = job->itemAt(i)->localName();
        checkSavedName(name, limit);
        FUZZ_CHECK(taken.insert(lowered(name)).second);
    }
    if (job->hasAnyFlag(FLAG_MISSING_PAGE_NEEDED)) {
        checkSavedName(job->missingPageName(), limit);
        FUZZ_CHECK(taken.insert(lowered(job->missingPageName())).second);
    }
    return 0;
}
