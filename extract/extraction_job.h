// One save of cached documents into one folder: the documents to write (the
// selected ones and those their links pull in), the target folder and the
// names they claim in it, the options, and the host through which the save
// reaches its window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/message_code.h"
#include "core/owned_text.h"
#include "core/sorted_collection.h"
#include "settings/extract_options.h"
#include "extract/local_names.h"

class CacheEntry;
class CacheModel;
class DomainFolder;
class FolderUrlIndex;

// Answers to the duplicate-name question; they are the ids of the dialog's
// radio buttons.
enum DuplicateAnswer : uint32_t {
    ANSWER_OVERWRITE = 17,
    ANSWER_DO_NOT_SAVE = 18,
    ANSWER_NUMBER = 19,
    ANSWER_FOR_ALL = 0x80,  // given with "OK für &Alle": holds for the rest of the save
};

// Job flag: some link was replaced by a reference to the missing-link page.
constexpr uint32_t FLAG_MISSING_PAGE_NEEDED = 0x10;

class ExtractionJob;

// What a save needs from the window it runs under. The save runs on the
// main thread, so the host keeps windows responsive meanwhile.
class ExtractionHost {
public:
    virtual ~ExtractionHost() = default;
    // Called between chunks of a page, blocks of a copy and groups of folder
    // entries; the job's currentItem() and processedCount() say what to
    // show. False once the user has cancelled.
    virtual bool pumpProgress(const ExtractionJob& job) = 0;
    // Asked when a document's name is taken by a file that was in the folder
    // before the save: gets the name and the last answer (without
    // ANSWER_FOR_ALL), returns an answer, maybe with ANSWER_FOR_ALL, or 0
    // when nothing was chosen.
    virtual uint32_t askAboutDuplicate(const char* name, uint32_t lastAnswer) = 0;
};

// Making files in the target folder. The product makes them on disk; a job
// without it (the tests of names and links) only claims names.
class TargetFiles {
public:
    enum Result { MADE, TAKEN, FAILED };
    virtual ~TargetFiles() = default;
    // Makes the empty file `path` unless a file or folder of that name
    // exists (TAKEN); FAILED for any other reason.
    virtual Result makeEmpty(const char* path) = 0;
    // Removes a file the save made but never wrote.
    virtual void remove(const char* path) = 0;
};

// The text of the missing-link page, written without a terminating zero.
struct MissingPageText {
    const char* text;
    size_t length;
};

// A sorted, owning collection of SaveItems in URL order. Its status is 0
// while the save is sound and -1 once storing an item or a name failed.
class ExtractionJob : public SortedCollection {
public:
    // `targetFolder` is the folder the documents go to; `host` may be null,
    // for a save that nobody watches and that numbers every clash. The
    // status is -1 when the folder's name could not be kept.
    ExtractionJob(const CacheModel& model, const char* targetFolder, ExtractOptions options, ExtractionHost* host,
                  MissingPageText missingPage);
    ~ExtractionJob() override;

    const CacheModel& model() const { return model_; }
    const char* targetFolder() const { return targetFolder_.view(); }
    // The full path of `name` in the target folder; false (and `out` empty)
    // when it does not fit.
    bool targetPath(const char* name, char* out, size_t size) const;
    ExtractOptions options() const { return options_; }
    SaveItem* itemAt(int32_t index) const { return static_cast<SaveItem*>(at(index)); }
    // The item of a cached document, found by its URL.
    SaveItem* findItem(const NamedItem& entry) const;
    SaveItem* findItem(const char* url) const;

    // Lets the host show the progress; false once the user has cancelled,
    // which the job remembers even where the answer is not acted on at once.
    bool pump();
    bool cancelled() const { return cancelled_; }
    uint32_t lastAnswer() const { return lastAnswer_; }
    void setLastAnswer(uint32_t answer) { lastAnswer_ = answer; }
    uint32_t askAboutDuplicate(const char* name, uint32_t lastAnswer) const;

    // The target folder's names; null until set. Setting them sets their
    // name limit from the target folder's length.
    TargetNames* targetNames() const { return targetNames_.get(); }
    void setTargetNames(std::unique_ptr<TargetNames> names);
    const char* missingPageName() const { return missingPageName_.view(); }
    bool setMissingPageName(const char* name) { return missingPageName_.assign(name); }
    MissingPageText missingPage() const { return missingPage_; }

