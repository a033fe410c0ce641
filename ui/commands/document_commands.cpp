#include "ui/commands/document_commands.h"

#include <windows.h>

#include <memory>

#include "core/global_text_list.h"
#include "core/sorted_collection.h"
#include "index/cache_entry.h"
#include "index/entry_flags.h"
#include "model/cache_model.h"
#include "model/document_deletion.h"
#include "model/hidden_lists.h"
#include "model/loading.h"
#include "resources/command_ids.h"
#include "ui/frame/main_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/commands/context_menu.h"
#include "ui/dialogs/properties_sheet.h"
#include "ui/commands/save_command.h"

namespace {

bool enabled(const ObjectCommandStates& states, int id) {
    return (states.stateOf(id) & kStateEnabled) != 0;
}

// "Verbergen" on the toolbar is a check button: checked, it unhides.
int resolveToggle(const ObjectCommandStates& states, int id) {
    if (id != CMD_TOGGLE_HIDDEN)
        return id;
    return (states.stateOf(CMD_TOGGLE_HIDDEN) & kStateChecked) ? CMD_UNHIDE : CMD_HIDE;
}

void copyUrlsOfSelection(MainWindow& main) {
    GlobalTextList urls("\r\n");
    bool complete = true;
    main.list().forEachSelected([&](CacheEntry* entry) { complete = complete && urls.append(entry->url()); });
    if (complete)
        copyToClipboard(urls, main.window());
}

void hideSelection(MainWindow& main, bool hide) {
    CacheModel& model = *main.model();
    bool kept = true;
    main.list().forEachSelected([&](CacheEntry* entry) {
        if (hide)
            kept = hideDocument(model, *entry) && kept;
        else
            showDocument(model, *entry);
    });
    main.refreshViews(RefreshTree | RefreshResults | RefreshList);
    // A document whose name found no room in the list stays shown.
    if (!kept)
        showOutOfMemory();
}

// The selected documents, in the list's order, in a list that does not own
// them; null when memory ran out.
std::unique_ptr<SortedCollection> selectedDocuments(MainWindow& main) {
    std::unique_ptr<SortedCollection> documents = makeReferenceList();
    bool complete = documents != nullptr;
    main.list().forEachSelected(
        [&](CacheEntry* entry) { complete = complete && documents->insertAt(documents->count(), entry) >= 0; });
    return complete ? std::move(documents) : nullptr;
}

void saveSelection(MainWindow& main) {
    if (refuseWhileRunning(main, kRefuseLoading))
        return;
    std::unique_ptr<SortedCollection> selection = selectedDocuments(main);
    if (!selection) {
        showOutOfMemory();
        return;
    }
    runExtraction(main, std::move(selection));
}

void goToFolderOfSelection(MainWindow& main) {
    CacheEntry* entry = main.list().firstSelected();
    if (!entry)
        return;
    FoundEntry found = findEntry(*main.model(), entry->url());
    if (found.entry != entry || !found.folder)
        return;
    main.tree().selectFolder(*found.folder);
    main.list().selectEntry(*entry);
}

// Moves the cached files of the selected documents (or of every document of
// `folder`) to the recycle bin, or deletes them for good while Shift is
// held, and marks the documents whose files are gone.
void deleteDocuments(MainWindow& main, DomainFolder* folder, const ObjectCommandStates& states) {
    CacheModel* model = main.model();
    if (!model || !enabled(states, CMD_DELETE))
        return;
    DocumentDeletion deletion(*model);
    bool complete = true;
    auto gather = [&](NamedItem* item) { complete = complete && deletion.add(*static_cast<CacheEntry*>(item)); };
    if (folder)
        folder->forEach(gather);
    else
        main.list().forEachSelected([&](CacheEntry* entry) { gather(entry); });
    if (!complete) {
        showOutOfMemory();
        return;
    }
    if (deletion.empty())
        return;
    // Shift held down deletes for good, as in the shell itself.
    deletion.run(main.window(), GetKeyState(VK_SHIFT) < 0);
    main.refreshViews(RefreshTree | RefreshResults | RefreshList);
}

}  // namespace

bool refuseWhileRunning(MainWindow& main, unsigned kinds) {
    CacheModel* model = main.model();
    if (!model)
        return false;
    // A run whose thread is gone is still in flight until its end message
    // has been handled.
    RunKind running = model->run.inFlight() ? model->run.flightKind() : threadBusy(*model);
    if (running == RUN_NONE || !(static_cast<unsigned>(running) & kinds))
        return false;
    MessageBeep(0);
    return true;
}


void openSelectedDocument(MainWindow& main, int id, const ObjectCommandStates& states) {
    if (enabled(states, id))
        main.openDocument(main.list().firstSelected());
}

void saveSelectedDocuments(MainWindow& main, int id, const ObjectCommandStates& states) {
    if (enabled(states, id))
        saveSelection(main);
}

void showSelectedProperties(MainWindow& main, int, const ObjectCommandStates&) {
    if (main.list().stats().selected == 0 || refuseWhileRunning(main, kRefuseLoading))
        return;
    std::unique_ptr<SortedCollection> documents = selectedDocuments(main);
    if (!documents) {
        showOutOfMemory();
        return;
    }
    // The dates are shown in the local time in force now.
    ProgramState& state = main.state();
    state.updateTimeZoneBias();
    if (documents->count() > 0)
        showPropertiesSheet(main.window(), state.helpFilePath(), *documents, main.frame().systemLargeIcons(),
                            state.timeZoneBias());
}

void hideSelectedDocuments(MainWindow& main, int id, const ObjectCommandStates& states) {
    id = resolveToggle(states, id);
    if (enabled(states, id))
        hideSelection(main, id == CMD_HIDE);
}

void deleteSelectedDocuments(MainWindow& main, int, const ObjectCommandStates& states) {
    // A content search reads the entries it was given: no file may go
    // while any run is in flight.
    if (!refuseWhileRunning(main, kRefuseAnyRun))
        deleteDocuments(main, nullptr, states);
}

void copySelectedUrls(MainWindow& main, int id, const ObjectCommandStates& states) {
    if (enabled(states, id))
        copyUrlsOfSelection(main);
}

void goToDomain(MainWindow& main, int id, const ObjectCommandStates& states) {
    if (enabled(states, id))
        goToFolderOfSelection(main);
}

void openListContextMenu(MainWindow& main, int, const ObjectCommandStates&) {
    HMENU menu = main.list().stats().selected > 0 ? main.frame().listSelectionMenu() : main.frame().listBackgroundMenu();
    showContextMenu(menu, menuPointAtPane(main.list().window()), main.window());
}

void hideFolder(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states) {
    id = resolveToggle(states, id);
    if (!enabled(states, id))
        return;
    bool kept = true;
    if (id == CMD_HIDE)
        kept = hideHost(*main.model(), folder);
    else
        showHost(*main.model(), folder);
    main.refreshViews(RefreshTree);
    if (!kept)
        showOutOfMemory();
}

void deleteFolderDocuments(MainWindow& main, int, DomainFolder& folder, const ObjectCommandStates& states) {
    if (!refuseWhileRunning(main, kRefuseAnyRun))
        deleteDocuments(main, &folder, states);
}

void copyFolderHost(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states) {
    if (!enabled(states, id))
        return;
    GlobalTextList host("\r\n");
    if (host.append(folder.name()))
        copyToClipboard(host, main.window());
}
