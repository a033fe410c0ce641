// "Eigenschaften": the properties sheet of documents, one page at a time,
// with "<<" and ">>" stepping through them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

class SortedCollection;

// Shows the sheet over `owner`, modal, for `entries` (CacheEntry objects,
// not empty): dates in local time by `timeZoneBias`, icons from
// `largeIcons`.
void showPropertiesSheet(HWND owner, const char* helpFile, const SortedCollection& entries, HIMAGELIST largeIcons,
                         int32_t timeZoneBias);
