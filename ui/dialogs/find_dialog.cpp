// "Suchen..." (dialog 35): the text with its history and where to look for
// it.
#include "ui/dialogs/find_dialog.h"

#include <utility>

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
constexpr int kFindTextLimit = kHistoryTextSize - 1;

const OptionBox kOptionBoxes[] = {
    {IDC_FIND_IN_HOSTS, OPTION_FIND_HOSTS},
    {IDC_FIND_IN_URLS, OPTION_FIND_URLS},
    {IDC_FIND_IN_TITLES, OPTION_FIND_TITLES},
};

class FindDialog : public DialogWithHelp {
public:
    FindDialog(const char* helpFile, Settings& settings, OwnedText& findText)
        : DialogWithHelp(helpFile), settings_(settings), findText_(findText) {}

private:
    bool onInitDialog() override;
    bool onCommand(int id, int code) override;
    void onOk() override;

    void onFindTextChange(int code);
    void enableFindButton(bool enabled);
    bool confirmFind();

    Settings& settings_;
    OwnedText& findText_;
};

bool FindDialog::onInitDialog() {
    HWND dialog = window();
    attachHelpTable(dialog, DLG_FIND);
    const uint32_t options = settings_.optionFlags;
    showOptionBoxes(dialog, kOptionBoxes, options);
    HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
    SendMessageA(combo, CB_LIMITTEXT, kFindTextLimit, 0);
    fillHistory(kFindHistory, combo);
    enableFindButton(GetWindowTextLengthA(combo) > 0);
    return true;
}

bool FindDialog::onCommand(int id, int code) {
    if (id != IDC_FIND_TEXT)
        return DialogBase::onCommand(id, code);
    onFindTextChange(code);
    return true;
}

void FindDialog::onOk() {
    if (confirmFind())
        endDialog(IDOK);
}

void FindDialog::onFindTextChange(int code) {
    if (code == CBN_EDITCHANGE)
        enableFindButton(GetWindowTextLengthA(GetDlgItem(window(), IDC_FIND_TEXT)) > 0);
    // An entry taken from the history is never empty.
    else if (code == CBN_SELCHANGE)
        enableFindButton(true);
}

void FindDialog::enableFindButton(bool enabled) {
    EnableWindow(GetDlgItem(window(), IDOK), enabled);
}

// "Weitersuchen": true when the dialog may close.
bool FindDialog::confirmFind() {
    HWND dialog = window();
    HWND combo = GetDlgItem(dialog, IDC_FIND_TEXT);
    char text[kHistoryTextSize];
    if (!readControlText(combo, text, sizeof text)) {
        MessageBeep(0);
        return false;
    }
    if (!text[0])
        return false;
    OwnedText lowered(duplicateText(text));
    if (!lowered) {
        showOutOfMemory();
        return false;
    }
    lowerText(lowered.data());
    // The history keeps the text as it was typed.
    recordHistory(kFindHistory, kHistoryMaximum, combo);
    findText_ = std::move(lowered);
    settings_.optionFlags = readOptionBoxes(dialog, kOptionBoxes, settings_.optionFlags);
    return true;
}

}  // namespace

bool askFindText(HWND owner, const char* helpFile, Settings& settings, OwnedText& findText) {
    FindDialog dialog(helpFile, settings, findText);
    return dialog.runModal(owner, DLG_FIND) == IDOK;
}
