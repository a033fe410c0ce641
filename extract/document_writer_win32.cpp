#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "core/cached_file.h"
#include "core/owned_text.h"
#include "core/win_handles.h"
#include "extract/extraction_run.h"
#include "extract/link_rewriter.h"
#include "model/cache_model.h"

namespace {

// Copies go in blocks of this size, with the progress callback run after each.
constexpr DWORD kCopyBlockSize = 1024;

// The cached file is opened shared with readers only: a target that is the
// source itself (a save into the cache directory) then cannot be opened for
// writing, instead of being emptied before it is read.
FileHandle openSource(const char* path) {
    return openCachedFile(path, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN);
}

// Opens the item's file for writing. A file the user agreed to replace, or
// one this save made, is replaced; any other file must be new. A file found
// under the name came into the folder after it was listed: it is left alone
// and the name is numbered, unless a link to the name is written already.
FileHandle openTarget(ExtractionJob& job, SaveItem& item) {
    for (;;) {
        char path[MAX_PATH];
        if (!job.targetPath(item.localName(), path, sizeof path))
            return FileHandle();
        bool replace = item.hasAnyFlag(FLAG_OVERWRITE_AGREED | FLAG_FILE_MADE);
        FileHandle file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        // Once open, the file is the save's own, a replaced one too: its
        // old content is gone, and a write that fails removes it rather
        // than leave a part of the document under its name.
        if (file) {
            item.setFlags(FLAG_FILE_MADE);
            return file;
        }
        if (replace || item.hasAnyFlag(FLAG_NAME_LINKED) || !pathTaken(path) || !job.renumberAfterClash(item))
            return FileHandle();
    }
}

bool writeAll(HANDLE file, const char* data, DWORD length) {
    DWORD written = 0;
    return WriteFile(file, data, length, &written, nullptr) && written == length;
}

// Buffers the many small pieces of a rewritten page into few writes.
class FileSink : public TextSink {
public:
    explicit FileSink(HANDLE file) : file_(file) {}

    bool write(const char* data, size_t length) override {
        while (!failed_ && length > 0) {
            if (used_ == sizeof buffer_)
                flush();
            size_t take = sizeof buffer_ - used_;
            if (take > length)
                take = length;
            std::memcpy(buffer_ + used_, data, take);
            used_ += take;
            data += take;
            length -= take;
        }
        return !failed_;
    }

    bool failed() const override { return failed_; }

    bool flush() {
        if (!failed_ && used_ > 0 && !writeAll(file_, buffer_, static_cast<DWORD>(used_)))
            failed_ = true;
        used_ = 0;
        return !failed_;
    }

private:
    HANDLE file_;
    size_t used_ = 0;
    bool failed_ = false;
    char buffer_[16384];
};

MessageCode copyFile(HANDLE source, HANDLE target, ExtractionJob& job) {
    OwnedText block(static_cast<char*>(std::malloc(kCopyBlockSize)));
    if (!block)
        return MSG_OUT_OF_MEMORY;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, block.data(), kCopyBlockSize, &read, nullptr))
            return MSG_COPY_FAILED;
        if (read == 0)
            return MSG_OK;
        if (!writeAll(target, block.get(), read))
            return MSG_COPY_FAILED;
        job.pump();
    }
}

// Reads `size` bytes of `source` into a NUL-terminated block; `length` is
// what was read (less when the file shrank meanwhile).
MessageCode readWholeFile(HANDLE source, DWORD size, OwnedText& text, size_t& length) {
    text.reset(static_cast<char*>(std::malloc(size + 1)));
    if (!text)
        return MSG_OUT_OF_MEMORY;
    DWORD total = 0;
    while (total < size) {
        DWORD read = 0;
        if (!ReadFile(source, text.data() + total, size - total, &read, nullptr))
            return MSG_COPY_FAILED;
        if (read == 0)
            break;
        total += read;
    }
    text.data()[total] = '\0';
    length = total;
    return MSG_OK;
}

MessageCode writeHtmlDocument(HANDLE source, SaveItem& item, ExtractionJob& job) {
    DWORD high = 0;
    DWORD size = GetFileSize(source, &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return MSG_COPY_FAILED;
    // A page too large to hold in memory keeps its links as they are.
    if (high != 0 || size > kLargestRewrittenPage) {
        FileHandle target = openTarget(job, item);
        return target ? copyFile(source, target.get(), job) : MSG_COPY_FAILED;
    }
    OwnedText text;
    size_t length = 0;
    MessageCode result = readWholeFile(source, size, text, length);
    if (result != MSG_OK)
        return result;
    FileHandle target = openTarget(job, item);
    if (!target)
        return MSG_COPY_FAILED;
    FileSink sink(target.get());
    result = rewriteHtml(text.get(), length, item, job, sink);
    if (!sink.flush() && result == MSG_OK)
        result = MSG_COPY_FAILED;
    return result;
}

MessageCode writeDocument(SaveItem& item, ExtractionJob& job) {
    char sourcePath[kNameBufferSize];
    if (!cachePath(job.model(), sourcePath, sizeof sourcePath, item.sourceFile()))
        return MSG_COPY_FAILED;
    FileHandle source = openSource(sourcePath);
    if (!source)
        return MSG_COPY_FAILED;
    if (item.isHtml())
        return writeHtmlDocument(source.get(), item, job);
    FileHandle target = openTarget(job, item);
    return target ? copyFile(source.get(), target.get(), job) : MSG_COPY_FAILED;
}

}  // namespace

MessageCode rewriteDocument(SaveItem& item, ExtractionJob& job) {
    MessageCode result = writeDocument(item, job);
    // A name or an item that could not be made for want of memory fails the
    // write as a failed copy would; the user is told what it was.
    if (job.status() != 0)
        result = MSG_OUT_OF_MEMORY;
    // Only a document written whole is done. The end of the save removes
    // the file of one that failed halfway, and of a page whose rewriting a
    // cancel cut short, rather than leave it looking saved.
    if (result == MSG_OK && !(item.isHtml() && job.cancelled()))
        item.setFlags(FLAG_SAVE_DONE);
    return result;
}
