// The index page reader against pages built byte by byte, intact and
// damaged: whatever a page holds, the reader stays inside it.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "doctest.h"
#include "index/index_page.h"
#include "index_page_builder.h"

namespace {

std::vector<IndexRecord> readAll(const Bytes& page) {
    std::vector<IndexRecord> records;
    IndexPageReader reader(page.data(), page.size());
    IndexRecord record;
    while (reader.next(record))
        records.push_back(record);
    return records;
}

std::vector<std::string> urlsOf(const Bytes& page) {
    std::vector<std::string> urls;
    for (const IndexRecord& record : readAll(page))
        urls.push_back(record.url);
    return urls;
}

RecordFields withFile(const char* localFile) {
    RecordFields fields;
    fields.localFile = localFile;
    return fields;
}

// A page of three documents a, b and c, the middle one to be damaged.
struct ThreePairs {
    PageBuilder builder{1024};
    RecordLayout layout{};
    Bytes middleKey = keyItem("http://h/b");
    Bytes middleData;

    ThreePairs() {
        middleData = recordItem(withFile("B.htm"), &layout);
    }
    Bytes build() {
        PageBuilder b(1024);
        b.addDocument("http://h/a", withFile("A.htm"));
        b.add(middleKey, middleData);
        b.addDocument("http://h/c", withFile("C.htm"));
        builder = b;
        return b.build();
    }
};

const std::vector<std::string> kOuter = {"http://h/a", "http://h/c"};
const std::vector<std::string> kAll = {"http://h/a", "http://h/b", "http://h/c"};

}  // namespace

TEST_CASE("the header gives the page size from byte 14 and refuses other files") {
    Bytes header = indexHeader(4096);
    CHECK(indexPageSize(header.data(), header.size()) == 4096);

    // Only byte 14 counts.
    header[12] = 0xFF;
    header[13] = 0x7F;
    header[15] = 0x33;
    CHECK(indexPageSize(header.data(), header.size()) == 4096);
    header[14] = 0xFF;
    CHECK(indexPageSize(header.data(), header.size()) == 65280);

    // A page size of 0 would never advance through the file.
    header[14] = 0;
    CHECK(indexPageSize(header.data(), header.size()) == 0);

    Bytes wrongMagic = indexHeader(4096);
    wrongMagic[3] = 0x62;
    CHECK(indexPageSize(wrongMagic.data(), wrongMagic.size()) == 0);
    Bytes littleEndianMagic = indexHeader(4096);
    std::memcpy(littleEndianMagic.data(), "\x61\x15\x06\x00", 4);
    CHECK(indexPageSize(littleEndianMagic.data(), littleEndianMagic.size()) == 0);
    CHECK(indexPageSize(header.data(), 15) == 0);
}

namespace {

// The hash library's whole header, big-endian as the library stores it.
struct HashHeader {
    int32_t lorder = 1234, bsize = 1024, bshift = 10, ovflPoint = 11, maxBucket = 1106, hdrPages = 1;
    std::vector<int32_t> spares = std::vector<int32_t>(32, 0);

    Bytes bytes() const {
        Bytes header = indexHeader(static_cast<uint32_t>(bsize));
        header.resize(260, 0);
        auto put = [&](size_t at, int32_t value) {
            for (int i = 0; i < 4; ++i)
                header[at + i] = static_cast<unsigned char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
        };
        put(8, lorder);
        put(12, bsize);
        put(16, bshift);
        put(32, ovflPoint);
        put(40, maxBucket);
        put(60, hdrPages);
        for (size_t i = 0; i < 32; ++i)
            put(68 + 4 * i, spares[i]);
        return header;
    }
    uint64_t limit() const {
        Bytes header = bytes();
        return indexPageLimit(header.data(), header.size());
    }
};

}  // namespace

