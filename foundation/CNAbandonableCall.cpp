// CNAbandonableCall: the call's own thread, its end, and the wait that may give up on it.
#include "foundation/CNAbandonableCall.h"

#include <system_error>
#include <thread>

void CNAbandonableCall::Start() {
    std::shared_ptr<CNAbandonableCall> self = shared_from_this();
    // std::thread reports a failed creation by throwing; the call then runs on the caller's
    // thread, which blocks as it did before there were threads for calls.
    try {
        std::thread([self] {
            self->Call();
            self->Finish();
        }).detach();
    } catch (const std::system_error&) {
        Call();
        Finish();
    }
}

void CNAbandonableCall::Finish() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_done = true;
    m_changed.notify_all();
}

bool CNAbandonableCall::Wait(const std::function<bool()>& stop) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_done || stop(); });
    return m_done;
}

void CNAbandonableCall::Wake() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_changed.notify_all();
}
