// Rewriting the links of a saved HTML page: every link is resolved, looked
// up among the cached documents and written as the local name of the saved
// copy, as a reference to the missing-link page, or as the absolute URL.
// Following a link adds the linked document to the save.
#pragma once

#include <cstddef>

#include "core/message_code.h"

class ExtractionJob;
class SaveItem;

// Where a rewritten page goes.
class TextSink {
public:
    virtual ~TextSink() = default;
    // False once a write has failed; later writes are dropped.
    virtual bool write(const char* data, size_t length) = 0;
    virtual bool failed() const = 0;
};

// Writes the HTML page `text` of `length` bytes (the cached file of
// `item`, followed by a NUL) to `sink`: the text before its first NUL with
// the links rewritten, every byte from that NUL on as it is (a page in
// UTF-16, or a binary file sent as HTML, keeps all its bytes). Every value
// written stays inside its attribute: '"', '<' and '>' in it are
// percent-encoded (and '\'' in a value in single quotes), and an unquoted value that needs them gets quotes. 0
// when the page was written whole or the user cancelled; MSG_COPY_FAILED
// when a write failed or the job has failed; -1 when memory for a link ran
// out.
MessageCode rewriteHtml(const char* text, size_t length, SaveItem& item, ExtractionJob& job, TextSink& sink);
