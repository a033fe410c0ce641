// Text helpers for cached pages: case-insensitive search in the user's code
// page, removing markup, decoding character references and tidying blanks.
//
// Cached pages are untrusted bytes: every function stops at the first NUL
// and never reads or writes past it.
#pragma once

// The first place in `text` where `lowerPattern` (already in lower case)
// occurs, each text byte lowered as CharLowerA lowers it; null when there is
// none. An empty pattern matches at the start of any non-empty text; an
// empty text matches nothing.
const char* findTextNoCase(const char* text, const char* lowerPattern);
char* findTextNoCase(char* text, const char* lowerPattern);

// Drops every "<" with everything up to and including the next ">"; a "<"
// without a later ">" drops the rest. In place.
void stripTags(char* text);

// Replaces numeric ("&#65;") and named ("&auml;") character references by
// their ISO 8859-1 byte, in place. The result is never longer than the text.
void decodeEntities(char* text);

// Control bytes become blanks, runs of blanks become one, and a blank at the
// start or the end is dropped. In place.
void collapseSpaces(char* text);

// Finds the title element in a page's NUL-terminated head and cleans its
// text in place (tags removed, then references decoded, then blanks
// collapsed). Returns the cleaned title inside `head`, or null when the head
// holds no complete "<title>...</title>".
char* findTitle(char* head);
