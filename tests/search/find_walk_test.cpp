// The find walk: where it starts, what it tests, and in which order.
#include <string>
#include <vector>

#include "core/owned_text.h"
#include "doctest.h"
#include "model/document_view.h"
#include "model/model_builder.h"
#include "search/find_walk.h"

namespace {

// The folders after the start, as the tree would hand them out.
class ListedFolders : public FolderSequence {
public:
    explicit ListedFolders(std::vector<DomainFolder*> folders) : folders_(std::move(folders)) {}
    DomainFolder* nextFolder() override { return next_ < folders_.size() ? folders_[next_++] : nullptr; }

private:
    std::vector<DomainFolder*> folders_;
    size_t next_ = 0;
};

// alpha.example: "Leopard" (title) and "Tiger"; in leopard.example and
// zoo.example the word is in the URLs alone.
struct FindModel {
    TestModel t;
    FindModel() {
        titled("http://alpha.example/a.htm", "Leopard");
        titled("http://alpha.example/b.htm", "Tiger");
        titled("http://leopard.example/x.htm", "Nichts");
        titled("http://zoo.example/leopard.htm", "Fell");
    }
    void titled(const char* url, const char* title) {
        t.file({url, "text/html"});
        t.entry(url)->publishTitle(duplicateText(title));
    }
    DomainFolder& folder(const char* host) { return *t.folder(host); }
    CacheEntry* entry(const char* url) { return t.entry(url); }
};

FindQuery query(const char* text, uint32_t options = OPTION_FIND_HOSTS | OPTION_FIND_URLS | OPTION_FIND_TITLES,
                uint32_t viewOptions = 0) {
    return {text, options, filterMask(viewOptions), SORT_BY_TITLE};
}

}  // namespace

TEST_CASE("find tests folder names only on the way, and only what the options name") {
    FindModel m;
    DomainFolder& alpha = m.folder("alpha.example");
    auto rest = [&] { return ListedFolders({&m.folder("leopard.example"), &m.folder("zoo.example")}); };

    SUBCASE("the starting folder's own name is never tested") {
        ListedFolders folders({&m.folder("zoo.example")});
        FindHit hit = findNext(m.folder("leopard.example"), nullptr, query("leopard", OPTION_FIND_HOSTS), folders);
        CHECK(hit.result == MSG_FIND_FINISHED);
    }
    SUBCASE("only the options checked are tested") {
        ListedFolders folders = rest();
        FindHit hit = findNext(alpha, nullptr, query("leopard", OPTION_FIND_URLS), folders);
        CHECK(hit.entry == m.entry("http://leopard.example/x.htm"));
        ListedFolders none = rest();
        CHECK(findNext(alpha, nullptr, query("leopard", 0), none).result == MSG_FIND_FINISHED);
    }
    SUBCASE("a root searches the documents of all its folders first") {
        ListedFolders folders({&alpha});
        FindHit hit = findNext(*m.t.model.cacheRoot, nullptr, query("fell"), folders);
        CHECK(hit.folder == m.t.model.cacheRoot.get());
        CHECK(hit.entry == m.entry("http://zoo.example/leopard.htm"));
    }
}

TEST_CASE("find continues after the selected document itself when documents sort equal") {
    TestModel t;
    for (const char* url : {"http://h.example/1.htm", "http://h.example/2.htm", "http://h.example/3.htm"}) {
        t.file({url, "text/html"});
        t.entry(url)->publishTitle(duplicateText("Doppelt"));
    }
    DomainFolder& folder = *t.folder("h.example");
    // Whatever order the list gives the equal titles, each document is met
    // once: the walk goes on after the entry, not after a list position.
    std::vector<const CacheEntry*> found;
    const CacheEntry* after = nullptr;
    for (;;) {
        ListedFolders none({});
        FindHit hit = findNext(folder, after, query("doppelt"), none);
        if (hit.result != MSG_OK)
            break;
        found.push_back(hit.entry);
        after = hit.entry;
        if (found.size() > 3)
            break;
    }
    CHECK(found == std::vector<const CacheEntry*>{t.entry("http://h.example/1.htm"), t.entry("http://h.example/2.htm"),
                                                  t.entry("http://h.example/3.htm")});
}
