#include "ui/save_command.h"

#include "extract/extraction_run.h"
#include "ui/extraction_progress.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/save_dialog.h"

void runExtraction(MainWindow& main, std::unique_ptr<SortedCollection> selection) {
    if (!selection || selection->count() == 0 || !main.model())
        return;
    ExtractionProgress progress(main.window());
    std::unique_ptr<ExtractionJob> job;
    MessageCode result = showSaveDialog(main, *selection, progress, job);
    selection.reset();
    if (result == MSG_OK && job && !progress.cancelled()) {
        if (!progress.open(job->count())) {
            result = MSG_OUT_OF_MEMORY;
        } else {
            result = runExtractionJob(*job);
            progress.close();
        }
    }
    job.reset();
    if (result != MSG_OK)
        showMessageCode(main.window(), result);
}