TEST_CASE("the header's own sizes bound the pages of the file") {
    // The sizes of indexes the genuine library wrote (the test caches).
    SUBCASE("overflow pages of the current split lie beyond the last bucket") {
        HashHeader h;  // 1 KB pages, 3000 records
        h.spares[10] = 11;
        h.spares[11] = 82;
        CHECK(h.limit() == 2131);
        h.spares[11] = 11;  // none allocated since the last doubling
        CHECK(h.limit() == 1106 + 1 + 11 + 1);
    }
    SUBCASE("a small table, and big pages") {
        HashHeader h;
        h.bsize = 32768;
        h.bshift = 15;
        h.ovflPoint = 4;
        h.maxBucket = 15;
        h.spares[4] = 5;
        h.spares[5] = 5;
        CHECK(h.limit() == 22);
        h.ovflPoint = 1;
        h.maxBucket = 0;
        h.spares = std::vector<int32_t>(32, 0);
        CHECK(h.limit() == 2);
    }
    SUBCASE("a header the sizes of which do not fit together does not bound the file") {
        HashHeader sound;
        sound.spares[11] = 82;
        REQUIRE(sound.limit() != kAllPages);
        Bytes header = sound.bytes();
        CHECK(indexPageLimit(header.data(), 259) == kAllPages);
        CHECK(indexPageLimit(indexHeader(1024).data(), 16) == kAllPages);
        HashHeader h = sound;
        h.lorder = 0;
        CHECK(h.limit() == kAllPages);
        h = sound;
        h.bsize = 2048;
        CHECK(h.limit() == kAllPages);
        h = sound;
        h.bshift = 9;
        CHECK(h.limit() == kAllPages);
        h = sound;
        h.hdrPages = 0;
        CHECK(h.limit() == kAllPages);
        for (int32_t point : {-1, 32, 0x7FFFFFFF}) {
            h = sound;
            h.ovflPoint = point;
            CHECK(h.limit() == kAllPages);
        }
        h = sound;
        h.maxBucket = 2048;  // a bucket of a split still to come
        CHECK(h.limit() == kAllPages);
        h = sound;
        h.maxBucket = -1;
        CHECK(h.limit() == kAllPages);
        h = sound;
        h.spares[3] = -5;
        CHECK(h.limit() == kAllPages);
    }
    SUBCASE("the largest sizes give a large bound, not a wrapped one") {
        HashHeader h;
        h.ovflPoint = 31;
        h.maxBucket = 0x7FFFFFFF;
        h.hdrPages = 0x7FFFFFFF;
        h.spares = std::vector<int32_t>(32, 0x7FFFFFFF);
        h.spares[30] = 0x7FFFFFFE;
        CHECK(h.limit() == 3ull * 0x7FFFFFFF + 1);
    }
}

TEST_CASE("a page's records come out in pair order with their fields") {
    RecordFields second;
    second.localFile = "M0B2C3D4.gif";
    second.mimeType = "image/gif";
    second.lastModified = -7;
    second.lastAccessed = 838000000;
    second.expires = 2000000000;
    second.contentLength = -1;
    second.server = std::string(300, 's');
    Bytes page = PageBuilder(4096)
                     .addDocument("http://www.example.com/index.html", RecordFields())
                     .addDocument("ftp://ftp.example.net/pic.gif", second)
                     .build();
    std::vector<IndexRecord> records = readAll(page);
    REQUIRE(records.size() == 2);
    CHECK(std::string(records[0].url) == "http://www.example.com/index.html");
    CHECK(std::string(records[0].localFile) == "M0A10000.htm");
    CHECK(std::string(records[0].mimeType) == "text/html");
    CHECK(records[0].lastModified == 820454400);
    CHECK(records[0].contentLength == 1234);

    CHECK(std::string(records[1].url) == "ftp://ftp.example.net/pic.gif");
    CHECK(std::string(records[1].localFile) == "M0B2C3D4.gif");
    CHECK(std::string(records[1].mimeType) == "image/gif");
    CHECK(records[1].lastModified == -7);
    CHECK(records[1].lastAccessed == 838000000);
    CHECK(records[1].expires == 2000000000);
    CHECK(records[1].contentLength == -1);
}

