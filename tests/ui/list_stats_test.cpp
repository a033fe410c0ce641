#include "ui/frame/list_stats.h"

#include "doctest.h"

TEST_CASE("list statistics count selections and sizes of the files that are there") {
    ListStats stats;
    CountedItem page = {false, false, 1536};
    CountedItem hidden = {true, false, 100};
    CountedItem missing = {false, true, 4410};

    countItem(stats, page, false, 1);
    countItem(stats, hidden, true, 1);
    countItem(stats, missing, true, 1);
    CHECK(stats.count == 3);
    CHECK(stats.selected == 2);
    CHECK(stats.selectedHidden == 1);
    CHECK(stats.selectedMissing == 1);
    CHECK(stats.totalSize == 1636);
    CHECK(stats.selectedSize == 100);

    countSelectionChange(stats, page, true);
    CHECK(stats.selected == 3);
    CHECK(stats.selectedSize == 1636);

    countItem(stats, missing, true, -1);
    countSelectionChange(stats, hidden, false);
    CHECK(stats.count == 2);
    CHECK(stats.selected == 1);
    CHECK(stats.selectedHidden == 0);
    CHECK(stats.selectedMissing == 0);
    CHECK(stats.selectedSize == 1536);
    CHECK(stats.totalSize == 1636);
}

TEST_CASE("list sizes add up beyond 32 bits") {
    ListStats stats;
    CountedItem big = {false, false, 0x7FFFFFFF};
    for (int i = 0; i < 3; ++i)
        countItem(stats, big, true, 1);
    CHECK(stats.totalSize == 3 * static_cast<int64_t>(0x7FFFFFFF));
    CHECK(stats.selectedSize == stats.totalSize);
    countItem(stats, big, true, -1);
    CHECK(stats.totalSize == 2 * static_cast<int64_t>(0x7FFFFFFF));
}
