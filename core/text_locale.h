// Character classes, case mapping and comparison in the user's locale.
//
// Every name the program compares (hosts, URLs, file names, MIME types) is
// ordered as the Win32 lstrcmpiA orders it. The product build implements this
// header with the Win32 calls; the native build (sanitizers, fuzzing) uses
// plain ASCII rules, so tests that depend on the locale's order run under Wine.
#pragma once

#include <cstddef>

// lstrcmpiA: negative, 0 or positive.
int compareTextNoCase(const char* a, const char* b);

// lstrcmpA: case-sensitive, but still in the locale's order.
int compareTextExact(const char* a, const char* b);

// IsCharAlphaNumericA for one byte of the ANSI code page, from a table.
bool isAlphaNumericChar(unsigned char c);

// CharLowerA for one byte, taken from a table built once: calling the system
// per byte is far too slow for scanning whole files.
unsigned char lowerChar(unsigned char c);

// That table itself (entry c is lowerChar(c)), for loops over long texts
// that take it once instead of making a call per byte. Ready when main
// begins: not to be asked while static objects are being built.
const unsigned char* lowerCaseMap();

// Lowers a NUL-terminated text in place, byte by byte as lowerChar does.
void lowerText(char* text);

// Writes a sort key of `text` into `out`: a NUL-terminated byte string whose
// strcmp order equals compareTextNoCase's order, so that sorted lookups can
// compare keys made once instead of asking the locale on every step.
// Returns the number of bytes the key needs including its NUL (which may be
// more than `size`: then nothing usable was written), or 0 when no key can be
// made.
size_t makeSortKey(const char* text, unsigned char* out, size_t size);
