// "Suchen..." and "Weitersuchen": asking for the text, and showing a hit in
// the panes. The walk itself is the search library's.
#include "ui/commands/find_command.h"

#include "index/cache_entry.h"
#include "model/cache_model.h"
#include "model/document_view.h"
#include "model/domain_folder.h"
#include "model/loading.h"
#include "search/find_walk.h"
#include "settings/settings.h"
#include "ui/dialogs/find_dialog.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"

namespace {

constexpr uint32_t kFindOptions = OPTION_FIND_HOSTS | OPTION_FIND_URLS | OPTION_FIND_TITLES;

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
        ProgramState& state = main.state();
        if (!askFindText(main.window(), state.helpFilePath(), state.settings, state.searchTexts.find))
            return;
    }
    HCURSOR previousCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    MessageCode result = findInPanes(main, fromList);
    SetCursor(previousCursor);
    if (result != MSG_OK)
        showMessageCode(main.window(), result);
}
