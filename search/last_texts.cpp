#include "search/last_texts.h"

LastSearchTexts& lastSearchTexts() {
    static LastSearchTexts texts;
    return texts;
}
