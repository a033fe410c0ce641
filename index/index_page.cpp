#include "index/index_page.h"

#include <cstring>

#include "index/navigator.h"

namespace {

// Offsets of a key item.
constexpr size_t kKeyUrl = 8;

// Offsets of a data item (the document record).
constexpr size_t kRecordLastModified = 8;
constexpr size_t kRecordLastAccessed = 12;
constexpr size_t kRecordExpires = 16;
constexpr size_t kRecordContentLength = 20;
constexpr size_t kRecordFirstLength = 29;
constexpr size_t kRecordLocalFile = 33;
// A record must at least hold its first length word and one byte of file name.
constexpr size_t kRecordMinimumSize = kRecordLocalFile + 1;

// The variable fields between the file name and the MIME type: the next
// length word (after the fourth: the MIME type) stands this many bytes plus
// the length behind the length word before it.
constexpr size_t kSkipAfterLength[4] = {21, 4, 8, 8};

// Offsets below 4 mark the hash file's overflow links and big items.
constexpr size_t kFirstItemOffset = 4;

uint32_t readLittle32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t readSigned32(const unsigned char* p) {
    return static_cast<int32_t>(readLittle32(p));
}

uint16_t readLittle16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// The text at `offset` when it is terminated inside the item.
const char* textInside(const unsigned char* item, size_t size, size_t offset) {
    if (offset >= size || !std::memchr(item + offset, 0, size - offset))
        return nullptr;
    return reinterpret_cast<const char*>(item + offset);
}

// The 32-bit length word at `offset`, when it lies inside the item.
bool lengthInside(const unsigned char* item, size_t size, size_t offset, int64_t& length) {
    if (offset > size || size - offset < 4)
        return false;
    length = readSigned32(item + offset);
    return true;
}

const char* urlOfKey(const unsigned char* key, size_t size) {
    if (size < kKeyUrl + 1 || readLittle32(key) != size)
        return nullptr;
    return textInside(key, size, kKeyUrl);
}

bool readRecord(const unsigned char* data, size_t size, IndexRecord& record) {
    if (size < kRecordMinimumSize || readLittle32(data) != size)
        return false;
    record.localFile = textInside(data, size, kRecordLocalFile);
    if (!record.localFile)
        return false;
    // The lengths are signed numbers from the file: each step is checked
    // against the item before the next one is taken, in 64 bits, so that no
    // sum can wrap around into the item again.
    int64_t offset = kRecordFirstLength;
    for (size_t skip : kSkipAfterLength) {
        int64_t length = 0;
        if (!lengthInside(data, size, static_cast<size_t>(offset), length) || length < 0)
            return false;
        offset += static_cast<int64_t>(skip) + length;
        if (offset >= static_cast<int64_t>(size))
            return false;
    }
    record.mimeType = textInside(data, size, static_cast<size_t>(offset));
    if (!record.mimeType)
        return false;
    record.lastModified = readSigned32(data + kRecordLastModified);
    record.lastAccessed = readSigned32(data + kRecordLastAccessed);
    record.expires = readSigned32(data + kRecordExpires);
    record.contentLength = readSigned32(data + kRecordContentLength);
    return true;
}

}  // namespace

uint32_t indexPageSize(const unsigned char* header, size_t size) {
    if (size < kIndexHeaderSize || std::memcmp(header, kIndexMagic, sizeof kIndexMagic) != 0)
        return 0;
    return static_cast<uint32_t>(header[kIndexPageSizeByte]) * 256;
}

IndexPageReader::IndexPageReader(const unsigned char* page, size_t size) : page_(page), itemEnd_(size) {
    if (size < 2)
        return;
    int16_t words = static_cast<int16_t>(readLittle16(page));
    if (words <= 0 || words % 2 != 0)
        return;
    // The offset table itself must fit in the page.
    if (2 + 2 * static_cast<size_t>(words) > size)
        return;
    pairCount_ = static_cast<size_t>(words) / 2;
}

bool IndexPageReader::next(IndexRecord& record) {
    while (nextPair_ < pairCount_) {
        const unsigned char* offsets = page_ + 2 + 4 * nextPair_;
        size_t keyOffset = readLittle16(offsets);
        size_t dataOffset = readLittle16(offsets + 2);
        if (keyOffset < kFirstItemOffset || keyOffset >= itemEnd_ || dataOffset < kFirstItemOffset ||
            dataOffset >= keyOffset) {
            pairCount_ = 0;
            return false;
        }
        ++nextPair_;
        const unsigned char* key = page_ + keyOffset;
        size_t keySize = itemEnd_ - keyOffset;
        const unsigned char* data = page_ + dataOffset;
        size_t dataSize = keyOffset - dataOffset;
        itemEnd_ = dataOffset;

        if (keySize >= 4 && std::memcmp(key, kInternalKeyPrefix, 4) == 0)
            continue;
        record.url = urlOfKey(key, keySize);
        if (record.url && readRecord(data, dataSize, record))
            return true;
    }
    return false;
}
