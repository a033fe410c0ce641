// Index pages built byte by byte, the way the browser's hash file lays them
// out, so that tests can damage exactly the byte they mean to.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline void putLittle32(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

inline void putLittle16(Bytes& bytes, size_t at, uint16_t value) {
    bytes[at] = static_cast<unsigned char>(value);
    bytes[at + 1] = static_cast<unsigned char>(value >> 8);
}

inline void appendLittle32(Bytes& bytes, uint32_t value) {
    bytes.resize(bytes.size() + 4);
    putLittle32(bytes, bytes.size() - 4, value);
}

inline void appendText(Bytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
}

// The key item of a document: its length, 4 bytes the reader ignores, the URL.
inline Bytes keyItem(const std::string& url) {
    Bytes key;
    appendLittle32(key, static_cast<uint32_t>(8 + url.size() + 1));
    appendLittle32(key, 0xC0FFEE);
    appendText(key, url);
    return key;
}

inline Bytes internalKeyItem(const std::string& name) {
    Bytes key(name.begin(), name.end());
    key.push_back(0);
    return key;
}

struct RecordFields {
    std::string localFile = "M0A10000.htm";
    std::string mimeType = "text/html";
    int32_t lastModified = 820454400;
    int32_t lastAccessed = 837954300;
    int32_t expires = 0;
    int32_t contentLength = 1234;
    std::string charset = "iso-8859-1";
    std::string encoding = "identity";
    std::string server = "Apache/1.1.1";
};

// Where the length words and the MIME type of a record item stand.
struct RecordLayout {
    size_t lengthWord[4];
    size_t mimeType;
};

// A document record laid out as the browser writes it.
inline Bytes recordItem(const RecordFields& f, RecordLayout* layout = nullptr) {
    Bytes data;
    appendLittle32(data, 0);  // the item's length, filled in at the end
    appendLittle32(data, 3);
    appendLittle32(data, static_cast<uint32_t>(f.lastModified));
    appendLittle32(data, static_cast<uint32_t>(f.lastAccessed));
    appendLittle32(data, static_cast<uint32_t>(f.expires));
    appendLittle32(data, static_cast<uint32_t>(f.contentLength));
    appendLittle32(data, 1);
    data.push_back(0);
    RecordLayout at{};
    const std::string* fields[4] = {&f.localFile, &f.charset, &f.encoding, &f.server};
    for (int i = 0; i < 4; ++i) {
        at.lengthWord[i] = data.size();
        appendLittle32(data, static_cast<uint32_t>(fields[i]->size() + 1));
        appendText(data, *fields[i]);
        if (i == 0)
            data.resize(data.size() + 17);
        if (i == 2)
            appendLittle32(data, 0);
    }
    appendLittle32(data, static_cast<uint32_t>(f.mimeType.size() + 1));
    at.mimeType = data.size();
    appendText(data, f.mimeType);
    appendLittle32(data, 0);
    putLittle32(data, 0, static_cast<uint32_t>(data.size()));
    if (layout)
        *layout = at;
    return data;
}

// Packs pairs from the page end downwards: each key ends where the item
// before it begins, each data item ends where its key begins.
class PageBuilder {
public:
    explicit PageBuilder(size_t size) : page_(size, 0xEE), end_(size) {}

    PageBuilder& add(const Bytes& key, const Bytes& data) {
        size_t keyOffset = end_ - key.size();
        size_t dataOffset = keyOffset - data.size();
        std::memcpy(&page_[keyOffset], key.data(), key.size());
        std::memcpy(&page_[dataOffset], data.data(), data.size());
        offsets_.emplace_back(static_cast<uint16_t>(keyOffset), static_cast<uint16_t>(dataOffset));
        end_ = dataOffset;
        return *this;
    }

    PageBuilder& addDocument(const std::string& url, const RecordFields& fields) {
        return add(keyItem(url), recordItem(fields));
    }

    Bytes build() const {
        Bytes page = page_;
        putLittle16(page, 0, static_cast<uint16_t>(2 * offsets_.size()));
        for (size_t i = 0; i < offsets_.size(); ++i) {
            putLittle16(page, 2 + 4 * i, offsets_[i].first);
            putLittle16(page, 4 + 4 * i, offsets_[i].second);
        }
        return page;
    }

    // Offsets of pair `index` within the page, for tests that damage them.
    uint16_t keyOffset(size_t index) const { return offsets_[index].first; }
    uint16_t dataOffset(size_t index) const { return offsets_[index].second; }

private:
    Bytes page_;
    size_t end_;
    std::vector<std::pair<uint16_t, uint16_t>> offsets_;
};

// The 16-byte header of an index with pages of `pageSize` bytes.
inline Bytes indexHeader(uint32_t pageSize) {
    Bytes header = {0x00, 0x06, 0x15, 0x61, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    header[12] = static_cast<unsigned char>(pageSize >> 24);
    header[13] = static_cast<unsigned char>(pageSize >> 16);
    header[14] = static_cast<unsigned char>(pageSize >> 8);
    header[15] = static_cast<unsigned char>(pageSize);
    return header;
}

// A whole index file: the header page, then the given pages.
inline Bytes indexFile(uint32_t pageSize, const std::vector<Bytes>& pages) {
    Bytes file = indexHeader(pageSize);
    file.resize(pageSize, 0);
    for (const Bytes& page : pages)
        file.insert(file.end(), page.begin(), page.end());
    return file;
}
