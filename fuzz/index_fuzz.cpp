// A browser cache as loading reads it, from one input: the names of the
// cache directory, one a line, up to the first NUL; then the whole FAT.DB
// file (header page and pages). The records whose files are listed are
// filed into host folders, hidden and shown, and every view of them is
// made in every order; then the cache is read again as a reload does, with
// half of the directory's files gone.
//
// Checks: a record's file is found exactly when a listed name equals it;
// the scan's filing gives what filing the records one by one gives, with
// one MIME type item per type; folders and documents are in order and each
// document sits under its URL's host; the hidden lists name only what comes
// back from the profile file, and marks made again from them are the marks
// they were made from; every view shows what the filter lets through,
// sorted, equal documents in folder order, and the tree's counts add up.
#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/text_locale.h"
#include "core/url.h"
#include "fuzz/fuzz_input.h"
#include "index/cache_directory_files.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "index/index_page.h"
#include "index/index_records.h"
#include "index/navigator.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "model/hidden_lists.h"
#include "model/index_filing.h"
#include "settings/settings.h"

namespace {

// A record kept beyond its page, for filing it again one by one.
struct KeptRecord {
    std::string url;
    std::string localFile;
    std::string mimeType;
    IndexRecord record;
};

// Hands every record to the scan's filer and keeps a copy of it.
class KeepingSink : public IndexRecordSink {
public:
    explicit KeepingSink(IndexFiler& filer) : filer_(filer) {}

    bool takeRecord(const IndexRecord& record) override {
        kept.push_back({record.url, record.localFile, record.mimeType, record});
        return filer_.takeRecord(record);
    }

    std::vector<KeptRecord> kept;

private:
    IndexFiler& filer_;
};

// The pages as the scan reads them from the file: the header as far as the
// hash library's goes, then whole pages from the second on, no further than
// the header addresses.
void readIndexImage(const uint8_t* image, size_t size, CacheDirectoryFiles& files, IndexRecordSink& sink) {
    size_t headerSize = size < kHashHeaderSize ? size : kHashHeaderSize;
    if (headerSize < kIndexHeaderSize)
        return;
    uint32_t pageSize = indexPageSize(image, headerSize);
    if (pageSize == 0)
        return;
    uint64_t pageLimit = indexPageLimit(image, headerSize);
    for (uint64_t number = 1; number < pageLimit; ++number) {
        uint64_t offset = number * pageSize;
        if (offset + pageSize > size)
            break;
        FUZZ_CHECK(passExistingRecords(image + offset, pageSize, files, sink));
    }
}

// Every record's file is found in the listing exactly when a listed name
// equals it case-insensitively.
void checkFileLookups(const uint8_t* image, size_t size, CacheDirectoryFiles& files,
                      const std::vector<std::string>& listing) {
    size_t headerSize = size < kHashHeaderSize ? size : kHashHeaderSize;
    uint32_t pageSize = indexPageSize(image, headerSize);
    if (pageSize == 0)
        return;
    for (uint64_t offset = pageSize; offset + pageSize <= size; offset += pageSize) {
        IndexPageReader reader(image + offset, pageSize);
        IndexRecord record;
        while (reader.next(record)) {
            bool listed = false;
            for (const std::string& name : listing)
                listed = listed || compareTextNoCase(name.c_str(), record.localFile) == 0;
            FUZZ_CHECK(files.find(record.localFile) == (listed ? CacheDirectoryFiles::PRESENT : CacheDirectoryFiles::ABSENT));
        }
    }
}

void checkSameTree(const CacheModel& scanned, const CacheModel& reference) {
    const FolderList& a = *scanned.cacheRoot;
    const FolderList& b = *reference.cacheRoot;
    FUZZ_CHECK(a.count() == b.count());
    for (int32_t i = 0; i < a.count(); ++i) {
        const DomainFolder& folderA = *a.folderAt(i);
        const DomainFolder& folderB = *b.folderAt(i);
        FUZZ_CHECK(std::strcmp(folderA.name(), folderB.name()) == 0);
        FUZZ_CHECK(folderA.flags() == folderB.flags());
        FUZZ_CHECK(folderA.count() == folderB.count());
        for (int32_t j = 0; j < folderA.count(); ++j) {
            const CacheEntry& entryA = *folderA.entryAt(j);
            const CacheEntry& entryB = *folderB.entryAt(j);
            FUZZ_CHECK(std::strcmp(entryA.url(), entryB.url()) == 0);
            FUZZ_CHECK(std::strcmp(entryA.localFile(), entryB.localFile()) == 0);
            FUZZ_CHECK(entryA.mimeIndex() == entryB.mimeIndex());
            FUZZ_CHECK(entryA.lastAccessed() == entryB.lastAccessed());
            FUZZ_CHECK(entryA.flags() == entryB.flags());
        }
    }
    const MimeTypeList& types = *scanned.mimeTypes;
    FUZZ_CHECK(types.count() == reference.mimeTypes->count());
    for (int32_t i = 0; i < types.count(); ++i) {
        FUZZ_CHECK(std::strcmp(types.at(i)->name(), reference.mimeTypes->at(i)->name()) == 0);
        // One item per type, whatever the letter case the index wrote.
        for (int32_t j = 0; j < i; ++j)
            FUZZ_CHECK(compareTextNoCase(types.at(i)->name(), types.at(j)->name()) != 0);
        FUZZ_CHECK(types.find(types.at(i)->name()) == i);
    }
}

// A first scan makes no folder without documents; a reload keeps those
// whose documents are gone.
void checkTreeOrder(const CacheModel& model, bool firstScan) {
    const FolderList& root = *model.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i) {
        const DomainFolder& folder = *root.folderAt(i);
        FUZZ_CHECK(!firstScan || folder.count() > 0);
        if (i > 0)
            FUZZ_CHECK(root.compareItems(*root.folderAt(i - 1), folder) < 0);
        for (int32_t j = 0; j < folder.count(); ++j) {
            const CacheEntry& entry = *folder.entryAt(j);
            if (j > 0)
                FUZZ_CHECK(folder.compareItems(*folder.entryAt(j - 1), entry) < 0);
            FUZZ_CHECK(findEntry(model, entry.url()).entry == &entry);
            UrlLayout layout;
            layoutUrl(layout, entry.url(), false);
            SpanText host(layout.host);
            FUZZ_CHECK(host.get() && root.searchKey(host.get()).index == i);
        }
    }
}

