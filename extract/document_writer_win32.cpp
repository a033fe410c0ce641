#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "core/owned_text.h"
#include "core/win_handles.h"
#include "extract/extraction_run.h"
#include "extract/link_rewriter.h"
#include "model/cache_model.h"

namespace {

// Copies go in blocks of this size, with the progress callback run after each.
constexpr DWORD kCopyBlockSize = 1024;
// Pages of this size or more are not read into memory.
constexpr DWORD kLargestPage = 0x7FFFFFFF;

// The cached file is opened shared with readers only: a target that is the
// source itself (a save into the cache directory) then cannot be opened for
// writing, instead of being emptied before it is read.
FileHandle openSource(const char* path) {
    return FileHandle(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

FileHandle openTarget(const ExtractionJob& job, const char* name) {
    char path[MAX_PATH];
    if (!job.targetPath(name, path, sizeof path))
        return FileHandle();
    return FileHandle(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
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

MessageCode copyDocument(const char* sourcePath, const SaveItem& item, ExtractionJob& job) {
    OwnedText block(static_cast<char*>(std::malloc(kCopyBlockSize)));
    if (!block)
        return MSG_OUT_OF_MEMORY;
    FileHandle source = openSource(sourcePath);
    if (!source)
        return MSG_COPY_FAILED;
    FileHandle target = openTarget(job, item.localName());
    if (!target)
        return MSG_COPY_FAILED;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source.get(), block.data(), kCopyBlockSize, &read, nullptr))
            return MSG_COPY_FAILED;
        if (read == 0)
            return MSG_OK;
        if (!writeAll(target.get(), block.get(), read))
            return MSG_COPY_FAILED;
        job.pump();
    }
}

// Reads the whole file behind `source` into a NUL-terminated block.
MessageCode readWholeFile(HANDLE source, OwnedText& text) {
    DWORD high = 0;
    DWORD size = GetFileSize(source, &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size >= kLargestPage)
        return MSG_COPY_FAILED;
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
    return MSG_OK;
}

MessageCode writeHtmlDocument(const char* sourcePath, SaveItem& item, ExtractionJob& job) {
    FileHandle source = openSource(sourcePath);
    if (!source)
        return MSG_COPY_FAILED;
    OwnedText text;
    MessageCode result = readWholeFile(source.get(), text);
    if (result != MSG_OK)
        return result;
    FileHandle target = openTarget(job, item.localName());
    if (!target)
        return MSG_COPY_FAILED;
    FileSink sink(target.get());
    result = rewriteHtml(text.get(), item, job, sink);
    if (!sink.flush() && result == MSG_OK)
        result = MSG_COPY_FAILED;
    return result;
}

}  // namespace

MessageCode rewriteDocument(SaveItem& item, ExtractionJob& job) {
    item.setFlags(FLAG_SAVE_DONE);
    char sourcePath[kNameBufferSize];
    if (!cachePath(job.model(), sourcePath, sizeof sourcePath, item.sourceFile()))
        return MSG_COPY_FAILED;
    return item.isHtml() ? writeHtmlDocument(sourcePath, item, job) : copyDocument(sourcePath, item, job);
}
