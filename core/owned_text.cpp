#include "core/owned_text.h"

#include <cstdlib>
#include <cstring>

char* duplicateText(const char* text) {
    if (!text)
        text = "";
    return duplicateRange(text, std::strlen(text));
}

char* duplicateRange(const char* text, size_t length) {
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) {
        std::memcpy(copy, text, length);
        copy[length] = '\0';
    }
    return copy;
}

bool copyTextBounded(char* out, size_t size, const char* text) {
    if (size == 0)
        return false;
    out[0] = '\0';
    return appendTextBounded(out, size, text);
}

bool appendTextBounded(char* out, size_t size, const char* text) {
    if (size == 0)
        return false;
    size_t used = 0;
    while (used < size && out[used])
        ++used;
    if (used >= size) {
        out[size - 1] = '\0';
        return false;
    }
    size_t length = std::strlen(text ? text : "");
    size_t room = size - 1 - used;
    size_t take = length < room ? length : room;
    if (take)
        std::memcpy(out + used, text, take);
    out[used + take] = '\0';
    return take == length;
}

OwnedText::~OwnedText() {
    std::free(text_);
}

OwnedText& OwnedText::operator=(OwnedText&& other) noexcept {
    if (this != &other)
        reset(other.release());
    return *this;
}

bool OwnedText::assign(const char* text) {
    char* copy = duplicateText(text);
    if (!copy)
        return false;
    reset(copy);
    return true;
}

void OwnedText::reset(char* adopted) {
    std::free(text_);
    text_ = adopted;
}

char* OwnedText::release() {
    char* text = text_;
    text_ = nullptr;
    return text;
}
