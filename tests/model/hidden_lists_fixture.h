// What the tests of the hidden lists share: a small cache of two hosts, and
// the names a list holds.
#pragma once

#include <string>
#include <vector>

#include "core/sorted_collection.h"
#include "model_builder.h"

// The names of `list`, in its order.
inline std::vector<std::string> namesOf(const SortedCollection& list) {
    std::vector<std::string> names;
    list.forEach([&](NamedItem* item) { names.push_back(item->name()); });
    return names;
}

// Two documents of www.example.com and one of other.example.com.
inline void fillTwoHosts(TestModel& t) {
    t.file({"http://www.example.com/a.htm"});
    t.file({"http://www.example.com/b.htm"});
    t.file({"http://other.example.com/c.htm"});
}
