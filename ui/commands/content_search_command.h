// "Inhalte suchen..." and "Suchergebnisse löschen": searching the contents
// of the cached files on the background thread, and the results root.
#pragma once

class MainWindow;

// Asks for the words and the scope, then starts the search run.
void contentSearchCommand(MainWindow& main);

// Empties the folders of "Suchergebnisse" and takes the root from the tree.
void clearSearchResults(MainWindow& main);
