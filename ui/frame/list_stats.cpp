#include "ui/frame/list_stats.h"

namespace {

void countSelected(ListStats& stats, const CountedItem& item, int delta) {
    stats.selected += delta;
    if (item.hidden)
        stats.selectedHidden += delta;
    if (item.missing)
        stats.selectedMissing += delta;
    else
        stats.selectedSize += delta * item.size;
}

}  // namespace

void countItem(ListStats& stats, const CountedItem& item, bool selected, int delta) {
    stats.count += delta;
    if (!item.missing)
        stats.totalSize += delta * item.size;
    if (selected)
        countSelected(stats, item, delta);
}

void countSelectionChange(ListStats& stats, const CountedItem& item, bool nowSelected) {
    countSelected(stats, item, nowSelected ? 1 : -1);
}
