// One cached document, made from an index record.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/named_item.h"
#include "core/sorted_collection.h"
#include "index/entry_flags.h"
#include "index/index_page.h"
#include "index/mime_type_list.h"

struct UrlLayout;

// The known MIME types ("text/html", "text/plain", "image/gif",
// "image/jpeg", "image/tiff", "image/xbm"): their indexes are fixed, the
// types met later follow in the order of their first appearance.
constexpr int32_t kKnownTypeCount = 6;

// The times of a record, in the order the properties sheet shows them.
enum EntryTime : int32_t {
    TIME_LAST_MODIFIED = 0,
    TIME_LAST_ACCESSED = 1,
    TIME_EXPIRES = 2,
};

// The entry's name is its URL, so entries compare by URL, case-insensitively.
//
// The loading thread replaces the URL-derived title by the page's own while
// the main thread may be reading titles (list view, find). So the first title
// is never replaced in place: the loaded one is published once beside it, and
// both live as long as the entry.
class CacheEntry : public NamedItem {
public:
    // The first step of construction, from a record and its URL (backslashes
    // already turned into slashes) laid out in `parsed`. Status -2 when the
    // URL has no scheme or no host, -1 when memory ran out. The entry is not
    // complete before bindMimeType has succeeded.
    CacheEntry(const IndexRecord& record, const char* url, const UrlLayout& parsed, const char* unknownTitle);
    ~CacheEntry() override;

    // The second step: finds the record's MIME type in the model's list (the
    // case-insensitively equal one) or appends it, and takes the known type's
    // icon. False when the list could not take the type.
    bool bindMimeType(const char* mimeType, MimeTypeList& mimeTypes, const int32_t* knownTypeIcons);

    const char* url() const { return name(); }
    const char* title() const;
    // Takes over `title` (a malloc'd text) as the document's own title and
    // clears FLAG_TITLE_PENDING. Only the first title published is kept; a
    // later one is freed and false is returned.
    bool publishTitle(char* title);

    const char* mimeType() const { return mimeType_ ? mimeType_->name() : ""; }
    // The MIME type as an item of the model's list, for comparing by its sort key.
    const NamedItem* mimeTypeItem() const { return mimeType_; }
    int32_t mimeIndex() const { return mimeIndex_; }
    int32_t iconIndex() const { return iconIndex_.load(std::memory_order_acquire); }
    void setIconIndex(int32_t icon) { iconIndex_.store(icon, std::memory_order_release); }
    const char* localFile() const { return localFile_ ? localFile_ : ""; }
    int32_t contentLength() const { return contentLength_; }
    int32_t lastModified() const { return times_[TIME_LAST_MODIFIED]; }
    int32_t lastAccessed() const { return times_[TIME_LAST_ACCESSED]; }
    int32_t expires() const { return times_[TIME_EXPIRES]; }
    // 0 for an index outside the three times.
    int32_t time(int32_t which) const;

private:
    char* localFile_ = nullptr;  // one block with the URL-derived title behind it
    const char* urlTitle_ = nullptr;
    std::atomic<char*> loadedTitle_{nullptr};
    const NamedItem* mimeType_ = nullptr;  // owned by the model's MIME type list
    int32_t mimeIndex_ = -1;
    std::atomic<int32_t> iconIndex_{0};
    int32_t contentLength_ = 0;
    int32_t times_[3] = {};
};
