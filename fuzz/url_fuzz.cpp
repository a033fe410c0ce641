// URLs as pages and the index write them: parsed, resolved against a base,
// composed back into buffers of every size, matched against each other,
// and the local names proposed for them.
//
// Input: one byte of choices (which texts name directories, the MIME type
// index, the name limit of the folder), then the base URL, the link and a
// title, each ended by a NUL (a missing title is none).
//
// Checks: a composed URL always fits its buffer and a cut one is the start
// of the whole; a URL matches itself in every part and two URLs match each
// other alike; the host's sort key fits and is cut the same way; proposed
// and numbered names are ordinary file names of the folder.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "core/file_paths.h"
#include "core/url.h"
#include "extract/extraction_job.h"
#include "extract/local_names.h"
#include "fuzz/fuzz_input.h"
#include "index/cache_entry.h"

namespace {

constexpr uint32_t kAllParts = 0x1FF;

// The parts a composed URL may be asked for, alone and together.
const uint32_t kMasks[] = {
    kAllParts, 0xFF, URL_SCHEME | URL_AUTHORITY, URL_HOST, URL_PATH | URL_FILE_NAME, URL_AUTHORITY | URL_PATH,
    URL_PARAMS | URL_QUERY | URL_FRAGMENT, 0,
};

void checkComposed(const Url& url) {
    for (uint32_t mask : kMasks) {
        char whole[8192];
        composeUrl(url, whole, sizeof whole, mask);
        size_t length = std::strlen(whole);
        FUZZ_CHECK(length < sizeof whole);
        for (size_t size = 1; size <= length + 1; size += size < 16 ? 1 : 37) {
            std::unique_ptr<char[]> cut(new char[size]);
            composeUrl(url, cut.get(), size, mask);
            size_t cutLength = strnlen(cut.get(), size);
            FUZZ_CHECK(cutLength < size);
            FUZZ_CHECK(cutLength == (length < size - 1 ? length : size - 1));
            FUZZ_CHECK(std::memcmp(cut.get(), whole, cutLength) == 0);
        }
    }
}

void checkMatches(const Url& a, const Url& b) {
    FUZZ_CHECK(matchUrls(a, b) == matchUrls(b, a));
    if (a.path)
        FUZZ_CHECK(matchUrls(a, a) == kAllParts);
}

void checkHostKey(const Url& url) {
    if (!url.host)
        return;
    char whole[1024];
    hostSortKey(whole, url.host.get(), sizeof whole);
    size_t length = std::strlen(whole);
    for (size_t size = 1; size < 80 && size <= length + 1; ++size) {
        std::unique_ptr<char[]> cut(new char[size]);
        hostSortKey(cut.get(), url.host.get(), size);
        size_t cutLength = strnlen(cut.get(), size);
        FUZZ_CHECK(cutLength < size);
        FUZZ_CHECK(std::memcmp(cut.get(), whole, cutLength) == 0);
    }
}

void checkOrdinaryName(const char* name, size_t limit) {
    size_t length = std::strlen(name);
    FUZZ_CHECK(length > 0 && length <= limit);
    FUZZ_CHECK(isPlainFileName(name));
    FUZZ_CHECK(!std::strpbrk(name, "#%"));
}

// The proposed name, and the names that number it when the folder already
// holds it, in a folder whose names may be shorter than usual.
void checkLocalNames(const Url& url, int32_t mimeIndex, const char* title, size_t limit) {
    char proposed[kNameBufferSize];
    proposeLocalName(proposed, url, mimeIndex, title);
    checkOrdinaryName(proposed, kMaxLocalNameLength);

    std::unique_ptr<TargetNames> names = makeTargetNames();
    FUZZ_CHECK(names != nullptr);
    names->setNameLimit(limit);
    char name[kNameBufferSize];
    std::strcpy(name, proposed);
    makeOrdinaryFileName(name, limit + 1);
    if (limit > 0)
        checkOrdinaryName(name, limit);
    names->insertString(name);
    for (int round = 0; round < 3; ++round) {
        char numbered[kNameBufferSize];
        makeUniqueName(numbered, name, *names);
        FUZZ_CHECK(!names->searchKey(numbered).found);
        // Only a limit too short for the number itself leaves the name longer.
        if (limit >= 8)
            checkOrdinaryName(numbered, limit);
        names->insertString(numbered);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    uint8_t choices = input.byte();
    std::string baseText = input.textUntil('\0');
    std::string linkText = input.textUntil('\0');
    bool hasTitle = input.restSize() > 0;
    std::string title = input.textUntil('\0');

    Url base;
    parseUrl(base, baseText.c_str(), (choices & 1) != 0);

    Url link;
    parseUrl(link, linkText.c_str(), (choices & 2) != 0);
    checkMatches(base, link);
    resolveUrl(link, base);
    checkComposed(base);
    checkComposed(link);
    checkMatches(base, link);
    checkHostKey(base);
    checkHostKey(link);

    // The known types, and one met later.
    int32_t mimeIndex = static_cast<int32_t>((choices >> 2) & 7);
    size_t limit = (choices & 0x20) ? kMaxLocalNameLength : static_cast<size_t>((choices >> 6) * 9 + linkText.size() % 9);
    checkLocalNames(link, mimeIndex, hasTitle ? title.c_str() : nullptr, limit);
    checkLocalNames(base, mimeIndex, nullptr, kMaxLocalNameLength);
    return 0;
}