    // Files that come into the folder after it was listed must not be
    // replaced, and a link must name the file its document is written to.
    // So a name is settled before the first link to it is written: the
    // save makes the (empty) file then, and a file found under that name
    // numbers the name as for a clash. A document written before any link
    // to it makes its file when it is written. Until a name is settled it
    // may change; afterwards the file is the save's own.
    void setTargetFiles(std::unique_ptr<TargetFiles> files) { files_ = std::move(files); }
    // Settles the item's local name; false only when the job has failed.
    bool settleLocalName(SaveItem& item);
    // Numbers the item's name after a file of that name was found in the
    // folder; false (the job failed) when the name could not be stored.
    bool renumberAfterClash(SaveItem& item);
    // The name of the missing-link page for a link about to be written to
    // it: sets FLAG_MISSING_PAGE_NEEDED, and the first time settles the
    // name as for a document.
    const char* useMissingPage();
    // The missing page's file may be replaced when it is written: it holds
    // the page already, or the save made it.
    bool missingPageReplaceable() const { return missingPageAgreed_ || missingPageMade_; }
    void setMissingPageAgreed(bool agreed) { missingPageAgreed_ = agreed; }
    void setMissingPageWritten() { missingPageMade_ = false; }
    // Removes the empty files made for documents that were never written
    // (after a cancel or an error); the destructor does it too.
    void releaseUnwrittenFiles();

    // Candidates compared with links by findBestMatch: the work of matching,
    // which the tests count.

    // The state of the run, for the progress window: the item being written
    // and the number of items written so far.
    const SaveItem* currentItem() const { return currentItem_; }
    int32_t processedCount() const { return processedCount_; }
    void setCurrentItem(const SaveItem* item) { currentItem_ = item; }
    void setProcessedCount(int32_t count) { processedCount_ = count; }

    // The first item in URL order that is not written yet, or null.
    SaveItem* firstPendingItem();
    // Inserts in URL order behind equal URLs; -1 when the item could not be
    // stored (it is then not taken over).
    int32_t insertSaveItem(SaveItem* item);

    // The parsed URLs of a folder's entries, made on first use and kept for
    // the job's life (the cache does not change during a save); null when
    // memory is short.
    const FolderUrlIndex* folderIndex(const DomainFolder& folder);

private:
    const CacheModel& model_;
    OwnedText targetFolder_;
    ExtractOptions options_;
    ExtractionHost* host_;
    MissingPageText missingPage_;
    uint32_t lastAnswer_ = ANSWER_NUMBER;
    std::unique_ptr<TargetNames> targetNames_;
    std::unique_ptr<TargetFiles> files_;
    OwnedText missingPageName_;
    bool missingPageAgreed_ = false;
    bool missingPageMade_ = false;
    const SaveItem* currentItem_ = nullptr;
    int32_t processedCount_ = 0;
    // Items before this index are all written: the search for the next one
    // need not start at the first item every time.
    int32_t firstPending_ = 0;
    bool cancelled_ = false;
    // The indexes made so far, one per folder, ordered by the folder's address.
    std::unique_ptr<std::unique_ptr<FolderUrlIndex>[]> folderIndexes_;
    int32_t folderIndexCount_ = 0;
    int32_t folderIndexCapacity_ = 0;
};

// Makes the SaveItem of `entry` and adds it with addSaveItem; the item's
// index or a negative value. A failure to make the item fails the job.
int32_t addDocument(ExtractionJob& job, const CacheEntry& entry);

// Claims the item's local name in the target folder, asking about names
// that existed before the save, and inserts the item. A name too long for
// the folder is cut first. Returns its index, or -1 when it is not saved
// (the item is then destroyed): because the user chose so, because no name
// fits the folder, or because storing failed, which also fails the job.
int32_t addSaveItem(ExtractionJob& job, std::unique_ptr<SaveItem> item);

// An empty collection for TargetNames.
std::unique_ptr<TargetNames> makeTargetNames();
