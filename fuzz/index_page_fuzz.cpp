// One page of the cache index, of any size, as the index reader walks it;
// the input is the page. The index target reaches the same reader through
// whole files; a page alone lets the fuzzer work on the pairs' offsets,
// lengths and texts without first finding a header.
//
// Checks: every record's texts begin inside the page and end there, at a
// NUL; the header functions read no more than the bytes they are given.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "index/index_page.h"

namespace {

// The text lies inside the page and is terminated there.
bool insidePage(const char* text, const uint8_t* page, size_t size) {
    const uint8_t* start = reinterpret_cast<const uint8_t*>(text);
    return start >= page && start < page + size && std::memchr(start, 0, static_cast<size_t>(page + size - start));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    indexPageSize(data, size);
    indexPageLimit(data, size);
    IndexPageReader reader(data, size);
    IndexRecord record;
    while (reader.next(record)) {
        FUZZ_CHECK(insidePage(record.url, data, size));
        FUZZ_CHECK(insidePage(record.localFile, data, size));
        FUZZ_CHECK(insidePage(record.mimeType, data, size));
    }
    return 0;
}
