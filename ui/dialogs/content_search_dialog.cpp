// "Inhalte suchen..." (dialog 40): the words with their history and the
// scope.
#include "ui/dialogs/content_search_dialog.h"

#include <utility>

#include "core/text_helpers.h"
#include "core/text_locale.h"
#include "resources/dialog_ids.h"
#include "settings/history.h"
#include "ui/dialogs/dialog_help.h"
#include "ui/dialogs/dialog_text.h"
#include "ui/dialogs/history_combo.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/option_boxes.h"

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
    SearchDialog(const char* helpFile, bool documentsSelected, Settings& settings, OwnedText& words)
        : DialogWithHelp(helpFile), documentsSelected_(documentsSelected), settings_(settings), words_(words) {}

private:
    bool onInitDialog() override;
    void onOk() override;

    bool confirmSearch();

    // "Markierte Dokumente" is offered only with a selection.
    const bool documentsSelected_;
    Settings& settings_;
    OwnedText& words_;
};

bool SearchDialog::onInitDialog() {
    HWND dialog = window();
    attachHelpTable(dialog, DLG_CONTENT_SEARCH);
    const uint32_t options = settings_.optionFlags;
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
    words_ = std::move(lowered);
    Settings& settings = settings_;
    settings.optionFlags &= ~kScopeOptions;
    for (const OptionBox& button : kScopeButtons) {
        if (IsDlgButtonChecked(dialog, button.id) == BST_CHECKED) {
            settings.optionFlags |= button.option;
            break;
        }
    }
    return true;
}

}  // namespace

bool askSearchWords(HWND owner, const char* helpFile, bool documentsSelected, Settings& settings, OwnedText& words) {
    SearchDialog dialog(helpFile, documentsSelected, settings, words);
    return dialog.runModal(owner, DLG_CONTENT_SEARCH) == IDOK;
}
