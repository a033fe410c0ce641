#include "settings/mru_order.h"

#include <cstring>

namespace {

// A well-formed order hands out "a", "b", "c", ... so the first free letter
// is 'a' + length; an order edited by hand may already hold that letter,
// which must not be given to a second entry.
char firstFreeLetter(const char* order) {
    for (char letter = 'a'; letter <= 'z'; ++letter)
        if (!std::strchr(order, letter))
            return letter;
    return 0;
}

}  // namespace

MruChange recordMruUse(const char* order, char usedLetter, int maximum) {
    MruChange change{};
    size_t length = 0;
    while (order[length] && length < static_cast<size_t>(kMruMaxLetters)) {
        change.order[length] = order[length];
        ++length;
    }
    if (maximum > kMruMaxLetters)
        maximum = kMruMaxLetters;
    if (maximum < 1)
        maximum = 1;

    const char* found = usedLetter ? static_cast<const char*>(std::memchr(change.order, usedLetter, length)) : nullptr;
    size_t position;
    if (found) {
        position = static_cast<size_t>(found - change.order);
    } else {
        change.storeText = true;
        char fresh = length < static_cast<size_t>(maximum) ? firstFreeLetter(change.order) : 0;
        if (fresh) {
            position = length;
            change.order[length++] = fresh;
        } else {
            position = length - 1;
        }
    }
    change.letter = change.order[position];
    std::memmove(change.order + 1, change.order, position);
    change.order[0] = change.letter;
    change.order[length] = '\0';
    return change;
}
