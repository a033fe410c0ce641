// "Inhalte suchen..." and "Suchergebnisse löschen": asking for the words,
// the candidates the scope names, and the results root in the tree. The run
// itself is the search library's.
#include "ui/commands/content_search_command.h"

#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "search/content_search.h"
#include "settings/settings.h"
#include "ui/dialogs/content_search_dialog.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"

namespace {

// The documents the confirmed scope names; false when memory ran out.
bool gatherCandidates(MainWindow& main, const CacheModel& model, SortedCollection& candidates) {
    const uint32_t options = main.settings().optionFlags;
    if (options & OPTION_SEARCH_SELECTION) {
        bool complete = true;
        main.list().forEachSelected([&](CacheEntry* entry) {
            if (complete)
                complete = addCandidate(candidates, *entry);
        });
        return complete;
    }
    if (options & OPTION_SEARCH_FOLDER) {
        DomainFolder* folder = main.tree().selectedFolder();
        return !folder || addFolderCandidates(candidates, *folder, filterMask(options));
    }
    return addCacheCandidates(candidates, model);
}

bool isResultsFolder(const CacheModel& model, const DomainFolder* folder) {
    return folder && (folder == model.searchRoot.get() || (!folder->isNested() && !folder->ownsItems()));
}

}  // namespace

void contentSearchCommand(MainWindow& main) {
    CacheModel* model = main.model();
    ModelNotifier* notifier = main.notifier();
    if (!model || !notifier)
        return;
    ProgramState& state = main.state();
    if (!askSearchWords(main.window(), state.helpFilePath(), main.list().firstSelected() != nullptr, state.settings,
                        state.searchTexts.contents))
        return;
    std::unique_ptr<SortedCollection> candidates = makeCandidateSet();
    if (!candidates || !gatherCandidates(main, *model, *candidates)) {
        showOutOfMemory();
        return;
    }
    // The run empties the results folders: the list must not go on showing
    // one of them.
    if (isResultsFolder(*model, main.tree().selectedFolder()))
        main.list().clear();
    MessageCode result =
        main.contentSearch().start(*model, *notifier, main.state().searchTexts.contents.view(), std::move(candidates));
    if (result != MSG_OK)
        showMessageCode(main.window(), result);
}

void clearSearchResults(MainWindow& main) {
    CacheModel* model = main.model();
    if (!model)
        return;
    model->searchRoot->clearDeep();
    model->searchRoot->clearFlags(FLAG_ROOT_SHOWN);
    main.refreshViews(RefreshResults);
}
