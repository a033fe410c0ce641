#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/file_paths.h"
#include "core/owned_text.h"
#include "core/text_locale.h"
#include "core/win_handles.h"
#include "extract/extraction_run.h"
#include "extract/missing_page.h"

namespace {

const char kMissingPageName[] = "missing.htm";

class DiskTargetFiles : public TargetFiles {
public:
    Result makeEmpty(const char* path) override {
        FileHandle file(
            CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file)
            return MADE;
        return pathTaken(path) ? TAKEN : FAILED;
    }

    void remove(const char* path) override { DeleteFileA(path); }
};

// The names of the folder, directories and "." and ".." among them, into
// `names`. An empty folder (a drive's root has not even "." and "..") gives
// an empty list. A folder that cannot be read completely cannot be used,
// because a name left out could be overwritten without a question.
MessageCode listTargetFolder(const char* folder, TargetNames& names) {
    char pattern[MAX_PATH];
    if (!joinPath(pattern, sizeof pattern, folder, "*.*"))
        return MSG_TARGET_FOLDER_UNUSABLE;
    WIN32_FIND_DATAA found;
    FindHandle search(FindFirstFileA(pattern, &found));
    if (!search) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? MSG_OK : MSG_TARGET_FOLDER_UNUSABLE;
    }
    do {
        if (names.insertString(found.cFileName) < 0)
            return MSG_OUT_OF_MEMORY;
        // Windows opens a file by its short name too: a document named like
        // the short name of another file would replace that file.
        if (found.cAlternateFileName[0] && compareTextNoCase(found.cAlternateFileName, found.cFileName) != 0 &&
            names.insertString(found.cAlternateFileName) < 0)
            return MSG_OUT_OF_MEMORY;
    } while (FindNextFileA(search.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES ? MSG_OK : MSG_TARGET_FOLDER_UNUSABLE;
}

// Whether the file `name` of the target folder holds exactly the
// missing-link page.
bool holdsMissingPage(const ExtractionJob& job, const char* name) {
    MissingPageText page = job.missingPage();
    char path[MAX_PATH];
    if (!job.targetPath(name, path, sizeof path))
        return false;
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    DWORD high = 0;
    DWORD size = GetFileSize(file.get(), &high);
    if (high != 0 || size != page.length)
        return false;
    OwnedText content(static_cast<char*>(std::malloc(size + 1)));
    DWORD read = 0;
    return content && ReadFile(file.get(), content.data(), size, &read, nullptr) && read == size &&
           std::memcmp(content.get(), page.text, size) == 0;
}

// Takes "missing.htm" for the missing-link page: a new name, or a file of
// that name with the page's text, which can be written again; otherwise
// the first free numbered name.
bool chooseMissingPageName(ExtractionJob& job) {
    TargetNames& names = *job.targetNames();
    char name[kNameBufferSize];
    copyTextBounded(name, sizeof name, kMissingPageName);
    SearchResult at = names.searchKey(name);
    int32_t index = at.index;
    if (!at.found) {
        index = names.insertStringAt(at.index, name);
    } else if (holdsMissingPage(job, name)) {
        job.setMissingPageAgreed(true);
    } else {
        makeUniqueName(name, kMissingPageName, names);
        index = names.insertString(name);
    }
    if (index < 0)
        return false;
    names.at(index)->setFlags(FLAG_CLAIMED_IN_RUN);
    return job.setMissingPageName(name);
}

bool writeMissingPage(const ExtractionJob& job) {
    MissingPageText page = job.missingPage();
    char path[MAX_PATH];
    if (!job.targetPath(job.missingPageName(), path, sizeof path))
        return false;
    // Links to the page are written already: a file that took its name
    // meanwhile is left alone, and the save reports the page as not written.
    DWORD disposition = job.missingPageReplaceable() ? CREATE_ALWAYS : CREATE_NEW;
    FileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), page.text, static_cast<DWORD>(page.length), &written, nullptr) &&
           written == page.length;
}

}  // namespace

std::unique_ptr<ExtractionJob> createJob(const CacheModel& model, const char* targetFolder, ExtractOptions options,
                                         ExtractionHost* host, MessageCode& status) {
    status = MSG_OUT_OF_MEMORY;
    MissingPageText page = loadMissingPage();
    if (!page.text)
        return nullptr;
    std::unique_ptr<ExtractionJob> job(new (std::nothrow) ExtractionJob(model, targetFolder, options, host, page));
    if (!job || job->status() != 0)
        return nullptr;
    std::unique_ptr<TargetNames> names = makeTargetNames();
    if (!names)
        return nullptr;
    status = listTargetFolder(job->targetFolder(), *names);
    if (status != MSG_OK)
        return nullptr;
    status = MSG_OUT_OF_MEMORY;
    job->setTargetNames(std::move(names));
    std::unique_ptr<TargetFiles> files(new (std::nothrow) DiskTargetFiles);
    if (!files || !chooseMissingPageName(*job))
        return nullptr;
    job->setTargetFiles(std::move(files));
    status = MSG_OK;
    return job;
}

bool pathTaken(const char* path) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

MessageCode runExtractionJob(ExtractionJob& job) {
    MessageCode result = MSG_OK;
    int32_t processed = 0;
    job.setProcessedCount(0);
    while (result == MSG_OK && processed < job.count() && job.pump()) {
        SaveItem* item = job.firstPendingItem();
        if (!item)
            break;
        job.setCurrentItem(item);
        result = rewriteDocument(*item, job);
        job.setProcessedCount(++processed);
    }
    job.setCurrentItem(nullptr);
    // The links written point to the page: a page that cannot be written
    // leaves them broken, which the user is told like any file that failed.
    if (result == MSG_OK && !job.cancelled() && job.hasAnyFlag(FLAG_MISSING_PAGE_NEEDED)) {
        if (writeMissingPage(job))
            job.setMissingPageWritten();
        else
            result = MSG_COPY_FAILED;
    }
    job.releaseUnwrittenFiles();
    return result;
}
