// The match test of the content search: does a cached file's text hold every
// word of the search text, in any order and any case?
#pragma once

class CacheEntry;

// The words of a search text, split once for a whole run: each word ends in
// a NUL, and the words lie one after the other up to `end`.
struct SearchWords {
    const char* first;
    const char* end;
};

// Splits `lowerText` (lower case) in place at its spaces.
SearchWords splitWords(char* lowerText);

// Makes a file's text searchable in place: the character references of an
// HTML document become their characters (its markup stays: tags and
// attribute values are searched like text). A NUL ends the searchable text.
void prepareSearchText(char* text, bool html);

// Whether `text` holds every word, each anywhere (inside a longer word
// too), compared as CharLower lowers the text. False when there are no words.
bool containsAllWords(const char* text, const SearchWords& words);

// Documents whose files a search reads: text documents (HTML and plain text)
// that have a local file. Hidden documents are searched too.
bool isSearchCandidate(const CacheEntry& entry);
