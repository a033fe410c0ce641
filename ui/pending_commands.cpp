// Entry points of the dialogs that are still being built.
#include "ui/content_search_command.h"
#include "ui/find_command.h"
#include "ui/properties_sheet.h"
#include "ui/settings_dialog.h"

void propertiesCommand(MainWindow&) {}
void findCommand(MainWindow&, bool) {}
void contentSearchCommand(MainWindow&) {}
void clearSearchResults(MainWindow&) {}
void settingsCommand(MainWindow&) {}
