// "Einstellungen...": the browser's path, the cache directory and the two
// browser options.
#pragma once

#include <windows.h>

#include "settings/settings.h"

class CacheModel;

// Shows the dialog over `owner`. On OK it stores the browser's path, makes
// the directory typed the model's cache directory (`directoryChanged` says
// whether it differs from the one before), takes the options into
// `settings` and returns true.
bool showSettingsDialog(HWND owner, const char* helpFile, CacheModel& model, Settings& settings,
                        bool& directoryChanged);
