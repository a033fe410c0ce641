// A model filled from records given in the test, without an index file.
#pragma once

#include <cstring>
#include <string>

#include "index/cache_entry.h"
#include "model/index_filing.h"
#include "index/index_page.h"
#include "model/cache_model.h"

// Icons 100, 101, ... for the known types, so that tests can tell them apart.
class NumberedIcons : public FileTypeIcons {
public:
    bool findIcons(const char* const*, int32_t count, int32_t* icons) override {
        for (int32_t i = 0; i < count; ++i)
            icons[i] = 100 + i;
        return true;
    }
};

struct Doc {
    std::string url;
    std::string mimeType = "text/html";
    int32_t lastAccessed = 0;
    std::string localFile = "M0A10000.htm";
    int32_t contentLength = 0;
};

struct TestModel {
    NumberedIcons icons;
    CacheModel model{&icons};

    // Files a record the way the index scan does.
    bool file(const Doc& doc) {
        IndexRecord record{};
        record.url = doc.url.c_str();
        record.localFile = doc.localFile.c_str();
        record.mimeType = doc.mimeType.c_str();
        record.lastAccessed = doc.lastAccessed;
        record.contentLength = doc.contentLength;
        return addIndexRecord(model, record, record.url);
    }

    CacheEntry* entry(const char* url) const { return findEntry(model, url).entry; }

    DomainFolder* folder(const char* host) const {
        SearchResult at = model.cacheRoot->searchKey(host);
        return at.found ? model.cacheRoot->folderAt(at.index) : nullptr;
    }
};
