// "Inhalte suchen...": the dialog that asks for the words to search the
// cached files for, with their history, and for the scope: the whole cache,
// the current folder or the selected documents.
#pragma once

#include <windows.h>

#include "core/owned_text.h"
#include "settings/settings.h"

// Shows the dialog owned by `owner`; "Markierte Dokumente" is offered only
// when `documentsSelected`. On OK the words, tidied and in lower case,
// replace `words`, the scope goes to `settings` and true comes back.
bool askSearchWords(HWND owner, const char* helpFile, bool documentsSelected, Settings& settings, OwnedText& words);
