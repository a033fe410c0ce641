// "Suchen..." (dialog 35) and "Weitersuchen": the dialog, and showing a hit
// in the panes. The walk itself is the search library's.
#include "ui/find_command.h"

#include <utility>

#include "core/owned_text.h"
#include "core/text_locale.h"
#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "model/loading.h"
#include "resources/dialog_ids.h"
#include "search/find_walk.h"
#include "settings/history.h"
#include "settings/settings.h"
#include "ui/dialog_help.h"
#include "ui/dialog_text.h"
#include "ui/history_combo.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/option_boxes.h"

namespace {

constexpr uint32_t kFindOptions = OPTION_FIND_HOSTS | OPTION_FIND_URLS | OPTION_FIND_TITLES;

// One character less than a history entry holds: every text typed is kept
// whole, in the history as in the search.
constexpr int kFindTextLimit = kHistoryTextSize - 1;

const OptionBox kOptionBoxes[] = {
    {IDC_FIND_IN_HOSTS, OPTION_FIND_HOSTS},
    {IDC_FIND_IN_URLS, OPTION_FIND_URLS},
    {IDC_FIND_IN_TITLES, OPTION_FIND_TITLES},
};

// The tree's folders after the caret's, in display order, the order of
// "Nächster Ordner". A host folder of the cache is loaded before its titles
// are read, so that a title is found as the list will show it; the results
// only point to entries the cache's folders load.
class TreeOrder : public FolderSequence {
public:
    TreeOrder(MainWindow& main, HTREEITEM item) : main_(main), item_(item) {}

    DomainFolder* nextFolder() override {
        TreePane& tree = main_.tree();
        item_ = tree.nextFolderItem(item_);
        DomainFolder* folder = tree.folderOfItem(item_);
        if (folder && !folder->isNested() && folder->ownsItems() &&
            (main_.settings().optionFlags & OPTION_FIND_TITLES))
            loadFolder(*main_.model(), folder);
        return folder;
    }

private:
    MainWindow& main_;
    HTREEITEM item_;
};

// "Suchen...": the text with its history and where to look for it.
class FindDialog : public DialogWithHelp {
public:
    explicit FindDialog(ProgramState& state) : DialogWithHelp(state.helpFilePath()), state_(state) {}

private:
    bool onInitDialog() override;
    bool onCommand(int id, int code) override;
    void onOk() override;

    void onFindTextChange(int code);
    void enableFindButton(bool enabled);
    bool confirmFind();

    ProgramState& state_;
};

bool FindDialog::onInitDialog() {
    HWND dialog = window();
    attachHelpTable(dialog, DLG_FIND);
    const uint32_t options = state_.settings.optionFlags;
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
    state_.searchTexts.find = std::move(lowered);
    Settings& settings = state_.settings;
    settings.optionFlags = readOptionBoxes(dialog, kOptionBoxes, settings.optionFlags);
    return true;
}

// Selects the hit: its folder in the tree, which fills the list, and a
// document by its entry, so that "Weitersuchen" goes on after it.
void showHit(MainWindow& main, const FindHit& hit) {
    main.tree().selectFolder(*hit.folder);
    if (!hit.entry) {
        SetFocus(main.tree().window());
        return;
    }
    HWND list = main.list().window();
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    main.list().selectEntry(*hit.entry);
    SetFocus(list);
}

// From the current position: after the first selected document when the
// list has the focus, else from the first document of the tree's folder.
MessageCode findInPanes(MainWindow& main, bool fromList) {
    TreePane& tree = main.tree();
    HTREEITEM item = tree.caretItem();
    DomainFolder* folder = tree.folderOfItem(item);
    if (!folder || !main.model())
        return MSG_OK;
    const Settings& settings = main.settings();
    const FindQuery query = {main.state().searchTexts.find.view(), settings.optionFlags & kFindOptions,
                             filterMask(settings.optionFlags), settings.documentSortKey};
    const CacheEntry* after = fromList ? main.list().firstSelected() : nullptr;
    TreeOrder order(main, item);
    FindHit hit = findNext(*folder, after, query, order);
    if (hit.result == MSG_OK)
        showHit(main, hit);
    return hit.result;
}

}  // namespace

void findCommand(MainWindow& main, bool again) {
    // Taken before the dialog, which has the focus while it is open.
    const bool fromList = GetFocus() == main.list().window();
    if (!again || !main.state().searchTexts.find) {
        FindDialog dialog(main.state());
        if (dialog.runModal(main.window(), DLG_FIND) != IDOK)
            return;
    }
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    MessageCode result = findInPanes(main, fromList);
    SetCursor(previousCursor);
    if (result != MSG_OK)
        showMessageCode(main.window(), result);
}
