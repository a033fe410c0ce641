// Reading the pages of the cache index: pure functions over byte buffers,
// so that they build natively and can be fuzzed.
//
// The index comes from another program and may be damaged or hostile: no
// function here reads outside the page it is given, whatever the page holds.
#pragma once

#include <cstddef>
#include <cstdint>

// The page size the 16-byte header announces, or 0 when the header is not
// that of a cache index (wrong magic, or a page size of 0, which would never
// advance through the file).
uint32_t indexPageSize(const unsigned char* header, size_t size);

// The number of pages, from the start of the file, that the hash library's
// header can address: its header pages, its buckets and the overflow pages
// of every split so far. No page of an index lies beyond them, so a file
// grown past them holds nothing to read there. kAllPages when the header
// does not say: when it is shorter than the library's, or its sizes do not
// fit together; the file is then read to its end.
constexpr uint64_t kAllPages = UINT64_MAX;
uint64_t indexPageLimit(const unsigned char* header, size_t size);

// One document record of the index. The texts point into the page and are
// terminated inside their item.
struct IndexRecord {
    const char* url;
    const char* localFile;
    const char* mimeType;
    int32_t lastModified;
    int32_t lastAccessed;
    int32_t expires;
    int32_t contentLength;
};

// Walks the pairs of one index page in file order and hands out the document
// records. Pairs that cannot be records (the browser's "INT_" bookkeeping,
// length words that do not match, fields or texts that would reach past
// their item) are passed over; an offset that breaks the page's packing ends
// the page, and so does an offset table that would not fit in it.
class IndexPageReader {
public:
    IndexPageReader(const unsigned char* page, size_t size);

    // Fills `record` with the next usable record; false at the page's end.
    bool next(IndexRecord& record);

private:
    const unsigned char* page_;
    size_t pairCount_ = 0;
    size_t nextPair_ = 0;
    size_t itemEnd_;
};
