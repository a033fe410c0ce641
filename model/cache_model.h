// The in-memory picture of one browser cache: the host folders of the cache
// and of the search results, the hidden lists, the MIME types met, the cache
// directory and the slot of the one background run. One model exists for
// the whole run. It knows no windows: the background thread reaches the main
// window only through a ModelNotifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/owned_text.h"
#include "core/sorted_collection.h"
#include "index/cache_entry.h"
#include "index/cache_location.h"
#include "index/mime_type_list.h"
#include "model/background_run.h"
#include "model/domain_folder.h"

// The small system icon of each known type, found once when the model is
// made. An implementation asks the shell; tests give fixed numbers.
class FileTypeIcons {
public:
    virtual ~FileTypeIcons() = default;
    // Fills icons[i] for extensions[i] (".htm", ...); false when the icons
    // cannot be had at all.
    virtual bool findIcons(const char* const* extensions, int32_t count, int32_t* icons) = 0;
};

// Texts the model shows; the program passes those of its string table.
struct ModelTexts {
    const char* cacheRootName = "Netscape Cache";
    const char* searchRootName = "Suchergebnisse";
    const char* unknownTitle = "(Unbekannt)";
};

class CacheModel : public NamedItem {
public:
    // Builds the parts in the order of the fields below. The status is 0
    // only when every part was made and the icons were found; `icons` may be
    // null, which leaves every known type with icon 0.
    explicit CacheModel(FileTypeIcons* icons, const ModelTexts& texts = ModelTexts());
    ~CacheModel() override;

    // Every pointer below is non-null once the status is 0.
    std::unique_ptr<FolderList> cacheRoot;   // owns the folders and, through them, the entries
    std::unique_ptr<FolderList> searchRoot;  // folders that only point to entries
    std::unique_ptr<SortedCollection> hiddenUrls;
    std::unique_ptr<SortedCollection> hiddenHosts;
    // An item's position is its type's index.
    std::unique_ptr<MimeTypeList> mimeTypes;
    int32_t knownTypeIcons[kKnownTypeCount] = {};

    // Empty until a cache directory is found or chosen.
    OwnedText cacheDirectory;
    // Whether the last index scan read the whole index. The hidden lists are
    // rebuilt from the entries' marks only after such a scan.
    bool lastScanComplete = false;

    // The one background thread: the loading pass or a content search.
    BackgroundRun run;

    const char* unknownTitle() const { return unknownTitle_.view(); }

private:
    bool addKnownTypes(FileTypeIcons* icons);

    OwnedText unknownTitle_;
};

// The known type's extension (".htm" for index 0), or "" for other indexes.
const char* extensionForType(int32_t mimeIndex);

struct FoundEntry {
    CacheEntry* entry;     // null when the URL is not in the cache
    DomainFolder* folder;  // the host's folder, even when the URL is not in it
};

// Looks a URL up in the cache tree, case-insensitively.
FoundEntry findEntry(const CacheModel& model, const char* url);

// The path of a cached file: the cache directory joined with the record's
// file name. The index is untrusted, so a name that is not a plain file name
// (separators, a drive, "." or "..") is refused like a path that does not
// fit: false and `out` empty.
bool cachePath(const CacheModel& model, char* out, size_t size, const char* fileName);
