// CHopwatchDNSWorker: reverse lookups of responder addresses, on a thread of their own.
#pragma once

#include <string>

#include "engine/CHopwatchWorker.h"
#include "foundation/NList.h"
#include "foundation/base_types.h"

// Reverse lookup: an IPv4 address (network byte order) to a name in the system's 8-bit code
// page; false when there is none. Blocks; runs on a thread of its own, which the DNS worker
// abandons when it must stop, so it touches only its arguments and what lives as long as the
// process.
typedef bool (*HopwatchReverseLookupFn)(DWORD address, std::string& name);

// Turns queued responder addresses into host names at the lowest thread priority and hands them
// to CHopwatchData::ApplyHostName. Exit code 0, or 1223 when stopped in the middle of its queue;
// a stop never waits for a look-up in progress.
class CHopwatchDNSWorker : public CHopwatchWorker {
public:
    explicit CHopwatchDNSWorker(CHopwatchData* data);
    ~CHopwatchDNSWorker() override;

    // Empties the queue left by an earlier run, then starts the thread (see CNWorkerThread::Start).
    BOOL Start() override;

    // Queues an address (network byte order) for lookup; any thread, may be called with the data
    // lock held. FALSE for 0, all ones, when the worker is not running or its queue is closed, or
    // when no memory is left.
    BOOL QueueLookup(DWORD address);
    // Refuses every further QueueLookup until the next Start and drops the queued addresses.
    // Called by CHopwatchData::EndLookups with the data lock held.
    void CloseQueue();
    // Replaces the lookup function (tests); nullptr restores the system resolver. Call while
    // stopped.
    void SetLookupFunction(HopwatchReverseLookupFn lookup);

protected:
    DWORD Run() override;
    // Hands the end of the lookups to the data object (CHopwatchData::EndLookups).
    void OnThreadEnd() override;

private:
    DWORD LookupLoop();
    bool TakeAddress(DWORD& address);

    NList<DWORD> m_queue;     // guarded by GetLock()
    bool m_accepting = false; // guarded by GetLock(); from Start until CloseQueue
    HopwatchReverseLookupFn m_lookup;
};
