#include "model/document_deletion.h"

#include <shellapi.h>

#include <cstring>

#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"

namespace {

// The shell deletes whatever a path names: every file a wildcard matches, a
// folder with all it holds, the target of a link. Only a file that is there
// and is none of these is handed to it.
bool isDeletableFile(const char* path) {
    if (std::strpbrk(path, "*?"))
        return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

// No file of that name is there (any more): a plain name, not a pattern.
bool isGoneFile(const char* path) {
    if (std::strpbrk(path, "*?") || GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

DocumentDeletion::DocumentDeletion(const CacheModel& model)
    : model_(model), documents_(makeReferenceList()), paths_("") {}

bool DocumentDeletion::add(CacheEntry& entry) {
    if (!documents_)
        return false;
    if (entry.hasAnyFlag(FLAG_DELETED))
        return true;
    char path[MAX_PATH];
    if (!cachePath(model_, path, sizeof path, entry.localFile()))
        return true;
    // A file that went after the scan (the browser pruned its cache, say)
    // leaves its document to the run, which finds it gone; the shell is
    // not asked about it.
    if (isGoneFile(path))
        return documents_->insertAt(documents_->count(), &entry) >= 0;
    if (!isDeletableFile(path))
        return true;
    return documents_->insertAt(documents_->count(), &entry) >= 0 && paths_.append(path);
}

bool DocumentDeletion::empty() const {
    return !documents_ || documents_->count() == 0;
}

void DocumentDeletion::run(HWND owner, bool forGood) {
    if (empty())
        return;
    if (!paths_.empty()) {
        SHFILEOPSTRUCTA operation = {};
        operation.hwnd = owner;
        operation.wFunc = FO_DELETE;
        operation.pFrom = paths_.text();
        operation.fFlags = forGood ? 0 : FOF_ALLOWUNDO;
        SHFileOperationA(&operation);
    }

    documents_->forEach([&](NamedItem* item) {
        CacheEntry* entry = static_cast<CacheEntry*>(item);
        char path[MAX_PATH];
        if (!cachePath(model_, path, sizeof path, entry->localFile()))
            return;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
            entry->setFlags(FLAG_DELETED);
    });
}
