// The tip window of one view: its class, its messages, and what the view's
// subclass shares with it.
#pragma once

#include <windows.h>

extern const char kTipWindowClass[];

// The messages a view sends its tip window; their numbers are fixed.
// wParam non-zero switches the tip on, 0 off (and forgets the candidate).
constexpr UINT WM_TIP_ENABLE = WM_USER + 111;
// lParam: a TipCandidate, or null to drop the candidate. Answers 1 when the
// candidate was taken.
constexpr UINT WM_TIP_CANDIDATE = WM_USER + 112;
// lParam: the TipMouseRecord of a mouse message that reached the view.
constexpr UINT WM_TIP_MOUSE = WM_USER + 113;

// Registers the class once per process.
bool registerTipWindowClass();
// A hidden tip window serving `view`, owned by its top-level window; null
// on failure.
HWND createTipWindow(HWND view);

// Tips only for the program in front: its active window holds the view.
bool programIsActive(HWND view);
