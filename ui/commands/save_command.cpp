#include "ui/commands/save_command.h"

#include "extract/extraction_run.h"
#include "ui/dialogs/extraction_progress.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/save_dialog.h"

void runExtraction(MainWindow& main, std::unique_ptr<SortedCollection> selection) {
    if (!selection || selection->count() == 0 || !main.model())
        return;
    ExtractionProgress progress(main.window());
    ProgramState& state = main.state();
    SaveDialogSetup setup;
    setup.owner = main.window();
    setup.model = main.model();
    setup.helpFile = state.helpFilePath();
    setup.initialFolder = state.lastSaveFolder();
    setup.options = &state.settings.extractOptions;
    std::unique_ptr<ExtractionJob> job;
    char chosenFolder[MAX_PATH];
    MessageCode result = showSaveDialog(setup, *selection, progress, job, chosenFolder);
    // Whatever a save wrote there came from the cache: no program is ever
    // started from that folder.
    if (chosenFolder[0])
        state.rememberSaveFolder(chosenFolder);
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
