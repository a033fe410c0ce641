// "Eigenschaften": the properties sheet of the selected documents.
#pragma once

class MainWindow;

// Shows the properties of the selected documents, one at a time, with
// "<<" and ">>" stepping through them.
void propertiesCommand(MainWindow& main);
