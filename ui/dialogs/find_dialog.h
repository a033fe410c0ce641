// "Suchen...": the dialog that asks for the text to find and where to look
// for it (host names, URLs, titles), with the history of earlier texts.
#pragma once

#include <windows.h>

#include "core/owned_text.h"
#include "settings/settings.h"

// Shows the dialog owned by `owner`. On OK the text, in lower case, replaces
// `findText`, the places to look in go to `settings` and true comes back.
bool askFindText(HWND owner, const char* helpFile, Settings& settings, OwnedText& findText);
