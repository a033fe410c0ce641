#include "extract/link_matching.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "core/owned_text.h"
#include "core/test_seam.h"
#include "core/text_locale.h"
#include "extract/extraction_job.h"
#include "index/cache_entry.h"
#include "model/domain_folder.h"

namespace {

// The progress callback runs once per this many entries compared.
constexpr int32_t kEntriesPerPump = 20;

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// A sort key of `text` in a malloc'd block, or null.
unsigned char* makeKey(const char* text) {
    unsigned char probe[256];
    size_t needed = makeSortKey(text, probe, sizeof probe);
    if (needed == 0)
        return nullptr;
    unsigned char* key = static_cast<unsigned char*>(std::malloc(needed));
    if (!key)
        return nullptr;
    if (needed <= sizeof probe) {
        std::memcpy(key, probe, needed);
    } else if (makeSortKey(text, key, needed) != needed) {
        std::free(key);
        return nullptr;
    }
    return key;
}

int compareKeys(const unsigned char* a, const unsigned char* b) {
    return std::strcmp(reinterpret_cast<const char*>(a), reinterpret_cast<const char*>(b));
}

// An absent part (null) comes before every present one.
int compareOptionalKeys(const unsigned char* a, const unsigned char* b) {
    if (!a || !b)
        return a ? 1 : (b ? -1 : 0);
    return compareKeys(a, b);
}

// The run of a sorted list whose entries `compare` (negative, 0 or positive
// against the sought key) finds equal.
template <class Compare>
FolderUrlIndex::Range equalRange(const int32_t* list, int32_t count, Compare compare) {
    const int32_t* end = list + count;
    const int32_t* first = std::partition_point(list, end, [&](int32_t e) { return compare(e) < 0; });
    const int32_t* last = std::partition_point(first, end, [&](int32_t e) { return compare(e) == 0; });
    return {first, static_cast<int32_t>(last - first)};
}

// Keeps the best candidate: the highest score of at least kLeastMatchScore,
// the lowest entry index among equal scores, whatever order the candidates
// come in.
class BestMatch {
public:
    BestMatch(const Url& link, ExtractionJob& job) : link_(link), job_(job) {}

    void consider(int32_t index, const Url& candidate) {
        ++testSeam().comparedCandidates;
        if (++compared_ % kEntriesPerPump == 0)
            job_.pump();
        int32_t score = matchScore(matchUrls(link_, candidate));
        if (score > score_ || (score == score_ && index < index_)) {
            score_ = score;
            index_ = index;
        }
    }

    int32_t index() const { return index_; }

private:
    const Url& link_;
    ExtractionJob& job_;
    int32_t compared_ = 0;
    int32_t score_ = kLeastMatchScore - 1;
    int32_t index_ = -1;
};

// Visits the entries that can reach the least score against the link: on
// the link's path, those with its file name, and the default documents when
// the link names one; on the directory the link's path and file name make
// (the link then names that directory), the default documents and those
// with its file name; on the directory above the link's path, the entries
// whose file name is the link's last directory (they name the link's
// directory). A file name never holds "/", but may hold "\" when the path
// holds "/", so the split at either last separator is tried. False when
// memory ran out before all were visited.
bool visitCandidates(const FolderUrlIndex& index, const Url& link, BestMatch& best) {
    auto visit = [&](const FolderUrlIndex::Ranges& ranges) {
        for (int32_t r = 0; r < ranges.count; ++r) {
            const FolderUrlIndex::Range& range = ranges.runs[r];
            for (int32_t i = 0; i < range.count; ++i)
                best.consider(range.entries[i], index.url(range.entries[i]));
        }
    };
    auto named = [&](const char* path, const char* fileName) {
        FolderUrlIndex::Ranges ranges;
        if (!index.findNamed(path, fileName, link, ranges))
            return false;
        visit(ranges);
        return true;
    };
    auto defaults = [&](const char* path) {
        FolderUrlIndex::Ranges ranges;
        if (!index.findDefault(path, link, ranges))
            return false;
        visit(ranges);
        return true;
    };

    const char* linkPath = link.path.get();
    const char* linkName = link.fileName.get();
    if (linkName && !named(linkPath, linkName))
        return false;
    if ((!linkName || link.isIndexPage) && !defaults(linkPath))
        return false;
    size_t pathLength = std::strlen(linkPath);
    if (linkName) {
        size_t nameLength = std::strlen(linkName);
        OwnedText directory(static_cast<char*>(std::malloc(pathLength + nameLength + 2)));
        if (!directory)
            return false;
        std::memcpy(directory.data(), linkPath, pathLength);
        std::memcpy(directory.data() + pathLength, linkName, nameLength);
        directory.data()[pathLength + nameLength + 1] = '\0';
        for (char separator : {'/', '\\'}) {
            directory.data()[pathLength + nameLength] = separator;
            if (!defaults(directory.get()) || !named(directory.get(), linkName))
                return false;
        }
    }
    if (pathLength == 0 || !isSeparator(linkPath[pathLength - 1]))
        return true;
    size_t lastSeparator = 0;
    size_t lastSlash = 0;
    for (size_t i = 0; i + 1 < pathLength; ++i) {
        if (isSeparator(linkPath[i]))
            lastSeparator = i + 1;
        if (linkPath[i] == '/')
            lastSlash = i + 1;
    }
    size_t splits[] = {lastSeparator, lastSlash};
    size_t splitCount = lastSlash == lastSeparator ? 1 : 2;
    for (size_t i = 0; i < splitCount; ++i) {
        size_t split = splits[i];
        OwnedText parent(duplicateRange(linkPath, split));
        OwnedText segment(duplicateRange(linkPath + split, pathLength - 1 - split));
        if (!parent || !segment || !named(parent.get(), segment.get()))
            return false;
    }
    return true;
}

}  // namespace