// Hides a share of the hosts and documents, chosen by their places and the
// size of the input, and checks what the lists hold.
void hideSome(CacheModel& model, size_t seed) {
    FolderList& root = *model.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i) {
        DomainFolder& folder = *root.folderAt(i);
        if ((seed + static_cast<size_t>(i)) % 4 == 1)
            FUZZ_CHECK(hideHost(model, folder));
        for (int32_t j = 0; j < folder.count(); ++j) {
            if ((seed + static_cast<size_t>(i) * 7 + static_cast<size_t>(j) * 3) % 3 == 0)
                FUZZ_CHECK(hideDocument(model, *folder.entryAt(j)));
        }
    }
    model.hiddenHosts->forEach([](NamedItem* name) { FUZZ_CHECK(isStorableHiddenName(name->name())); });
    model.hiddenUrls->forEach([](NamedItem* name) { FUZZ_CHECK(isStorableHiddenName(name->name())); });
}

std::vector<uint32_t> hiddenMarks(const CacheModel& model) {
    std::vector<uint32_t> marks;
    model.cacheRoot->forEach([&](NamedItem* folder) {
        marks.push_back(folder->flags() & FLAG_HIDDEN);
        static_cast<DomainFolder*>(folder)->forEach([&](NamedItem* entry) { marks.push_back(entry->flags() & FLAG_HIDDEN); });
    });
    return marks;
}

// The marks come back from the lists alone, as at the next start.
void checkListsGiveMarks(CacheModel& model) {
    std::vector<uint32_t> before = hiddenMarks(model);
    FUZZ_CHECK(rebuildHiddenLists(model));
    model.cacheRoot->forEach([](NamedItem* folder) {
        folder->clearFlags(FLAG_HIDDEN);
        static_cast<DomainFolder*>(folder)->forEach([](NamedItem* entry) { entry->clearFlags(FLAG_HIDDEN); });
    });
    applyHiddenLists(model);
    FUZZ_CHECK(hiddenMarks(model) == before);
}

