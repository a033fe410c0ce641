#include "extract/extraction_job.h"

#include <new>

#include "core/text_locale.h"
#include "extract/link_matching.h"
#include "index/cache_entry.h"
#include "model/domain_folder.h"

ExtractionJob::ExtractionJob(const CacheModel& model, ExtractOptions options, ProgressPumpCallback progress,
                             DuplicateNamePromptCallback duplicate, MissingPageText missingPage)
    : SortedCollection(kCapacity, kDelta, true, true, false),
      model_(model),
      options_(options & kAllExtractOptions),
      progress_(progress),
      duplicate_(duplicate),
      missingPage_(missingPage) {}

ExtractionJob::~ExtractionJob() {
    while (folderIndexes_) {
        FolderUrlIndex* next = folderIndexes_->next;
        delete folderIndexes_;
        folderIndexes_ = next;
    }
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
    if (progress_ && !progress_())
        cancelled_ = true;
    return !cancelled_;
}

uint32_t ExtractionJob::askAboutDuplicate(const char* name, uint32_t lastAnswer) const {
    return duplicate_ ? duplicate_(name, lastAnswer) : lastAnswer;
}

SaveItem* ExtractionJob::firstPendingItem() {
    for (; firstPending_ < count(); ++firstPending_) {
        SaveItem* item = itemAt(firstPending_);
        if (!item->hasAnyFlag(SAVE_ITEM_DONE))
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
    for (FolderUrlIndex* index = folderIndexes_; index; index = index->next) {
        if (&index->folder() == &folder && index->count() == folder.count())
            return index;
    }
    FolderUrlIndex* index = FolderUrlIndex::build(folder);
    if (index) {
        index->next = folderIndexes_;
        folderIndexes_ = index;
    }
    return index;
}

std::unique_ptr<TargetNames> makeTargetNames() {
    int32_t status;
    return std::unique_ptr<TargetNames>(checkCreated(
        new (std::nothrow) TargetNames(SortedCollection::kCapacity, SortedCollection::kDelta, true, true, false),
        status));
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
    if (existing.hasAnyFlag(ClaimedInRun))
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
    names.at(index)->setFlags(ClaimedInRun);
    return true;
}

}  // namespace

int32_t addSaveItem(ExtractionJob& job, std::unique_ptr<SaveItem> item) {
    TargetNames* names = job.targetNames();
    if (!item || !names) {
        job.setStatus(-1);
        return -1;
    }
    SearchResult at = names->searchKey(item->localName());
    int32_t nameIndex = at.index;
    if (!at.found) {
        nameIndex = names->insertStringAt(at.index, item->localName());
    } else if (item->hasAnyFlag(SAVE_ITEM_NAMED_BY_USER)) {
        if (!yieldMissingPageName(job, *names, item->localName()))
            return -1;
        nameIndex = names->searchKey(item->localName()).index;
    } else {
        uint32_t answer = decideAnswer(job, *names->at(at.index), item->localName());
        if (answer == ANSWER_NUMBER) {
            char numbered[kNameBufferSize];
            makeUniqueName(numbered, item->localName(), *names);
            if (!item->rename(numbered)) {
                job.setStatus(-1);
                return -1;
            }
            item->setFlags(SAVE_ITEM_NUMBERED);
            nameIndex = names->insertString(numbered);
        } else if (answer != ANSWER_OVERWRITE) {
            return -1;
        }
    }
    if (nameIndex < 0) {
        job.setStatus(-1);
        return -1;
    }
    names->at(nameIndex)->setFlags(ClaimedInRun);
    int32_t index = job.insertSaveItem(item.get());
    if (index < 0) {
        job.setStatus(-1);
        return -1;
    }
    item.release();
    return index;
}
