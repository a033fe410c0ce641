// The commands that act on the objects of a pane: the selected documents of
// the list, or a host folder of the tree. Each checks its own state first:
// a command that arrives greyed (by its accelerator) does nothing.
#pragma once

#include "ui/commands/command_states.h"

class DomainFolder;
class MainWindow;

// The list's commands, on the selected documents.
void openSelectedDocument(MainWindow& main, int id, const ObjectCommandStates& states);
void saveSelectedDocuments(MainWindow& main, int id, const ObjectCommandStates& states);
void showSelectedProperties(MainWindow& main, int id, const ObjectCommandStates& states);
// "Verbergen", "Rückgängig: Verbergen" and the toolbar's check button.
void hideSelectedDocuments(MainWindow& main, int id, const ObjectCommandStates& states);
void deleteSelectedDocuments(MainWindow& main, int id, const ObjectCommandStates& states);
void copySelectedUrls(MainWindow& main, int id, const ObjectCommandStates& states);
void goToDomain(MainWindow& main, int id, const ObjectCommandStates& states);
void openListContextMenu(MainWindow& main, int id, const ObjectCommandStates& states);

// The tree's commands, on one folder.
void hideFolder(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states);
void deleteFolderDocuments(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states);
void copyFolderHost(MainWindow& main, int id, DomainFolder& folder, const ObjectCommandStates& states);

// Beeps and returns true when a background run of one of `kinds` is in
// flight.
bool refuseWhileRunning(MainWindow& main, unsigned kinds);
// The kinds as bits: a run kind's value is its bit.
constexpr unsigned kRefuseLoading = RUN_LOADING;
constexpr unsigned kRefuseAnyRun = RUN_LOADING | RUN_CONTENT_SEARCH;
static_assert(RUN_LOADING == 1 && RUN_CONTENT_SEARCH == 2, "each run kind is a bit of its own");
