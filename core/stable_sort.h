// The program's one sort: a stable bottom-up merge sort over an array, for
// the collections and for the filing of a whole index. Stable, because equal
// items keep the order in which they arrived (the order a one-by-one
// insertion gives), and no std::stable_sort, because that may allocate and
// throw where the program must report memory running out.
#pragma once

#include <cstdint>
#include <cstring>

// Puts `count` items into the order of `less`, equal items keeping their
// order; `scratch` has room for as many. The items are moved as bytes.
template <class T, class Less>
void mergeSortStable(T* items, T* scratch, int32_t count, Less less) {
    T* from = items;
    T* to = scratch;
    for (int32_t width = 1; width < count; width *= 2) {
        for (int32_t lo = 0; lo < count; lo += 2 * width) {
            int32_t mid = lo + width < count ? lo + width : count;
            int32_t hi = mid + width < count ? mid + width : count;
            int32_t i = lo, j = mid, k = lo;
            // Taking from the left run on ties keeps the sort stable.
            while (i < mid && j < hi)
                to[k++] = less(from[j], from[i]) ? from[j++] : from[i++];
            while (i < mid)
                to[k++] = from[i++];
            while (j < hi)
                to[k++] = from[j++];
        }
        T* swap = from;
        from = to;
        to = swap;
    }
    if (from != items)
        std::memcpy(static_cast<void*>(items), from, sizeof(T) * static_cast<size_t>(count));
}