TEST_CASE("a page whose count is not a positive even number is skipped") {
    Bytes page = PageBuilder(1024).addDocument("http://h/a", RecordFields()).build();
    REQUIRE(urlsOf(page).size() == 1);
    for (uint16_t count : {0, 3, 1, 0xFFFE, 0x8000}) {
        Bytes damaged = page;
        putLittle16(damaged, 0, count);
        INFO("count " << count);
        CHECK(urlsOf(damaged).empty());
    }
    // An even count whose offset words would run past the page end.
    Bytes damaged = page;
    putLittle16(damaged, 0, 600);
    CHECK(urlsOf(damaged).empty());
    Bytes tiny(1, 2);
    CHECK(urlsOf(tiny).empty());
}

TEST_CASE("an offset that breaks the packing ends the page, keeping the pairs before it") {
    ThreePairs three;
    Bytes page = three.build();
    REQUIRE(urlsOf(page) == kAll);
    const PageBuilder& b = three.builder;
    struct Damage {
        const char* what;
        size_t word;
        uint16_t value;
    };
    // Words of the second pair: key offset at 6, data offset at 8.
    const Damage damages[] = {
        {"key offset below 4 (an overflow marker)", 6, 0},
        {"key offset of 3", 6, 3},
        {"key offset at the previous item's end", 6, b.dataOffset(0)},
        {"key offset past the page", 6, 0xFFFF},
        {"data offset below 4", 8, 1},
        {"data offset at its key", 8, b.keyOffset(1)},
        {"data offset above its key", 8, static_cast<uint16_t>(b.keyOffset(1) + 10)},
    };
    for (const Damage& damage : damages) {
        Bytes damaged = page;
        putLittle16(damaged, damage.word, damage.value);
        INFO(damage.what);
        CHECK(urlsOf(damaged) == std::vector<std::string>{"http://h/a"});
    }
}

TEST_CASE("pairs that are not document records are passed over") {
    SUBCASE("the browser's INT_ records, whatever their length word") {
        Bytes page = PageBuilder(1024)
                         .addDocument("http://h/a", RecordFields())
                         .add(internalKeyItem("INT_CACHESIZE"), Bytes{0x00, 0xA0, 0x0F, 0x00})
                         .add(internalKeyItem("INT_X"), recordItem(RecordFields()))
                         .addDocument("http://h/c", RecordFields())
                         .build();
        CHECK(urlsOf(page) == kOuter);
    }
    SUBCASE("a key whose length word does not match") {
        ThreePairs three;
        putLittle32(three.middleKey, 0, static_cast<uint32_t>(three.middleKey.size() + 1));
        CHECK(urlsOf(three.build()) == kOuter);
    }
    SUBCASE("a record whose length word does not match") {
        ThreePairs three;
        putLittle32(three.middleData, 0, static_cast<uint32_t>(three.middleData.size() - 1));
        CHECK(urlsOf(three.build()) == kOuter);
    }
}

