#include "browser/navigator_items.h"

#include <cstdio>
#include <cstring>

namespace {

const char kOpenUrlFields[] = ",,0xFFFFFFFF,0,,,";
constexpr size_t kItemBufferMinimum = 1024;
// Two quotes, the fields and the NUL.
constexpr size_t kOpenUrlExtra = 2 + sizeof kOpenUrlFields;

}  // namespace

size_t navigatorItemBufferSize(size_t urlLength) {
    size_t size = urlLength + 22;
    return size < kItemBufferMinimum ? kItemBufferMinimum : size;
}

bool formatOpenUrlItem(const char* url, char* out, size_t size) {
    if (size == 0)
        return false;
    size_t length = std::strlen(url);
    // Built by copying rather than with wsprintf, which writes at most 1024
    // characters: a long URL would lose its closing quote and fields.
    if (length + kOpenUrlExtra > size) {
        out[0] = '\0';
        return false;
    }
    char* p = out;
    *p++ = '"';
    std::memcpy(p, url, length);
    p += length;
    *p++ = '"';
    std::memcpy(p, kOpenUrlFields, sizeof kOpenUrlFields);
    return true;
}

void formatActivateItem(uint32_t windowId, char* out, size_t size) {
    std::snprintf(out, size, "%lx,0x0", static_cast<unsigned long>(windowId));
}

void formatWindowInfoItem(uint32_t windowId, char* out, size_t size) {
    std::snprintf(out, size, "%lx", static_cast<unsigned long>(windowId));
}

uint32_t windowIdOfReply(const unsigned char* data, size_t size) {
    if (!data || size < 4)
        return 0;
    return static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
           static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24;
}

const char* windowTitleOfInfo(const char* data, size_t size, char* out, size_t outSize) {
    if (!data || outSize == 0)
        return nullptr;
    // The reply has a size and need not end in a NUL: the text is the bytes
    // up to its first NUL, at most as many as the buffer holds.
    const void* zero = std::memchr(data, '\0', size);
    size_t length = zero ? static_cast<size_t>(static_cast<const char*>(zero) - data) : size;
    if (length > outSize - 1)
        length = outSize - 1;
    std::memcpy(out, data, length);
    out[length] = '\0';
    if (length < 2 || out[length - 1] != '"')
        return nullptr;
    out[length - 1] = '\0';
    char* start = out + length - 1;
    while (start > out && start[-1] != '"')
        --start;
    return start;
}
