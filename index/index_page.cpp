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

// The hash library's header: signed 32-bit words, big-endian. The header
// pages come first, then the buckets, each split's overflow pages behind the
// bucket that ended the split before: bucket b stands at page
// b + hdrpages + spares[ceil(log2(b + 1)) - 1], and the overflow pages of
// split s reach page 2^s - 1 + hdrpages + spares[s] (spares counts the
// overflow pages of every split up to s).
constexpr size_t kHeaderLorder = 8;
constexpr size_t kHeaderBsize = 12;
constexpr size_t kHeaderBshift = 16;
constexpr size_t kHeaderOvflPoint = 32;
constexpr size_t kHeaderMaxBucket = 40;
constexpr size_t kHeaderHdrPages = 60;
constexpr size_t kHeaderSpares = 68;
constexpr int32_t kSplitPoints = 32;
constexpr int32_t kLittleEndianOrder = 1234;
constexpr int32_t kBigEndianOrder = 4321;

uint32_t readLittle32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

int32_t readSigned32(const unsigned char* p) {
    return static_cast<int32_t>(readLittle32(p));
}

int32_t readBig32(const unsigned char* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
                                static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]));
}

// ceil(log2(n)) for n >= 1, as the hash library counts its splits.
int32_t splitOf(int64_t n) {
    int32_t split = 0;
    while ((int64_t{1} << split) < n)
        ++split;
    return split;
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

uint64_t indexPageLimit(const unsigned char* header, size_t size) {
    uint32_t pageSize = indexPageSize(header, size);
    if (pageSize == 0 || size < kHashHeaderSize)
        return kAllPages;
    int32_t order = readBig32(header + kHeaderLorder);
    int32_t bshift = readBig32(header + kHeaderBshift);
    int32_t ovflPoint = readBig32(header + kHeaderOvflPoint);
    int32_t maxBucket = readBig32(header + kHeaderMaxBucket);
    int32_t hdrPages = readBig32(header + kHeaderHdrPages);
    bool fits = (order == kLittleEndianOrder || order == kBigEndianOrder) &&
                readBig32(header + kHeaderBsize) == static_cast<int32_t>(pageSize) && bshift >= 8 && bshift < 17 &&
                (int64_t{1} << bshift) == pageSize && hdrPages > 0 && ovflPoint >= 0 && ovflPoint < kSplitPoints &&
                maxBucket >= 0 && splitOf(int64_t{maxBucket} + 1) <= ovflPoint;
    if (!fits)
        return kAllPages;
    int32_t spares[kSplitPoints];
    for (int32_t split = 0; split <= ovflPoint; ++split) {
        spares[split] = readBig32(header + kHeaderSpares + 4 * static_cast<size_t>(split));
        if (spares[split] < 0)
            return kAllPages;
    }
    // Every number below is at most 2^31 - 1, so no sum leaves 64 bits.
    int32_t bucketSplit = splitOf(int64_t{maxBucket} + 1);
    int64_t lastPage = int64_t{maxBucket} + hdrPages + (maxBucket > 0 ? spares[bucketSplit - 1] : 0);
    for (int32_t split = 0; split <= ovflPoint; ++split) {
        int32_t before = split > 0 ? spares[split - 1] : 0;
        if (spares[split] <= before)
            continue;
        int64_t lastOverflow = (int64_t{1} << split) - 1 + hdrPages + spares[split];
        if (lastOverflow > lastPage)
            lastPage = lastOverflow;
    }
    return static_cast<uint64_t>(lastPage) + 1;
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
