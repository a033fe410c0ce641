// Entry points of the dialogs that are still being built.
#include "ui/properties_sheet.h"
#include "ui/save_command.h"

void runExtraction(MainWindow&, std::unique_ptr<SortedCollection>) {}
void propertiesCommand(MainWindow&) {}
