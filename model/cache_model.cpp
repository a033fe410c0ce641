#include "model/cache_model.h"

#include <cstring>
#include <new>

#include "core/url.h"
#include "index/cache_entry.h"
#include "core/file_paths.h"
#include "index/entry_flags.h"

namespace {

struct KnownType {
    const char* mimeType;
    const char* extension;
};

const KnownType kKnownTypes[kKnownTypeCount] = {
    {"text/html", ".htm"},  {"text/plain", ".txt"}, {"image/gif", ".gif"},
    {"image/jpeg", ".jpg"}, {"image/tiff", ".tif"}, {"image/xbm", ".xbm"},
};

template <class T, class... Args>
std::unique_ptr<T> makeChecked(Args&&... args) {
    int32_t status;
    return std::unique_ptr<T>(checkCreated(new (std::nothrow) T(static_cast<Args&&>(args)...), status));
}

}  // namespace

CacheModel::CacheModel(FileTypeIcons* icons, const ModelTexts& texts) : NamedItem(nullptr) {
    if (status() != 0)
        return;
    cacheRoot = makeChecked<FolderList>(texts.cacheRootName, true);
    if (cacheRoot)
        cacheRoot->setFlags(FLAG_ROOT_SHOWN);
    searchRoot = makeChecked<FolderList>(texts.searchRootName, false);
    hiddenUrls = makeNameList();
    hiddenHosts = makeNameList();
    mimeTypes = makeMimeTypeList();
    bool complete = cacheRoot && searchRoot && hiddenUrls && hiddenHosts && mimeTypes;
    if (!complete || !addKnownTypes(icons) || !unknownTitle_.assign(texts.unknownTitle))
        setStatus(-1);
}

CacheModel::~CacheModel() {
    cacheDirectory.reset();
    mimeTypes.reset();
    hiddenHosts.reset();
    hiddenUrls.reset();
    searchRoot.reset();
    cacheRoot.reset();
}

bool CacheModel::addKnownTypes(FileTypeIcons* icons) {
    for (const KnownType& type : kKnownTypes) {
        if (mimeTypes->append(type.mimeType) < 0)
            return false;
    }
    if (!icons)
        return true;
    const char* extensions[kKnownTypeCount];
    for (int32_t i = 0; i < kKnownTypeCount; ++i)
        extensions[i] = kKnownTypes[i].extension;
    return icons->findIcons(extensions, kKnownTypeCount, knownTypeIcons);
}

const char* extensionForType(int32_t mimeIndex) {
    if (mimeIndex < 0 || mimeIndex >= kKnownTypeCount)
        return "";
    return kKnownTypes[mimeIndex].extension;
}

FoundEntry findEntry(const CacheModel& model, const char* url) {
    UrlLayout parsed;
    layoutUrl(parsed, url, false);
    SpanText hostName(parsed.host);
    if (parsed.host.length == 0 || !hostName.get())
        return {nullptr, nullptr};
    SearchResult host = model.cacheRoot->searchKey(hostName.get());
    if (!host.found)
        return {nullptr, nullptr};
    DomainFolder* folder = model.cacheRoot->folderAt(host.index);
    SearchResult entry = folder->searchKey(url);
    return {entry.found ? folder->entryAt(entry.index) : nullptr, folder};
}

bool cachePath(const CacheModel& model, char* out, size_t size, const char* fileName) {
    if (!isPlainFileName(fileName)) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    return joinPath(out, size, model.cacheDirectory.view(), fileName);
}
