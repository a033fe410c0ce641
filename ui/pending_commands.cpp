// Entry points of the dialogs that are still being built.
#include "ui/content_search_command.h"
#include "ui/find_command.h"
#include "ui/properties_sheet.h"
#include "ui/save_command.h"
#include "ui/settings_dialog.h"

void runExtraction(MainWindow&, std::unique_ptr<SortedCollection>) {}
void propertiesCommand(MainWindow&) {}
void findCommand(MainWindow&, bool) {}
void contentSearchCommand(MainWindow&) {}
void clearSearchResults(MainWindow&) {}
void settingsCommand(MainWindow&) {}
