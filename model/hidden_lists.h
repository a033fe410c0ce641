// Hosts and documents the user has hidden. The model keeps their names in
// two sorted lists, marks the matching folders and entries FLAG_HIDDEN after
// every scan, and stores the names in the private profile file "TARN.INI".
#pragma once

#include "core/message_code.h"

class CacheEntry;
class CacheModel;
class DomainFolder;

// Reads both lists from the profile file (a missing file or section reads as
// empty). The result also becomes the model's status: a model whose lists
// could not be read is unusable.
MessageCode loadHiddenLists(CacheModel& model);

// Writes both lists, each section replaced as a whole. After a complete scan
// the lists are first rebuilt from the marks, which drops the names of
// hosts and documents no longer in the cache; after a failed one the lists
// are written as they are, so that an unreadable cache loses no names.
[[nodiscard]] MessageCode saveHiddenLists(CacheModel& model);

// Marks the folders of the hidden hosts, then the hidden documents. Names
// without a folder or document stay in the lists.
void applyHiddenLists(CacheModel& model);

// Whether `name` comes back from the profile file as it was written: one
// line, not empty, no blanks at either end (the profile functions trim
// them). Only a hostile index holds names that are not.
bool isStorableHiddenName(const char* name);

// Each returns false only when memory ran out for the list; the mark is set
// or cleared in any case, except that a name that could not be stored is
// never hidden: it would show again at the next start.
[[nodiscard]] bool hideDocument(CacheModel& model, CacheEntry& entry);
void showDocument(CacheModel& model, CacheEntry& entry);
[[nodiscard]] bool hideHost(CacheModel& model, DomainFolder& folder);
void showHost(CacheModel& model, DomainFolder& folder);

// Empties both lists and clears the marks of every folder and document of
// the cache tree.
void unhideAll(CacheModel& model);

// Replaces both lists by the names of the marked folders and documents.
// False when memory ran out; the lists are then as they were.
bool rebuildHiddenLists(CacheModel& model);
