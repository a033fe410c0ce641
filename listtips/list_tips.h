// List tips: a cut-off cell of a details list, or a tree label that runs past
// the edge of its tree, is shown whole in a small window laid over the cut
// text while the mouse rests on it. Each view is subclassed once and gets
// one tip window, which live as long as the view.
#pragma once

#include <windows.h>

// Attaches the tips to a list view ("SysListView32") or a tree view
// ("SysTreeView32"), or switches them on again; false for any other window
// or when the tip window or its data could not be made.
bool installListTips(HWND view);

// Switches the tips of an attached view off; subclass and tip window stay
// and only pass everything on. False when the view has no tips.
bool disableListTips(HWND view);
