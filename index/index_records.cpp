#include "index/index_records.h"

bool passExistingRecords(const unsigned char* page, size_t size, CacheDirectoryFiles& files, IndexRecordSink& sink) {
    IndexPageReader reader(page, size);
    IndexRecord record;
    while (reader.next(record)) {
        switch (files.find(record.localFile)) {
        case CacheDirectoryFiles::ABSENT:
            break;
        case CacheDirectoryFiles::OUT_OF_MEMORY:
            return false;
        case CacheDirectoryFiles::PRESENT:
            if (!sink.takeRecord(record))
                return false;
            break;
        }
    }
    return true;
}
