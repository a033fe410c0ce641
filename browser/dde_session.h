// The program's DDE client instance and the names it uses with Navigator,
// made on first use and kept until the process ends.
#pragma once

#include <windows.h>
#include <ddeml.h>

#include <cstddef>

// The DDE string handles of the service and the four topics.
enum NavigatorName {
    NAME_SERVICE,
    NAME_VERSION,
    NAME_ACTIVATE,
    NAME_WINDOW_INFO,
    NAME_OPEN_URL,
    NAME_COUNT,
};

// A data handle of a DDE reply, freed with its owner.
class DdeReply {
public:
    DdeReply() = default;
    explicit DdeReply(HDDEDATA data) : data_(data) {}
    ~DdeReply() { reset(); }
    DdeReply(const DdeReply&) = delete;
    DdeReply& operator=(const DdeReply&) = delete;
    DdeReply(DdeReply&& other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    DdeReply& operator=(DdeReply&& other) noexcept {
        if (this != &other) {
            reset();
            data_ = other.data_;
            other.data_ = nullptr;
        }
        return *this;
    }

    explicit operator bool() const { return data_ != nullptr; }
    HDDEDATA get() const { return data_; }
    void reset() {
        if (data_)
            DdeFreeDataHandle(data_);
        data_ = nullptr;
    }

private:
    HDDEDATA data_ = nullptr;
};

// The bytes of a reply while they are accessed.
class DdeReplyBytes {
public:
    explicit DdeReplyBytes(const DdeReply& reply);
    ~DdeReplyBytes();
    DdeReplyBytes(const DdeReplyBytes&) = delete;
    DdeReplyBytes& operator=(const DdeReplyBytes&) = delete;

    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    HDDEDATA handle_;
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

// Makes the instance and the names when needed; false when DDE is not to be
// had (then nothing is kept).
bool ddeInit();
// Ends the instance and frees the names; the next use makes them again.
void ddeShutdown();

// Whether a conversation on Navigator's service and `topic` can be opened.
bool ddeCanConnect(NavigatorName topic);

// Requests `item` on `topic` in a conversation of its own. False when no
// conversation could be opened; else `reply` holds the answer, or nothing
// when none came (or `reply` is null).
bool ddeRequest(NavigatorName topic, const char* item, DdeReply* reply);
