#include <cstring>
#include <new>

#include "core/sorted_collection.h"
#include "doctest.h"

namespace {

// An item that records its destruction, to see who owns what.
struct Tracked : NamedItem {
    Tracked(const char* name, int* destroyed) : NamedItem(name), destroyed_(destroyed) {}
    ~Tracked() override { ++*destroyed_; }
    int* destroyed_;
};

SortedCollection* makeList(bool sorted, bool owns = true, bool nested = false) {
    return new SortedCollection(SortedCollection::kCapacity, SortedCollection::kDelta, sorted, owns, nested);
}

}  // namespace

TEST_CASE("a sorted collection keeps names in case-insensitive order, equal ones in arrival order") {
    SortedCollection* list = makeList(true);
    int destroyed = 0;
    Tracked* first = new Tracked("Beta", &destroyed);
    Tracked* second = new Tracked("BETA", &destroyed);
    Tracked* third = new Tracked("beta", &destroyed);
    CHECK(list->insertString("gamma") == 0);
    CHECK(list->insertItem(first) == 0);
    CHECK(list->insertString("Alpha") == 0);
    CHECK(list->insertItem(second) == 2);
    CHECK(list->insertItem(third) == 3);
    REQUIRE(list->count() == 5);
    CHECK(std::strcmp(list->at(0)->name(), "Alpha") == 0);
    CHECK(list->at(1) == first);
    CHECK(list->at(2) == second);
    CHECK(list->at(3) == third);
    CHECK(std::strcmp(list->at(4)->name(), "gamma") == 0);

    SearchResult hit = list->searchKey("GAMMA");
    CHECK(hit.found);
    CHECK(hit.index == 4);
    SearchResult miss = list->searchKey("delta");
    CHECK_FALSE(miss.found);
    CHECK(miss.index == 4);
    delete list;
    CHECK(destroyed == 3);
}

TEST_CASE("searching an empty or unsorted collection") {
    SortedCollection* sorted = makeList(true);
    SearchResult none = sorted->searchKey("x");
    CHECK_FALSE(none.found);
    CHECK(none.index == 0);
    delete sorted;

    SortedCollection* unsorted = makeList(false);
    unsorted->insertString("zeta");
    unsorted->insertString("alpha");
    unsorted->insertString("ALPHA");
    CHECK(std::strcmp(unsorted->at(0)->name(), "zeta") == 0);
    SearchResult first = unsorted->searchKey("Alpha");
    CHECK(first.found);
    CHECK(first.index == 1);
    SearchResult missing = unsorted->searchKey("omega");
    CHECK_FALSE(missing.found);
    CHECK(missing.index == 3);
    delete unsorted;
}

TEST_CASE("insertAt checks its index and grows a full array by the delta") {
    SortedCollection* list = makeList(false);
    for (int i = 0; i < 10; ++i)
        list->insertString("x");
    CHECK(list->capacity() == 10);
    CHECK(list->insertStringAt(-1, "bad") == -1);
    CHECK(list->insertStringAt(11, "bad") == -1);
    CHECK(list->count() == 10);
    CHECK(list->insertStringAt(10, "end") == 10);
    CHECK(list->capacity() == 20);
    CHECK(std::strcmp(list->at(10)->name(), "end") == 0);
    CHECK(list->insertStringAt(0, "front") == 0);
    CHECK(std::strcmp(list->at(0)->name(), "front") == 0);
    CHECK(list->count() == 12);
    delete list;
}

TEST_CASE("removing destroys owned items only") {
    int destroyed = 0;
    SortedCollection* owning = makeList(true, true);
    owning->insertItem(new Tracked("a", &destroyed));
    owning->insertItem(new Tracked("b", &destroyed));
    CHECK(owning->removeAt(0) == 0);
    CHECK(destroyed == 1);
    CHECK(owning->removeAt(5) == -1);
    CHECK(owning->removeKey("B") == 0);
    CHECK(destroyed == 2);
    CHECK(owning->removeKey("b") == -1);
    delete owning;

    Tracked* kept = new Tracked("kept", &destroyed);
    SortedCollection* pointing = makeList(false, false);
    pointing->insertItem(kept);
    pointing->removeAt(0);
    delete pointing;
    CHECK(destroyed == 2);
    delete kept;

    SortedCollection* detaching = makeList(true, true);
    Tracked* detached = new Tracked("d", &destroyed);
    detaching->insertItem(detached);
    CHECK(detaching->detachAt(0) == 0);
    delete detaching;
    CHECK(destroyed == 3);
    delete detached;
}

TEST_CASE("nested collections: clearDeep empties the inner ones and keeps them") {
    SortedCollection* roots = makeList(true, true, true);
    SortedCollection* a = makeList(true);
    SortedCollection* b = makeList(true);
    a->insertString("1");
    a->insertString("2");
    b->insertString("3");
    roots->insertItem(a);
    roots->insertItem(b);
    CHECK(roots->totalCount() == 3);
    int visited = 0;
    roots->forEachDeep([&](NamedItem*) { ++visited; });
    CHECK(visited == 3);
    roots->clearDeep();
    CHECK(roots->count() == 2);
    CHECK(roots->totalCount() == 0);
    CHECK(roots->indexOf(b) == 1);
    CHECK(roots->indexOf(nullptr) == -1);
    delete roots;
}

TEST_CASE("sortStable gives the order of one-by-one insertion") {
    const char* names[] = {"delta", "Alpha", "charlie", "ALPHA", "bravo", "alpha", "Delta", "echo"};
    SortedCollection* inserted = makeList(true);
    SortedCollection* bulk = makeList(false);
    for (const char* name : names) {
        inserted->insertString(name);
        bulk->insertString(name);
    }
    CHECK(bulk->sortStable());
    REQUIRE(bulk->count() == inserted->count());
    for (int32_t i = 0; i < bulk->count(); ++i)
        CHECK(std::strcmp(bulk->at(i)->name(), inserted->at(i)->name()) == 0);
    delete inserted;
    delete bulk;
}

TEST_CASE("checkCreated hands on the status and keeps only sound objects") {
    int32_t status = 7;
    NamedItem* sound = checkCreated(new NamedItem("ok"), status);
    CHECK(sound != nullptr);
    CHECK(status == 0);
    delete sound;

    NamedItem* rejected = new NamedItem("bad");
    rejected->setStatus(-2);
    CHECK(checkCreated(rejected, status) == nullptr);
    CHECK(status == -2);

    NamedItem* missing = nullptr;
    CHECK(checkCreated(missing, status) == nullptr);
    CHECK(status == -1);
}

TEST_CASE("flags change bit by bit") {
    NamedItem item("x");
    item.setFlags(0x1000 | 0x3000000);
    item.clearFlags(0x1000);
    item.replaceFlags(0x3000000, 0x2000000);
    CHECK(item.flags() == 0x2000000);
    CHECK(item.hasAnyFlag(0x3000000));
    CHECK_FALSE(item.hasAnyFlag(0x1000));
}
