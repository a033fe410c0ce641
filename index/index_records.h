// Handing the index's document records to whoever files them: the index
// reader knows the browser's files, not where their records go.
#pragma once

#include <cstddef>

#include "index/cache_directory_files.h"
#include "index/index_page.h"

// Receives the records whose cached file exists, in the order of the index.
class IndexRecordSink {
public:
    virtual ~IndexRecordSink() = default;
    // False when memory ran out; reading stops there.
    virtual bool takeRecord(const IndexRecord& record) = 0;
};

// Hands every record of the page whose local file is among `files` to
// `sink`. False when memory ran out; what was handed on before stays.
bool passExistingRecords(const unsigned char* page, size_t size, CacheDirectoryFiles& files, IndexRecordSink& sink);
