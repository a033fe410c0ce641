// The in-memory picture of one browser cache: the host folders of the cache
// and of the search results, the hidden lists, the MIME types met, the cache
// directory and the slot of the one background thread. One model exists for
// the whole run. It knows no windows: the background thread reaches the main
// window only through a ModelNotifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/owned_text.h"
#include "core/sorted_collection.h"
#include "model/domain_folder.h"

class CacheEntry;

// The known MIME types: their indexes are fixed, the types met later follow
// in the order of their first appearance.
constexpr int32_t kKnownTypeCount = 6;

// The small system icon of each known type, found once when the model is
// made. An implementation asks the shell; tests give fixed numbers.
class FileTypeIcons {
public:
    virtual ~FileTypeIcons() = default;
    // Fills icons[i] for extensions[i] (".htm", ...); false when the icons
    // cannot be had at all.
    virtual bool findIcons(const char* const* extensions, int32_t count, int32_t* icons) = 0;
};

// Where a background thread's progress messages go (the main window, in the
// product).
class ModelNotifier {
public:
    virtual ~ModelNotifier() = default;
    // Delivered before it returns; only the main thread sends.
    virtual void send(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
    // Queued; the background thread never waits for the main thread.
    virtual void post(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
};

// Texts the model shows; the program passes those of its string table.
struct ModelTexts {
    const char* cacheRootName = "Netscape Cache";
    const char* searchRootName = "Suchergebnisse";
    const char* unknownTitle = "(Unbekannt)";
};

// No code of the browser's verify option is saved.
constexpr uint8_t kCheckServerUnknown = 0xFF;

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
    // Unsorted: an item's position is its type's index.
    std::unique_ptr<SortedCollection> mimeTypes;
    int32_t knownTypeIcons[kKnownTypeCount] = {};

    // Empty until a cache directory is found or chosen.
    OwnedText cacheDirectory;
    uint8_t savedCheckServer = kCheckServerUnknown;
    // Whether the last index scan read the whole index. The hidden lists are
    // rebuilt from the entries' marks only after such a scan.
    bool lastScanComplete = false;

    // The one background thread. Its handle and the thread's life belong to
    // the loading and search code; the model only keeps the slot.
    void* workerThread = nullptr;
    int32_t threadKind = 0;  // 1 loading details, 2 content search
    ModelNotifier* notifier = nullptr;
    OwnedText searchText;
    // Documents handed to a running content search, which destroys them.
    SortedCollection* searchSet = nullptr;

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

// Joins `directory`, a backslash unless it ends in one, and `name` into
// `out`. An empty directory, or a result that does not fit, is refused:
// false and `out` empty, so that a cut path can never name another file.
bool joinPath(char* out, size_t size, const char* directory, const char* name);

// The path of a cached file: the cache directory joined with the record's
// file name. The index is untrusted, so a name that is not a plain file name
// (separators, a drive, "." or "..") is refused like a path that does not
// fit: false and `out` empty.
bool cachePath(const CacheModel& model, char* out, size_t size, const char* fileName);
