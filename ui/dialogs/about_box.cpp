#include "ui/dialogs/about_box.h"

#include "core/window_base.h"
#include "resources/dialog_ids.h"

void showAboutBox(HWND owner) {
    // OK and Cancel only close the box: the dialog base does all it needs.
    DialogBase about;
    about.runModal(owner, DLG_ABOUT);
}
