// "Einstellungen...": the browser's path, the cache directory and the two
// browser options.
#pragma once

class MainWindow;

// Shows the settings dialog; stores what the user confirmed and reloads the
// cache when its directory changed.
void settingsCommand(MainWindow& main);
