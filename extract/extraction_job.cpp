#include "extract/extraction_job.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/file_paths.h"
#include "core/text_locale.h"
#include "extract/link_matching.h"
#include "index/cache_entry.h"
#include "model/domain_folder.h"

ExtractionJob::ExtractionJob(const CacheModel& model, const char* targetFolder, ExtractOptions options,
                             ExtractionHost* host, MissingPageText missingPage)
    : SortedCollection(kCapacity, kDelta, true, true, false),
      model_(model),
      options_(options & kAllExtractOptions),
      host_(host),
      missingPage_(missingPage) {
    if (status() == 0 && !targetFolder_.assign(targetFolder))
        setStatus(-1);
}

ExtractionJob::~ExtractionJob() {
    releaseUnwrittenFiles();
}

bool ExtractionJob::targetPath(const char* name, char* out, size_t size) const {
    return joinPath(out, size, targetFolder(), name);
}

void ExtractionJob::setTargetNames(std::unique_ptr<TargetNames> names) {
    targetNames_ = std::move(names);
    if (!targetNames_)
        return;
    // What joinPath puts in front of a name, and the path's NUL.
    size_t folder = std::strlen(targetFolder());
    size_t used = folder + (folder > 0 && targetFolder()[folder - 1] != '\\' ? 1 : 0) + 1;
    targetNames_->setNameLimit(used < kNameBufferSize ? kNameBufferSize - used : 0);
}

bool ExtractionJob::renumberAfterClash(SaveItem& item) {
    char numbered[kNameBufferSize];
    makeUniqueName(numbered, item.localName(), *targetNames_);
    int32_t index = targetNames_->insertString(numbered);
    if (index < 0 || !item.rename(numbered)) {
        setStatus(-1);
        return false;
    }
    targetNames_->at(index)->setFlags(FLAG_CLAIMED_IN_RUN);
    item.setFlags(FLAG_NUMBERED);
    return true;
}

bool ExtractionJob::settleLocalName(SaveItem& item) {
    if (item.hasAnyFlag(FLAG_NAME_LINKED))
        return true;
    if (files_ && !item.hasAnyFlag(FLAG_OVERWRITE_AGREED | FLAG_FILE_MADE)) {
        for (;;) {
            char path[kNameBufferSize];
            // A name that cannot be made leaves the error to the write of
            // its document, which reports it.
            if (!targetPath(item.localName(), path, sizeof path))
                break;
            TargetFiles::Result made = files_->makeEmpty(path);
            if (made == TargetFiles::MADE)
                item.setFlags(FLAG_FILE_MADE);
            if (made != TargetFiles::TAKEN)
                break;
            if (!renumberAfterClash(item))
                return false;
        }
    }
    item.setFlags(FLAG_NAME_LINKED);
    return true;
}

const char* ExtractionJob::useMissingPage() {
    if (!hasAnyFlag(FLAG_MISSING_PAGE_NEEDED) && files_ && !missingPageAgreed_) {
        for (;;) {
            char path[kNameBufferSize];
            if (!targetPath(missingPageName(), path, sizeof path))
                break;
            TargetFiles::Result made = files_->makeEmpty(path);
            missingPageMade_ = made == TargetFiles::MADE;
            if (made != TargetFiles::TAKEN)
                break;
            char numbered[kNameBufferSize];
            makeUniqueName(numbered, missingPageName(), *targetNames_);
            int32_t index = targetNames_->insertString(numbered);
            if (index < 0 || !setMissingPageName(numbered)) {
                setStatus(-1);
                break;
            }
            targetNames_->at(index)->setFlags(FLAG_CLAIMED_IN_RUN);
        }
    }
    setFlags(FLAG_MISSING_PAGE_NEEDED);
    return missingPageName();
}

