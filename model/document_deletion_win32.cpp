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

}  // namespace

DocumentDeletion::DocumentDeletion(const CacheModel& model)
    : model_(model), documents_(makeReferenceList()), paths_("") {}

bool DocumentDeletion::add(CacheEntry& entry) {
    if (!documents_)
        return false;
    if (entry.hasAnyFlag(FLAG_DELETED))
        return true;
    char path[MAX_PATH];
    if (!cachePath(model_, path, sizeof path, entry.localFile()) || !isDeletableFile(path))
        return true;
    return documents_->insertAt(documents_->count(), &entry) >= 0 && paths_.append(path);
}

void DocumentDeletion::run(HWND owner, bool forGood) {
    if (paths_.empty())
        return;
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = paths_.text();
    operation.fFlags = forGood ? 0 : FOF_ALLOWUNDO;
    SHFileOperationA(&operation);

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
