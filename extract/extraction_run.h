// Writing a save to disk: creating the job for the folder chosen in the save
// dialog, writing one document, and the run that writes them all and then
// the missing-link page. Every file is written by its full path in the
// target folder: whatever folder is current meanwhile does not matter.
#pragma once

#include <memory>

#include "core/message_code.h"
#include "extract/extraction_job.h"

class CacheModel;
class SaveItem;

// HTML pages up to this size are read into memory and their links
// rewritten; a larger page is copied byte for byte, its links as they are.
constexpr unsigned long kLargestRewrittenPage = 16ul * 1024 * 1024;

// The job for `targetFolder`, with the folder's names read and the
// missing-link page's name chosen. Null when the folder cannot be listed
// (`status` MSG_TARGET_FOLDER_UNUSABLE) or memory is short (-1). `host` may
// be null (see ExtractionJob). The caller owns the job.
std::unique_ptr<ExtractionJob> createJob(const CacheModel& model, const char* targetFolder, ExtractOptions options,
                                         ExtractionHost* host, MessageCode& status);

// Writes one document under its local name in the target folder: an
// HTML page with its links rewritten (the bytes from its first NUL on
// copied as they are), anything else copied byte for byte. Marks the item
// done. 0 (also after a cancel), MSG_COPY_FAILED when a file
// could not be read or written or the job has failed, -1 when memory for the
// page ran out.
MessageCode rewriteDocument(SaveItem& item, ExtractionJob& job);

// Writes the job's documents in URL order, pulling in linked ones as they
// are found, until all are written, one fails or the user cancels; then the
// missing-link page when a link points to it. The first error, or 0.
// Meanwhile the job's currentItem() and processedCount() say what the
// progress window shows; the progress callback is where it shows them.
MessageCode runExtractionJob(ExtractionJob& job);

// Whether a file or folder named `path` exists: after a new file could not
// be made there, whether the name is taken.
bool pathTaken(const char* path);