void checkViews(const CacheModel& model) {
    const FolderList& root = *model.cacheRoot;
    std::unordered_map<const NamedItem*, int32_t> folderOrder;
    int32_t position = 0;
    root.forEachDeep([&](NamedItem* entry) { folderOrder[entry] = position++; });

    static const uint32_t kViewOptions[] = {
        0, OPTION_TEXT_ONLY, OPTION_WEB_ONLY, OPTION_TEXT_ONLY | OPTION_WEB_ONLY, OPTION_SHOW_ALL,
        OPTION_SHOW_ALL | OPTION_TEXT_ONLY | OPTION_WEB_ONLY,
    };
    static const int32_t kSortKeys[] = {
        SORT_BY_TITLE, -SORT_BY_TITLE, SORT_BY_TYPE, -SORT_BY_TYPE, SORT_BY_URL,  -SORT_BY_URL, SORT_BY_FILE,
        -SORT_BY_FILE, SORT_BY_SIZE,   -SORT_BY_SIZE, SORT_BY_DATE, -SORT_BY_DATE, 0,           INT32_MIN,
    };
    for (uint32_t options : kViewOptions) {
        uint32_t mask = filterMask(options);
        int32_t sum = 0;
        root.forEach([&](NamedItem* folder) { sum += visibleCount(*static_cast<DomainFolder*>(folder), mask); });
        FUZZ_CHECK(visibleCount(root, mask) == sum);
        // The root's list goes by the documents' own marks: a hidden host's
        // documents are listed there although its folder is not shown.
        int32_t listed = 0;
        root.forEachDeep([&](NamedItem* entry) { listed += (entry->flags() & mask) == 0 ? 1 : 0; });
        for (int32_t key : kSortKeys) {
            DocumentView view(mask, key);
            FUZZ_CHECK(fillView(view, root));
            FUZZ_CHECK(view.count() == listed);
            for (int32_t i = 0; i < view.count(); ++i) {
                FUZZ_CHECK((view.at(i)->flags() & mask) == 0);
                if (i == 0)
                    continue;
                int order = view.compareItems(*view.at(i - 1), *view.at(i));
                FUZZ_CHECK(order <= 0);
                if (order == 0)
                    FUZZ_CHECK(folderOrder[view.at(i - 1)] < folderOrder[view.at(i)]);
            }
        }
    }
}

// Reads the index into the model as a scan does; the records filed.
std::vector<KeptRecord> scanInto(CacheModel& model, const uint8_t* image, size_t size, CacheDirectoryFiles& files) {
    IndexFiler filer(model);
    KeepingSink sink(filer);
    readIndexImage(image, size, files, sink);
    filer.finish();
    return std::move(sink.kept);
}

void fileOneByOne(CacheModel& model, std::vector<KeptRecord>& records) {
    for (KeptRecord& record : records) {
        record.record.url = record.url.c_str();
        record.record.localFile = record.localFile.c_str();
        record.record.mimeType = record.mimeType.c_str();
        FUZZ_CHECK(addIndexRecord(model, record.record, record.record.url));
    }
}

// A reload empties the host folders but keeps them, with their marks.
void emptyFolders(CacheModel& model) {
    FolderList& root = *model.cacheRoot;
    for (int32_t i = 0; i < root.count(); ++i)
        root.folderAt(i)->clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    std::string listing = input.textUntil('\0');
    const uint8_t* image = input.rest();
    size_t imageSize = input.restSize();
    // The directory, and the same directory after every other file has gone.
    CacheDirectoryFiles files;
    CacheDirectoryFiles laterFiles;
    std::vector<std::string> names;
    for (const std::string& name : linesOf(listing)) {
        if (name.empty())
            continue;
        FUZZ_CHECK(files.add(name.c_str()));
        if (names.size() % 2 == 0)
            FUZZ_CHECK(laterFiles.add(name.c_str()));
        names.push_back(name);
    }
    checkFileLookups(image, imageSize, files, names);

    CacheModel model(nullptr);
    CacheModel reference(nullptr);
    FUZZ_CHECK(model.status() == 0 && reference.status() == 0);
    std::vector<KeptRecord> kept = scanInto(model, image, imageSize, files);
    fileOneByOne(reference, kept);
    checkSameTree(model, reference);
    checkTreeOrder(model, true);

    hideSome(model, size);
    hideSome(reference, size);
    checkListsGiveMarks(model);
    checkViews(model);

    // The scan of a reload files into the folders that are there.
    emptyFolders(model);
    emptyFolders(reference);
    std::vector<KeptRecord> keptAgain = scanInto(model, image, imageSize, laterFiles);
    fileOneByOne(reference, keptAgain);
    checkSameTree(model, reference);
    checkTreeOrder(model, false);
    checkViews(model);

    unhideAll(model);
    model.cacheRoot->forEachDeep([](NamedItem* entry) { FUZZ_CHECK(!entry->hasAnyFlag(FLAG_HIDDEN)); });
    FUZZ_CHECK(model.hiddenHosts->count() == 0 && model.hiddenUrls->count() == 0);
    return 0;
}
