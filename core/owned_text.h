// Heap texts of the model: plain malloc copies, so that running out of memory
// is an ordinary result and never an exception.
#pragma once

#include <cstddef>

// A malloc copy of `text` (null counts as ""), or null when memory ran out.
char* duplicateText(const char* text);

// A malloc copy of the first `length` bytes of `text`, ended with a NUL, or
// null when memory ran out. For parts of a longer text, which have no NUL of
// their own.
char* duplicateRange(const char* text, size_t length);

// Copies `text` into `out` (capacity `size` bytes including the NUL), cutting
// it when it does not fit. Returns false when it was cut; `out` always ends in
// a NUL inside it when size > 0.
bool copyTextBounded(char* out, size_t size, const char* text);

// Appends `text` to the NUL-terminated contents of `out`, with the same
// cutting rule and result as copyTextBounded.
bool appendTextBounded(char* out, size_t size, const char* text);

// Owns one malloc'd text. Not copyable; movable.
class OwnedText {
public:
    OwnedText() = default;
    explicit OwnedText(char* adopted) : text_(adopted) {}
    ~OwnedText();
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    OwnedText(OwnedText&& other) noexcept : text_(other.release()) {}
    OwnedText& operator=(OwnedText&& other) noexcept;

    // Replaces the text by a copy of `text`; on failure the old text stays
    // and false is returned.
    bool assign(const char* text);
    void reset(char* adopted = nullptr);
    char* release();

    const char* get() const { return text_; }
    char* data() { return text_; }
    // The text, or "" when none is held.
    const char* view() const { return text_ ? text_ : ""; }
    explicit operator bool() const { return text_ != nullptr; }

private:
    char* text_ = nullptr;
};
