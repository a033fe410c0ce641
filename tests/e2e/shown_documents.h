// What the program shows of a cache whose index is damaged, compared with
// what the browser wrote and what stays intact: the damaged copies of one
// index and their lists come from tools/damage_index.py.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app_driver.h"

// The program's word for a cache whose index cannot be read.
extern const char kNoCacheDirectoryText[];

// The lines of a tab-separated list, each split at its tabs; empty lines
// are left out.
std::vector<std::vector<std::string>> tabbedLines(const std::string& text);

// A damaged copy of the index, with the cached files, in a folder of its own.
std::string damagedCache(const std::string& name);

struct WrittenDocument {
    std::string file;
    std::string host;
};

// Every document the browser wrote into the undamaged index, by URL.
std::map<std::string, WrittenDocument> writtenDocuments();

// The documents the program shows under the cache root, by URL with their
// local files, and the host folders of the tree.
struct Shown {
    std::multimap<std::string, std::string> files;
    std::set<std::string> hosts;
};

Shown shownDocuments(AppDriver& app);

// Every intact document (URL and host, as intact.tsv lists them) is shown;
// whatever is shown is a document the browser wrote, with its own file,
// once; the tree has exactly the hosts of the documents shown.
void checkShown(const Shown& shown, const std::map<std::string, WrittenDocument>& written,
                const std::vector<std::vector<std::string>>& intact);
