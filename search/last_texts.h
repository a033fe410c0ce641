// The texts of the last confirmed find and content search, kept for the rest
// of the run: "Weitersuchen" repeats the one, the worker of a search copies
// the other. Main thread only.
#pragma once

#include "core/owned_text.h"

struct LastSearchTexts {
    // Both in lower case; empty (null) until the first confirmed dialog.
    OwnedText find;
    OwnedText contents;
};

LastSearchTexts& lastSearchTexts();
