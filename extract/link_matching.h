// Finding the cached document a link most likely names, when no cached URL
// equals the link's text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/url.h"

class CacheEntry;
class DomainFolder;
class ExtractionJob;
class SaveItem;

// The weight of matchUrls' bits: equal file names 50, one directory's
// default document 30, equal params 10, equal queries 5, equal ports 1.
int32_t matchScore(uint32_t matchBits);

// The lowest score that counts as a match.
constexpr int32_t kLeastMatchScore = 30;

// The entry of `folder` whose URL scores highest against `link`, at least
// kLeastMatchScore, the earlier entry on equal scores; null when none does.
const CacheEntry* findBestMatch(const SaveItem& item, const DomainFolder& folder, const Url& link, ExtractionJob& job);

// The entries of one folder parsed once and ordered by path, file name,
// query and params, so that a link is compared only with the entries that
// can reach the least score: matchUrls agrees only when the paths are equal
// or one names the other's directory, and when the queries, and the params,
// are equal or one of them is absent; the score needs equal file names or
// two default documents.
class FolderUrlIndex {
public:
    // Null when memory is short.
    static FolderUrlIndex* build(const DomainFolder& folder);
    ~FolderUrlIndex();
    FolderUrlIndex(const FolderUrlIndex&) = delete;
    FolderUrlIndex& operator=(const FolderUrlIndex&) = delete;

    const DomainFolder& folder() const { return folder_; }
    int32_t count() const { return count_; }
    const Url& url(int32_t index) const { return urls_[index]; }
    // False when the locale made no key for some entry: then every entry
    // must be compared.
    bool hasKeys() const { return named_ != nullptr; }

    // The folder indexes of the entries a lookup found.
    struct Range {
        const int32_t* entries;
        int32_t count;
    };
    // At most four runs: query absent or equal, each with params absent or
    // equal.
    struct Ranges {
        Range runs[4];
        int32_t count;
    };
    // The entries with this path and file name (compared case-insensitively;
    // a few more are possible, never fewer) whose query and params `link`
    // does not rule out. False when no key could be made for the texts.
    bool findNamed(const char* path, const char* fileName, const Url& link, Ranges& ranges) const;
    // The same for the entries with this path that name a directory's
    // default document: without a file name, or an index page.
    bool findDefault(const char* path, const Url& link, Ranges& ranges) const;

private:
    struct Keys {
        unsigned char* path;
        unsigned char* name;    // null for an entry without a file name
        unsigned char* query;   // null without a query
        unsigned char* params;  // null without params
    };

    FolderUrlIndex(const DomainFolder& folder, int32_t count);
    bool makeKeys();
    bool find(const int32_t* list, int32_t count, const char* path, const char* fileName, const Url& link,
              Ranges& ranges) const;

    const DomainFolder& folder_;
    int32_t count_;
    Url* urls_ = nullptr;
    Keys* keys_ = nullptr;
    int32_t* named_ = nullptr;     // entries with a file name, by path, name, query and params
    int32_t namedCount_ = 0;
    int32_t* defaults_ = nullptr;  // default documents, by path, query and params
    int32_t defaultCount_ = 0;
};
