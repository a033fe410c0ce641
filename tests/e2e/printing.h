// How doctest shows the values the end-to-end tests compare.
#pragma once

#include <string>
#include <vector>

#include "doctest.h"

namespace doctest {

template <>
struct StringMaker<std::vector<std::string>> {
    static String convert(const std::vector<std::string>& texts) {
        std::string joined = "{";
        for (size_t i = 0; i < texts.size(); ++i)
            joined += (i ? ", \"" : "\"") + texts[i] + "\"";
        joined += "}";
        return joined.c_str();
    }
};

}  // namespace doctest
