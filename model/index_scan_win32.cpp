#include "index/cache_index_scan.h"
#include "index/cache_location.h"
#include "model/cache_model.h"
#include "model/index_filing.h"

MessageCode scanCacheIndex(CacheModel& model) {
    model.lastScanComplete = false;
    if (!model.cacheDirectory.view()[0]) {
        MessageCode found = findCacheDirectory(model.cacheDirectory);
        if (found != MSG_OK)
            return found;
    }
    IndexFiler filer(model);
    MessageCode result = readCacheIndex(model.cacheDirectory.view(), filer);
    filer.finish();
    model.lastScanComplete = result == MSG_OK;
    return result;
}