int32_t matchScore(uint32_t bits) {
    int32_t score = 0;
    if (bits & URL_FILE_NAME)
        score += 50;
    if (bits & URL_SAME_DEFAULT_DOCUMENT)
        score += 30;
    if (bits & URL_PARAMS)
        score += 10;
    if (bits & URL_QUERY)
        score += 5;
    if (bits & URL_PORT)
        score += 1;
    return score;
}

const CacheEntry* findBestMatch(const SaveItem&, const DomainFolder& folder, const Url& link, ExtractionJob& job) {
    if (!link.path)
        return nullptr;
    const FolderUrlIndex* index = job.folderIndex(folder);
    if (index && index->hasKeys()) {
        BestMatch best(link, job);
        if (visitCandidates(*index, link, best))
            return best.index() >= 0 ? folder.entryAt(best.index()) : nullptr;
    }
    BestMatch best(link, job);
    for (int32_t i = 0; i < folder.count(); ++i) {
        if (index) {
            best.consider(i, index->url(i));
        } else {
            Url candidate;
            parseUrl(candidate, folder.at(i)->name(), false);
            best.consider(i, candidate);
        }
    }
    return best.index() >= 0 ? folder.entryAt(best.index()) : nullptr;
}

FolderUrlIndex::FolderUrlIndex(const DomainFolder& folder, int32_t count) : folder_(folder), count_(count) {}

FolderUrlIndex::~FolderUrlIndex() {
    if (keys_) {
        for (int32_t i = 0; i < count_; ++i) {
            std::free(keys_[i].path);
            std::free(keys_[i].name);
            std::free(keys_[i].query);
            std::free(keys_[i].params);
        }
        std::free(keys_);
    }
    std::free(named_);
    std::free(defaults_);
    delete[] urls_;
}

FolderUrlIndex* FolderUrlIndex::build(const DomainFolder& folder) {
    int32_t count = folder.count();
    FolderUrlIndex* index = new (std::nothrow) FolderUrlIndex(folder, count);
    if (!index)
        return nullptr;
    index->urls_ = new (std::nothrow) Url[count > 0 ? count : 1];
    if (!index->urls_) {
        delete index;
        return nullptr;
    }
    for (int32_t i = 0; i < count; ++i)
        parseUrl(index->urls_[i], folder.at(i)->name(), false);
    if (!index->makeKeys()) {
        std::free(index->named_);
        index->named_ = nullptr;
    }
    return index;
}

