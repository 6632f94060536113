// The engine's two worker threads: the ping worker (probing loop) and the DNS worker (reverse
// names).
#pragma once

#include <string>

#include "foundation/CNWorkerThread.h"
#include "foundation/NList.h"
#include "foundation/base_types.h"

class CHopwatchData;

// A worker with a back pointer to the data object that owns it.
class CHopwatchWorker : public CNWorkerThread {
public:
    explicit CHopwatchWorker(CHopwatchData* data) : m_data(data) {}
    ~CHopwatchWorker() override;

protected:
    CHopwatchData* m_data;
};

// Resolves the target, then alternates waiting for replies and sending probes until asked to stop
// or a socket call fails. Exit code: 0, 1223 when the target did not resolve, else the error code.
class CHopwatchPingWorker : public CHopwatchWorker {
public:
    explicit CHopwatchPingWorker(CHopwatchData* data) : CHopwatchWorker(data) {}
    ~CHopwatchPingWorker() override;

protected:
    DWORD Run() override;
};

// Reverse lookup: an IPv4 address (network byte order) to a name in the system's 8-bit code
// page; false when there is none. Blocks; called on the DNS worker thread only.
typedef bool (*HopwatchReverseLookupFn)(DWORD address, std::string& name);

// Turns queued responder addresses into host names at the lowest thread priority and hands them
// to CHopwatchData::ApplyHostName. Exit code 0, or 1223 when stopped in the middle of its queue.
class CHopwatchDNSWorker : public CHopwatchWorker {
public:
    explicit CHopwatchDNSWorker(CHopwatchData* data);
    ~CHopwatchDNSWorker() override;

    // Empties the queue left by an earlier run, then starts the thread (see CNWorkerThread::Start).
    BOOL Start() override;

    // Queues an address (network byte order) for lookup; any thread, may be called with the data
    // lock held. FALSE for 0, all ones, when the worker is not running or no memory is left.
    BOOL QueueLookup(DWORD address);
    // Replaces the lookup function (tests); nullptr restores the system resolver. Call while
    // stopped.
    void SetLookupFunction(HopwatchReverseLookupFn lookup);

protected:
    DWORD Run() override;

private:
    DWORD LookupLoop();
    bool TakeAddress(DWORD& address);

    NList<DWORD> m_queue; // guarded by GetLock()
    HopwatchReverseLookupFn m_lookup;
};
