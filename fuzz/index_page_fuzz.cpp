// libFuzzer entry point for the index page reader: the input is one page.
// Built only by a native Clang build (see tests/index/CMakeLists.txt).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "index/index_page.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    indexPageSize(data, size);
    indexPageLimit(data, size);
    IndexPageReader reader(data, size);
    IndexRecord record;
    size_t total = 0;
    while (reader.next(record))
        total += std::strlen(record.url) + std::strlen(record.localFile) + std::strlen(record.mimeType);
    return total == static_cast<size_t>(-1);
}
