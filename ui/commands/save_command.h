// "Speichern unter...": the save dialog, the progress window and the run of
// a save of the selected documents.
#pragma once

#include <memory>

#include "core/sorted_collection.h"

class MainWindow;

// Asks for the target and the link options, then saves `selection` (the
// documents chosen, not owned by the collection), which it takes over.
void runExtraction(MainWindow& main, std::unique_ptr<SortedCollection> selection);
