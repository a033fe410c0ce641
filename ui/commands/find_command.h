// "Suchen..." and "Weitersuchen": finding host names, URLs and titles
// forward through the tree and the lists.
#pragma once

class MainWindow;

// Asks for the text and finds its first match (`again`: the next match of
// the text found last, asking only when there is none yet).
void findCommand(MainWindow& main, bool again);
