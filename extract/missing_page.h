// The text of the missing-link page, a resource of the program.
#pragma once

#include "extract/extraction_job.h"

// The page's text without its terminating zero; a null text when the
// resource is missing.
MissingPageText loadMissingPage();
