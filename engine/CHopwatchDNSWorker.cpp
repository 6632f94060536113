// CHopwatchDNSWorker: reverse lookups of responder addresses, on a thread of their own.
#include "engine/CHopwatchDNSWorker.h"

#include <memory>

#include "engine/CHopwatchData.h"
#include "foundation/text_utils.h"
#include "platform/process.h"
#include "platform/resolver.h"

CHopwatchDNSWorker::CHopwatchDNSWorker(CHopwatchData* data)
    : CHopwatchWorker(data), m_lookup(&PlatformReverseLookup) {}

CHopwatchDNSWorker::~CHopwatchDNSWorker() {
    Stop(kWaitForever);
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    m_queue.RemoveAll();
}

// The queue is emptied before the thread exists rather than by the thread itself: the ping worker
// may queue the target as soon as both threads run, and that entry must not be thrown away.
BOOL CHopwatchDNSWorker::Start() {
    if (!IsRunning()) {
        std::lock_guard<std::recursive_mutex> guard(GetLock());
        m_queue.RemoveAll();
        m_accepting = true;
    }
    return CHopwatchWorker::Start();
}

void CHopwatchDNSWorker::CloseQueue() {
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    m_accepting = false;
    m_queue.RemoveAll();
}

void CHopwatchDNSWorker::SetLookupFunction(HopwatchReverseLookupFn lookup) {
    m_lookup = lookup != nullptr ? lookup : &PlatformReverseLookup;
}

BOOL CHopwatchDNSWorker::QueueLookup(DWORD address) {
    if (address == 0 || address == 0xFFFFFFFFu)
        return FALSE;
    if (!IsRunning())
        return FALSE;
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    if (!m_accepting)
        return FALSE;
    const bool wasEmpty = m_queue.IsEmpty();
    if (m_queue.AddTail(address) == nullptr)
        return FALSE;
    if (wasEmpty)
        PostWork();
    return TRUE;
}

bool CHopwatchDNSWorker::TakeAddress(DWORD& address) {
    std::lock_guard<std::recursive_mutex> guard(GetLock());
    if (m_queue.IsEmpty())
        return false;
    address = m_queue.RemoveHead();
    return true;
}

namespace {
// One reverse look-up on a thread of its own: a name server that never answers keeps it for
// many seconds, and the run's end must not wait for that.
class CReverseLookupCall : public CNAbandonableCall {
public:
    CReverseLookupCall(HopwatchReverseLookupFn lookup, DWORD address)
        : m_lookup(lookup), m_address(address) {}
    std::string m_name; // empty when the look-up failed

protected:
    void Call() override {
        PlatformSetLowestThreadPriority(); // as the worker's own thread, for the same reason
        if (!m_lookup(m_address, m_name))
            m_name.clear();
    }

private:
    HopwatchReverseLookupFn m_lookup;
    DWORD m_address;
};
} // namespace

// The worker's lock is not held during the lookup or ApplyHostName: ApplyHostName takes the data
// lock, and the data lock must never be taken while holding a worker's lock. A look-up still
// running when the worker must stop is abandoned and its name never applied.
DWORD CHopwatchDNSWorker::LookupLoop() {
    DWORD address = 0;
    while (TakeAddress(address)) {
        if (!ShouldContinue())
            return CHopwatchData::kErrorCancelled;
        const auto call = std::make_shared<CReverseLookupCall>(m_lookup, address);
        if (!WaitForCall(call))
            return CHopwatchData::kErrorCancelled;
        m_data->ApplyHostName(address, AnsiToString(call->m_name.c_str()));
    }
    return 0;
}

DWORD CHopwatchDNSWorker::Run() {
    // A lookup may block for seconds; it must not take time from probing or the display.
    PlatformSetLowestThreadPriority();
    while (ShouldContinue()) {
        int wait = WaitForWork();
        if (wait == 0)
            return 0;
        if (wait == 1)
            TakeWork();
        DWORD result = LookupLoop();
        if (result != 0)
            return result;
    }
    return 0;
}

// Whatever way the thread ends, with lookups undone or not, the records still waiting for a name
// must not keep the marker as their final name.
void CHopwatchDNSWorker::OnThreadEnd() {
    m_data->EndLookups();
}
