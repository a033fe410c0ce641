#include "browser/dde_session.h"

#include "index/navigator.h"

namespace {

// Each request waits this long for Navigator's answer.
constexpr DWORD kRequestTimeoutMs = 3000;

struct DdeState {
    DWORD instance = 0;
    HSZ names[NAME_COUNT] = {};

    // The instance is ended when the process ends.
    ~DdeState() { ddeShutdown(); }
};

DdeState& state() {
    static DdeState instance;
    return instance;
}

HDDEDATA CALLBACK clientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

const char* const kNames[NAME_COUNT] = {kNavigatorDdeService, kNavigatorTopicVersion, kNavigatorTopicActivate,
                                        kNavigatorTopicWindowInfo, kNavigatorTopicOpenUrl};

// A string handle made for one request.
class ItemName {
public:
    ItemName(DWORD instance, const char* text)
        : instance_(instance), handle_(DdeCreateStringHandleA(instance, text, CP_WINANSI)) {}
    ~ItemName() {
        if (handle_)
            DdeFreeStringHandle(instance_, handle_);
    }
    ItemName(const ItemName&) = delete;
    ItemName& operator=(const ItemName&) = delete;

    HSZ get() const { return handle_; }

private:
    DWORD instance_;
    HSZ handle_;
};

}  // namespace

DdeReplyBytes::DdeReplyBytes(const DdeReply& reply) : handle_(reply.get()) {
    if (!handle_)
        return;
    DWORD size = 0;
    data_ = DdeAccessData(handle_, &size);
    size_ = data_ ? size : 0;
}

DdeReplyBytes::~DdeReplyBytes() {
    if (data_)
        DdeUnaccessData(handle_);
}

bool ddeInit() {
    DdeState& dde = state();
    if (dde.instance)
        return true;
    if (DdeInitializeA(&dde.instance, clientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) {
        dde.instance = 0;
        return false;
    }
    for (int i = 0; i < NAME_COUNT; ++i) {
        dde.names[i] = DdeCreateStringHandleA(dde.instance, kNames[i], CP_WINANSI);
        if (!dde.names[i]) {
            ddeShutdown();
            return false;
        }
    }
    return true;
}

void ddeShutdown() {
    DdeState& dde = state();
    if (!dde.instance)
        return;
    for (HSZ& name : dde.names) {
        if (name)
            DdeFreeStringHandle(dde.instance, name);
        name = nullptr;
    }
    DdeUninitialize(dde.instance);
    dde.instance = 0;
}

bool ddeCanConnect(NavigatorName topic) {
    if (!ddeInit())
        return false;
    DdeState& dde = state();
    HCONV conversation = DdeConnect(dde.instance, dde.names[NAME_SERVICE], dde.names[topic], nullptr);
    if (!conversation)
        return false;
    DdeDisconnect(conversation);
    return true;
}

bool ddeRequest(NavigatorName topic, const char* item, DdeReply* reply) {
    if (reply)
        reply->reset();
    if (!ddeInit())
        return false;
    DdeState& dde = state();
    ItemName itemName(dde.instance, item);
    if (!itemName.get())
        return false;
    HCONV conversation = DdeConnect(dde.instance, dde.names[NAME_SERVICE], dde.names[topic], nullptr);
    if (!conversation)
        return false;
    DdeReply answer(
        DdeClientTransaction(nullptr, 0, conversation, itemName.get(), CF_TEXT, XTYP_REQUEST, kRequestTimeoutMs, nullptr));
    DdeDisconnect(conversation);
    if (reply)
        *reply = static_cast<DdeReply&&>(answer);
    return true;
}
