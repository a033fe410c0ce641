// Names compared by their letters alone: two names whose bytes are equal once
// lowered compare equal in the locale's case-insensitive order too, so a
// lookup by letters finds what a keyed search would, without a sort key.
#pragma once

#include <cstdint>

#include "core/text_locale.h"

inline uint32_t foldedHash(const char* name) {
    const unsigned char* lower = lowerCaseMap();
    uint32_t hash = 2166136261u;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p)
        hash = (hash ^ lower[*p]) * 16777619u;
    return hash;
}

inline bool foldedEqual(const char* a, const char* b) {
    const unsigned char* lower = lowerCaseMap();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (; *p && *q; ++p, ++q) {
        if (*p != *q && lower[*p] != lower[*q])
            return false;
    }
    return *p == *q;
}
