#include "index/cache_entry.h"

#include <cstdlib>
#include <cstring>

#include "core/text_locale.h"
#include "core/url.h"

namespace {

// MIME types other than "text/html" and "text/plain" are not text documents.
constexpr int32_t kLastTextType = 1;

// "https" URLs are web pages too: they begin with the same four letters.
bool isWebUrl(const char* url) {
    static const char kWeb[] = "http";
    for (size_t i = 0; i < 4; ++i) {
        if (lowerChar(static_cast<unsigned char>(url[i])) != static_cast<unsigned char>(kWeb[i]))
            return false;
    }
    return true;
}

}  // namespace

CacheEntry::CacheEntry(const IndexRecord& record, const char* url, const UrlLayout& parsed, const char* unknownTitle)
    : NamedItem(url) {
    if (status() != 0)
        return;
    if (!parsed.scheme.present() || parsed.host.length == 0) {
        setStatus(-2);
        return;
    }
    bool fromUrl = parsed.fileName.length > 0;
    size_t fileSize = std::strlen(record.localFile) + 1;
    size_t titleLength = fromUrl ? parsed.fileName.length : std::strlen(unknownTitle);
    localFile_ = static_cast<char*>(std::malloc(fileSize + titleLength + 1));
    if (!localFile_) {
        setStatus(-1);
        return;
    }
    std::memcpy(localFile_, record.localFile, fileSize);
    char* title = localFile_ + fileSize;
    std::memcpy(title, fromUrl ? parsed.fileName.start : unknownTitle, titleLength);
    title[titleLength] = '\0';
    urlTitle_ = title;

    times_[TIME_LAST_MODIFIED] = record.lastModified;
    times_[TIME_LAST_ACCESSED] = record.lastAccessed;
    times_[TIME_EXPIRES] = record.expires;
    contentLength_ = record.contentLength;

    uint32_t flags = FLAG_HIDEABLE | FLAG_TITLE_PENDING;
    if (!isWebUrl(url))
        flags |= FLAG_NOT_WEB;
    setFlags(flags);
}

CacheEntry::~CacheEntry() {
    std::free(loadedTitle_.load(std::memory_order_acquire));
    std::free(localFile_);
}

bool CacheEntry::bindMimeType(const char* mimeType, MimeTypeList& mimeTypes, const int32_t* knownTypeIcons) {
    int32_t index = mimeTypes.findOrAppend(mimeType);
    if (index < 0)
        return false;
    mimeType_ = mimeTypes.at(index);
    mimeIndex_ = index;
    if (index < kKnownTypeCount)
        setIconIndex(knownTypeIcons[index]);
    if (index > kLastTextType)
        setFlags(FLAG_NOT_TEXT);
    return true;
}

const char* CacheEntry::title() const {
    const char* loaded = loadedTitle_.load(std::memory_order_acquire);
    return loaded ? loaded : urlTitle_;
}

bool CacheEntry::publishTitle(char* title) {
    char* expected = nullptr;
    if (!title || !loadedTitle_.compare_exchange_strong(expected, title, std::memory_order_acq_rel)) {
        std::free(title);
        return false;
    }
    clearFlags(FLAG_TITLE_PENDING);
    return true;
}

int32_t CacheEntry::time(int32_t which) const {
    return which >= 0 && which < 3 ? times_[which] : 0;
}
