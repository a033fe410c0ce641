// The common save dialog of "Speichern unter...", with the link options
// below it: it asks where the selected documents go and fills the save's
// job with them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <windows.h>

#include "core/message_code.h"
#include "settings/extract_options.h"

class CacheModel;
class ExtractionJob;
class ExtractionProgress;
class SortedCollection;

// What the save dialog works with, from the command that shows it.
struct SaveDialogSetup {
    HWND owner = nullptr;
    CacheModel* model = nullptr;
    const char* helpFile = "";
    // Where the dialog opens; "" leaves that to the system.
    const char* initialFolder = "";
    // Shown in the link options, and replaced by what the user confirms.
    ExtractOptions* options = nullptr;
};

// The size of the filter buffer of the dialog.
constexpr size_t kSaveFilterSize = 260;

// The dialog's filter list for one document of MIME type `mimeIndex`
// proposed as `localName`, or for several documents (`localName` null):
// pairs of description and pattern, each text ended by a zero byte, the
// list by a second one. A type of its own is offered for the proposed
// name's extension unless it is long or the list would not fit; "Alle
// Dateien" alone is offered then.
void buildSaveFilter(char* out, size_t size, int32_t mimeIndex, const char* localName);

// The folder of the path the dialog returned, the text up to the file name
// at `fileOffset`, ending in a separator. False (and `out` empty) when the
// offset does not point behind a folder of the path or the folder does not
// fit.
bool folderOfChosenPath(char* out, size_t size, const char* path, size_t fileOffset);

// Runs the dialog for `selection` (CacheEntry objects) and, on OK, makes
// the save's job for the folder chosen and adds the documents to it. The
// folder chosen goes to `chosenFolder` ("" while none was accepted). 0 also
// when the user cancelled (then `progress` is marked cancelled and no job is
// made); MSG_COPY_FAILED when the chosen folder or name cannot be used,
// MSG_TARGET_FOLDER_UNUSABLE when the folder cannot be read; -1 when memory
// ran out.
MessageCode showSaveDialog(const SaveDialogSetup& setup, const SortedCollection& selection,
                           ExtractionProgress& progress, std::unique_ptr<ExtractionJob>& job,
                           char (&chosenFolder)[MAX_PATH]);