bool FolderUrlIndex::makeKeys() {
    size_t slots = count_ > 0 ? static_cast<size_t>(count_) : 1;
    keys_ = static_cast<Keys*>(std::calloc(slots, sizeof(Keys)));
    named_ = static_cast<int32_t*>(std::malloc(slots * sizeof(int32_t)));
    defaults_ = static_cast<int32_t*>(std::malloc(slots * sizeof(int32_t)));
    if (!keys_ || !named_ || !defaults_)
        return false;
    auto optionalKey = [](const OwnedText& part, unsigned char*& key) {
        key = part ? makeKey(part.get()) : nullptr;
        return !part || key;
    };
    for (int32_t i = 0; i < count_; ++i) {
        const Url& url = urls_[i];
        // An entry whose URL could not be parsed has no path and never
        // matches: it stays out of both lists.
        if (!url.path)
            continue;
        keys_[i].path = makeKey(url.path.get());
        if (!keys_[i].path || !optionalKey(url.fileName, keys_[i].name) || !optionalKey(url.query, keys_[i].query) ||
            !optionalKey(url.params, keys_[i].params))
            return false;
        if (url.fileName)
            named_[namedCount_++] = i;
        if (!url.fileName || url.isIndexPage)
            defaults_[defaultCount_++] = i;
    }
    const Keys* keys = keys_;
    auto tail = [keys](int32_t a, int32_t b) {
        int c = compareOptionalKeys(keys[a].query, keys[b].query);
        if (c == 0)
            c = compareOptionalKeys(keys[a].params, keys[b].params);
        return c != 0 ? c < 0 : a < b;
    };
    std::sort(named_, named_ + namedCount_, [keys, &tail](int32_t a, int32_t b) {
        int c = compareKeys(keys[a].path, keys[b].path);
        if (c == 0)
            c = compareKeys(keys[a].name, keys[b].name);
        return c != 0 ? c < 0 : tail(a, b);
    });
    std::sort(defaults_, defaults_ + defaultCount_, [keys, &tail](int32_t a, int32_t b) {
        int c = compareKeys(keys[a].path, keys[b].path);
        return c != 0 ? c < 0 : tail(a, b);
    });
    return true;
}

bool FolderUrlIndex::find(const int32_t* list, int32_t count, const char* path, const char* fileName,
                          const Url& link, Ranges& ranges) const {
    TextKey pathKey(path);
    TextKey nameKey(fileName ? fileName : "");
    TextKey queryKey(link.query ? link.query.get() : "");
    TextKey paramsKey(link.params ? link.params.get() : "");
    const unsigned char* linkQuery = link.query ? queryKey.sortKey() : nullptr;
    const unsigned char* linkParams = link.params ? paramsKey.sortKey() : nullptr;
    if (!pathKey.sortKey() || (fileName && !nameKey.sortKey()) || (link.query && !linkQuery) ||
        (link.params && !linkParams))
        return false;
    const Keys* keys = keys_;
    Range all = equalRange(list, count, [keys, &pathKey, &nameKey, fileName](int32_t entry) {
        int c = compareKeys(keys[entry].path, pathKey.sortKey());
        return c != 0 || !fileName ? c : compareKeys(keys[entry].name, nameKey.sortKey());
    });
    ranges.count = 0;
    // A link without a query matches every query; the params behind the
    // queries are then not in one run, and matchUrls sorts them out.
    if (!link.query) {
        ranges.runs[ranges.count++] = all;
        return true;
    }
    for (const unsigned char* query : {static_cast<const unsigned char*>(nullptr), linkQuery}) {
        Range byQuery = equalRange(all.entries, all.count,
                                   [keys, query](int32_t entry) { return compareOptionalKeys(keys[entry].query, query); });
        if (!link.params) {
            ranges.runs[ranges.count++] = byQuery;
            continue;
        }
        for (const unsigned char* params : {static_cast<const unsigned char*>(nullptr), linkParams}) {
            ranges.runs[ranges.count++] = equalRange(byQuery.entries, byQuery.count, [keys, params](int32_t entry) {
                return compareOptionalKeys(keys[entry].params, params);
            });
        }
    }
    return true;
}

bool FolderUrlIndex::findNamed(const char* path, const char* fileName, const Url& link, Ranges& ranges) const {
    return find(named_, namedCount_, path, fileName, link, ranges);
}

bool FolderUrlIndex::findDefault(const char* path, const Url& link, Ranges& ranges) const {
    return find(defaults_, defaultCount_, path, nullptr, link, ranges);
}