void ExtractionJob::releaseUnwrittenFiles() {
    if (!files_)
        return;
    char path[kNameBufferSize];
    for (int32_t i = 0; i < count(); ++i) {
        SaveItem* item = itemAt(i);
        if (item->hasAnyFlag(FLAG_FILE_MADE) && !item->hasAnyFlag(FLAG_SAVE_DONE)) {
            if (targetPath(item->localName(), path, sizeof path))
                files_->remove(path);
            item->clearFlags(FLAG_FILE_MADE);
        }
    }
    if (missingPageMade_ && targetPath(missingPageName(), path, sizeof path))
        files_->remove(path);
    missingPageMade_ = false;
}

SaveItem* ExtractionJob::findItem(const NamedItem& entry) const {
    SearchResult at = searchItem(entry);
    return at.found ? itemAt(at.index) : nullptr;
}

SaveItem* ExtractionJob::findItem(const char* url) const {
    SearchResult at = searchKey(url);
    return at.found ? itemAt(at.index) : nullptr;
}

bool ExtractionJob::pump() {
    if (host_ && !host_->pumpProgress(*this))
        cancelled_ = true;
    return !cancelled_;
}

uint32_t ExtractionJob::askAboutDuplicate(const char* name, uint32_t lastAnswer) const {
    return host_ ? host_->askAboutDuplicate(name, lastAnswer) : lastAnswer;
}

SaveItem* ExtractionJob::firstPendingItem() {
    for (; firstPending_ < count(); ++firstPending_) {
        SaveItem* item = itemAt(firstPending_);
        if (!item->hasAnyFlag(FLAG_SAVE_DONE))
            return item;
    }
    return nullptr;
}

int32_t ExtractionJob::insertSaveItem(SaveItem* item) {
    int32_t index = insertItem(item);
    if (index >= 0 && index < firstPending_)
        firstPending_ = index;
    return index;
}

const FolderUrlIndex* ExtractionJob::folderIndex(const DomainFolder& folder) {
    // A binary search by the folder's address: a save that follows external
    // links may meet many hosts, and every link asks for its folder.
    std::unique_ptr<FolderUrlIndex>* indexes = folderIndexes_.get();
    std::unique_ptr<FolderUrlIndex>* end = indexes + folderIndexCount_;
    std::unique_ptr<FolderUrlIndex>* at = std::lower_bound(
        indexes, end, &folder,
        [](const std::unique_ptr<FolderUrlIndex>& index, const DomainFolder* f) { return &index->folder() < f; });
    if (at != end && &(*at)->folder() == &folder)
        return at->get();

    std::unique_ptr<FolderUrlIndex> index(FolderUrlIndex::build(folder));
    if (!index)
        return nullptr;
    if (folderIndexCount_ == folderIndexCapacity_) {
        int32_t capacity = folderIndexCapacity_ ? folderIndexCapacity_ * 2 : 8;
        std::unique_ptr<std::unique_ptr<FolderUrlIndex>[]> grown(new (std::nothrow)
                                                                     std::unique_ptr<FolderUrlIndex>[capacity]);
        if (!grown)
            return nullptr;
        std::move(indexes, end, grown.get());
        folderIndexes_ = std::move(grown);
        folderIndexCapacity_ = capacity;
        at = folderIndexes_.get() + (at - indexes);
        indexes = folderIndexes_.get();
        end = indexes + folderIndexCount_;
    }
    std::move_backward(at, end, end + 1);
    *at = std::move(index);
    ++folderIndexCount_;
    return at->get();
}

std::unique_ptr<TargetNames> makeTargetNames() {
    int32_t status;
    return std::unique_ptr<TargetNames>(checkCreated(new (std::nothrow) TargetNames(), status));
}

int32_t addDocument(ExtractionJob& job, const CacheEntry& entry) {
    int32_t status;
    std::unique_ptr<SaveItem> item(checkCreated(makeSaveItem(entry), status));
    if (!item) {
        job.setStatus(-1);
        return -1;
    }
    return addSaveItem(job, std::move(item));
}