TEST_CASE("a record whose fields would reach past its item is skipped") {
    struct LengthDamage {
        const char* what;
        int word;
        uint32_t value;
    };
    const LengthDamage damages[] = {
        {"first length beyond the item", 0, 5000},
        {"first length negative", 0, 0xFFFFFFF0u},
        {"second length negative, pointing back into the item", 1, 0xFFFFFFF8u},
        {"third length the largest signed number", 2, 0x7FFFFFFFu},
        {"fourth length wrapping the sum around", 3, 0x80000000u},
        {"fourth length pointing just past the item", 3, 5000},
        {"fourth length negative, pointing back at the server name", 3, 0xFFFFFFFCu},
    };
    for (const LengthDamage& damage : damages) {
        ThreePairs three;
        putLittle32(three.middleData, three.layout.lengthWord[damage.word], damage.value);
        INFO(damage.what);
        CHECK(urlsOf(three.build()) == kOuter);
    }
    SUBCASE("MIME type not terminated inside the item") {
        ThreePairs three;
        // Fill everything from the MIME type to the end with letters.
        for (size_t i = three.layout.mimeType; i < three.middleData.size(); ++i)
            three.middleData[i] = 'x';
        CHECK(urlsOf(three.build()) == kOuter);
    }
    SUBCASE("local file name not terminated inside the item") {
        ThreePairs three;
        three.middleData.resize(40);
        for (size_t i = 33; i < 40; ++i)
            three.middleData[i] = 'f';
        putLittle32(three.middleData, 0, 40);
        CHECK(urlsOf(three.build()) == kOuter);
    }
    SUBCASE("a record too short to hold a file name") {
        ThreePairs three;
        three.middleData.resize(33);
        putLittle32(three.middleData, 0, 33);
        CHECK(urlsOf(three.build()) == kOuter);
    }
    SUBCASE("a key too short for its URL, or with the URL not terminated") {
        ThreePairs three;
        three.middleKey = Bytes{8, 0, 0, 0, 1, 2, 3, 4};
        CHECK(urlsOf(three.build()) == kOuter);
        ThreePairs unterminated;
        unterminated.middleKey.back() = 'x';
        CHECK(urlsOf(unterminated.build()) == kOuter);
        ThreePairs tiny;
        tiny.middleKey = Bytes{'I', 'N'};
        CHECK(urlsOf(tiny.build()) == kOuter);
    }
}

TEST_CASE("the smallest sound record and the MIME type ending at the item's last byte are read") {
    Bytes data = recordItem(RecordFields());
    // Cut the trailer: the MIME type's NUL is then the item's last byte.
    data.resize(data.size() - 4);
    putLittle32(data, 0, static_cast<uint32_t>(data.size()));
    Bytes page = PageBuilder(512).add(keyItem("http://h/a"), data).build();
    std::vector<IndexRecord> records = readAll(page);
    REQUIRE(records.size() == 1);
    CHECK(std::string(records[0].mimeType) == "text/html");
}

TEST_CASE("random damage never takes the reader outside the page") {
    // Every byte of a page of sound records is overwritten in turn, and then
    // runs of random bytes; under the sanitizers any read past the page
    // fails the test, and every text handed out must end inside the page.
    PageBuilder builder(512);
    for (int i = 0; i < 3; ++i)
        builder.addDocument("http://h/" + std::to_string(i), withFile("F.htm"));
    const Bytes page = builder.build();
    uint32_t seed = 1996;
    auto random = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    auto checkInside = [](const Bytes& damaged) {
        IndexPageReader reader(damaged.data(), damaged.size());
        IndexRecord record;
        int records = 0;
        while (reader.next(record)) {
            ++records;
            for (const char* text : {record.url, record.localFile, record.mimeType}) {
                const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
                REQUIRE(p >= damaged.data());
                REQUIRE(p < damaged.data() + damaged.size());
                REQUIRE(std::memchr(p, 0, damaged.size() - (p - damaged.data())) != nullptr);
            }
        }
        REQUIRE(records <= 128);
    };
    for (size_t at = 0; at < page.size(); ++at) {
        for (unsigned char value : {0x00, 0x03, 0x7F, 0xFF}) {
            Bytes damaged = page;
            damaged[at] = value;
            checkInside(damaged);
        }
    }
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = page;
        int runs = 1 + random() % 6;
        for (int run = 0; run < runs; ++run) {
            size_t at = random() % damaged.size();
            size_t length = 1 + random() % 8;
            for (size_t i = at; i < at + length && i < damaged.size(); ++i)
                damaged[i] = static_cast<unsigned char>(random());
        }
        checkInside(damaged);
    }
}
