// CNAbandonableCall: one blocking call on a thread of its own, which its caller may stop waiting
// for.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// For calls that may block for as long as the system likes (a name look-up with a name server
// that never answers). Derive, give the object its input, override Call to leave the result in
// the object, make it with std::make_shared and hand it to CNWorkerThread::WaitForCall. A call
// its caller stops waiting for is abandoned: its thread runs on alone, keeps the object alive
// until Call returns and ends; nobody reads the result. So Call touches nothing but the object's
// own members and what lives as long as the process, and the process may end while it runs.
class CNAbandonableCall : public std::enable_shared_from_this<CNAbandonableCall> {
public:
    CNAbandonableCall() = default;
    virtual ~CNAbandonableCall() = default;
    CNAbandonableCall(const CNAbandonableCall&) = delete;
    CNAbandonableCall& operator=(const CNAbandonableCall&) = delete;

    // Runs Call on a new, detached thread; when the system gives no thread, runs it right here
    // and returns after it.
    void Start();
    // Waits until Call has returned (true) or until stop() holds (false: the call is abandoned).
    // stop is looked at before waiting and at every Wake. The waiting thread only.
    bool Wait(const std::function<bool()>& stop);
    // Makes a Wait in progress look at its stop condition again. Any thread.
    void Wake();

protected:
    // The blocking call; its result goes into members of the derived object.
    virtual void Call() = 0;

private:
    void Finish();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false; // guarded by m_mutex
};
