// "Inhalte suchen..." (dialog 40) and "Suchergebnisse löschen": the dialog,
// the candidates its scope names, and the results root in the tree. The run
// itself is the search library's.
#include "ui/content_search_command.h"

#include <utility>

#include "core/owned_text.h"
#include "core/text_helpers.h"
#include "core/text_locale.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "resources/dialog_ids.h"
#include "search/content_search.h"
#include "settings/history.h"
#include "settings/settings.h"
#include "ui/dialog_help.h"
#include "ui/dialog_text.h"
#include "ui/history_combo.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/option_boxes.h"

namespace {

// One character less than a history entry holds: every text typed is kept
// whole, in the history as in the search.
constexpr int kSearchTextLimit = kHistoryTextSize - 1;

const OptionBox kScopeButtons[] = {
    {IDC_SEARCH_WHOLE_CACHE, OPTION_SEARCH_CACHE},
    {IDC_SEARCH_CURRENT_FOLDER, OPTION_SEARCH_FOLDER},
    {IDC_SEARCH_SELECTED_DOCUMENTS, OPTION_SEARCH_SELECTION},
};

constexpr uint32_t kScopeOptions = OPTION_SEARCH_CACHE | OPTION_SEARCH_FOLDER | OPTION_SEARCH_SELECTION;

// "Inhalte suchen...": the words with their history and the scope.
class SearchDialog : public DialogWithHelp {
public:
    SearchDialog(ProgramState& state, bool documentsSelected)
        : DialogWithHelp(state.helpFilePath()), state_(state), documentsSelected_(documentsSelected) {}

private:
    bool onInitDialog() override;
    void onOk() override;

    bool confirmSearch();

    ProgramState& state_;
    // "Markierte Dokumente" is offered only with a selection.
    const bool documentsSelected_;
};

bool SearchDialog::onInitDialog() {
    HWND dialog = window();
    attachHelpTable(dialog, DLG_CONTENT_SEARCH);
    const uint32_t options = state_.settings.optionFlags;
    int chosen = IDC_SEARCH_WHOLE_CACHE;
    for (const OptionBox& button : kScopeButtons) {
        if (options & button.option) {
            chosen = button.id;
            break;
        }
    }
    if (!documentsSelected_) {
        EnableWindow(GetDlgItem(dialog, IDC_SEARCH_SELECTED_DOCUMENTS), FALSE);
        if (chosen == IDC_SEARCH_SELECTED_DOCUMENTS)
            chosen = IDC_SEARCH_WHOLE_CACHE;
    }
    CheckRadioButton(dialog, IDC_SEARCH_WHOLE_CACHE, IDC_SEARCH_SELECTED_DOCUMENTS, chosen);
    HWND combo = GetDlgItem(dialog, IDC_SEARCH_TEXT);
    SendMessageA(combo, CB_LIMITTEXT, kSearchTextLimit, 0);
    fillHistory(kSearchHistory, combo);
    return true;
}

void SearchDialog::onOk() {
    if (confirmSearch())
        endDialog(IDOK);
}

// "Start": true when the dialog may close.
bool SearchDialog::confirmSearch() {
    HWND dialog = window();
    HWND combo = GetDlgItem(dialog, IDC_SEARCH_TEXT);
    char text[kHistoryTextSize];
    if (!readControlText(combo, text, sizeof text)) {
        MessageBeep(0);
        return false;
    }
    collapseSpaces(text);
    if (!text[0]) {
        MessageBeep(0);
        return false;
    }
    OwnedText lowered(duplicateText(text));
    if (!lowered) {
        showOutOfMemory();
        return false;
    }
    lowerText(lowered.data());
    // The history keeps the tidied text, with its case.
    SetWindowTextA(combo, text);
    recordHistory(kSearchHistory, kHistoryMaximum, combo);
    state_.searchTexts.contents = std::move(lowered);
    Settings& settings = state_.settings;
    settings.optionFlags &= ~kScopeOptions;
    for (const OptionBox& button : kScopeButtons) {
        if (IsDlgButtonChecked(dialog, button.id) == BST_CHECKED) {
            settings.optionFlags |= button.option;
            break;
        }
    }
    return true;
}

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
    SearchDialog dialog(main.state(), main.list().firstSelected() != nullptr);
    if (dialog.runModal(main.window(), DLG_CONTENT_SEARCH) != IDOK)
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