namespace {

// The answer for a name that a file of the folder had before the save.
uint32_t decideAnswer(ExtractionJob& job, const NamedItem& existing, const char* name) {
    if (existing.hasAnyFlag(FLAG_CLAIMED_IN_RUN))
        return ANSWER_NUMBER;
    uint32_t answer = job.lastAnswer();
    if (!(answer & ANSWER_FOR_ALL)) {
        answer = job.askAboutDuplicate(name, answer & ~ANSWER_FOR_ALL);
        job.setLastAnswer(answer);
    }
    return answer & ~ANSWER_FOR_ALL;
}

// The missing-link page is written last; a document the user named like it
// would be overwritten by it. The page moves to a numbered name instead.
bool yieldMissingPageName(ExtractionJob& job, TargetNames& names, const char* name) {
    if (compareTextNoCase(name, job.missingPageName()) != 0)
        return true;
    char numbered[kNameBufferSize];
    makeUniqueName(numbered, job.missingPageName(), names);
    int32_t index = names.insertString(numbered);
    if (index < 0 || !job.setMissingPageName(numbered)) {
        job.setStatus(-1);
        return false;
    }
    names.at(index)->setFlags(FLAG_CLAIMED_IN_RUN);
    job.setMissingPageAgreed(false);
    return true;
}

// A proposed name too long for the target folder is cut, keeping its
// extension and staying an ordinary file name; false when no name is left
// short enough, or memory for the new name ran out (the job then fails).
bool fitName(ExtractionJob& job, SaveItem& item, size_t limit) {
    if (std::strlen(item.localName()) <= limit)
        return true;
    if (limit == 0)
        return false;
    char name[kNameBufferSize];
    copyTextBounded(name, sizeof name, item.localName());
    makeOrdinaryFileName(name, limit + 1);
    if (std::strlen(name) > limit)
        return false;
    if (!item.rename(name)) {
        job.setStatus(-1);
        return false;
    }
    return true;
}

}  // namespace

int32_t addSaveItem(ExtractionJob& job, std::unique_ptr<SaveItem> item) {
    TargetNames* names = job.targetNames();
    if (!item || !names) {
        job.setStatus(-1);
        return -1;
    }
    bool namedByUser = item->hasAnyFlag(FLAG_NAMED_BY_USER);
    // The save dialog gave a whole path that fits; the name of any other
    // document must fit with the folder, or its file could not be opened.
    if (!namedByUser && !fitName(job, *item, names->nameLimit()))
        return -1;
    SearchResult at = names->searchKey(item->localName());
    int32_t nameIndex = at.index;
    if (namedByUser) {
        item->setFlags(FLAG_OVERWRITE_AGREED);
        if (!at.found) {
            nameIndex = names->insertStringAt(at.index, item->localName());
        } else {
            if (!yieldMissingPageName(job, *names, item->localName()))
                return -1;
            nameIndex = names->searchKey(item->localName()).index;
        }
    } else if (!at.found) {
        nameIndex = names->insertStringAt(at.index, item->localName());
    } else {
        uint32_t answer = decideAnswer(job, *names->at(at.index), item->localName());
        if (answer == ANSWER_NUMBER) {
            char numbered[kNameBufferSize];
            makeUniqueName(numbered, item->localName(), *names);
            // Only a limit shorter than the number leaves the name too long.
            if (std::strlen(numbered) > names->nameLimit())
                return -1;
            if (!item->rename(numbered)) {
                job.setStatus(-1);
                return -1;
            }
            item->setFlags(FLAG_NUMBERED);
            nameIndex = names->insertString(numbered);
        } else if (answer == ANSWER_OVERWRITE) {
            item->setFlags(FLAG_OVERWRITE_AGREED);
        } else {
            return -1;
        }
    }
    if (nameIndex < 0) {
        job.setStatus(-1);
        return -1;
    }
    names->at(nameIndex)->setFlags(FLAG_CLAIMED_IN_RUN);
    int32_t index = job.insertSaveItem(item.get());
    if (index < 0) {
        job.setStatus(-1);
        return -1;
    }
    item.release();
    return index;
}
