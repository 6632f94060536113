// CNWorkerThread: a joinable worker thread with a stop signal, a work signal and a recursive lock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "foundation/CNAbandonableCall.h"
#include "foundation/base_types.h"

// Derive and override Run. Start/Stop/IsRunning are for the owning thread; SignalStop, PostWork,
// RequestStop and IsRunning may be called from any thread. The object's lock (GetLock) may be taken
// while holding an owner's lock, never the reverse. The destructor stops and joins the thread, but
// a derived class must stop it in its own destructor before its members go away.
class CNWorkerThread {
public:
    CNWorkerThread() = default;
    virtual ~CNWorkerThread();
    CNWorkerThread(const CNWorkerThread&) = delete;
    CNWorkerThread& operator=(const CNWorkerThread&) = delete;

    // False when the stop flag is set, else CanContinue. Called by Run on the worker thread.
    virtual bool ShouldContinue();
    // Starts the thread. FALSE with last system error 170 when it is already running, or with the
    // system's error when no thread could be created.
    virtual BOOL Start();
    // Asks the thread to stop and waits up to limitMs (kWaitForever = no limit). TRUE when the
    // thread has ended (or never ran); FALSE when it is still running after the limit.
    virtual BOOL Stop(DWORD limitMs = kWaitForever);
    // Waits up to limitMs (kWaitForever = no limit) for the thread to end by itself, without
    // asking it to stop. TRUE when it has ended (or never ran); FALSE when it still runs.
    BOOL WaitForEnd(DWORD limitMs);
    // If running: sets the stop flag, wakes the thread and returns TRUE; else FALSE.
    virtual BOOL SignalStop();
    // Sets the stop flag and wakes the thread whether or not it runs; the flag stays until Start.
    void RequestStop();

    // Whether the thread body (OnThreadStart, Run, OnThreadEnd) is still executing.
    BOOL IsRunning() const { return m_running.load() ? TRUE : FALSE; }
    bool IsStopRequested() const { return m_stopFlag.load() != 0; }
    DWORD GetExitCode() const { return m_exitCode.load(); }

    // Starts a blocking call on a thread of its own and waits until it returns (TRUE) or until
    // this thread is asked to stop, or woken by WakeCall while alsoStop() holds (FALSE: the call
    // is abandoned, see CNAbandonableCall). Called by Run on the worker thread. So a worker never
    // keeps Stop waiting for a call that may block for as long as the system likes.
    BOOL WaitForCall(const std::shared_ptr<CNAbandonableCall>& call,
                     const std::function<bool()>& alsoStop = nullptr);
    // Makes a WaitForCall in progress look at its conditions again. Any thread.
    void WakeCall();

    // Waits for work up to limitMs: 0 = stop requested, 1 = work posted, -1 = time-out.
    int WaitForWork(DWORD limitMs = 250);
    // Marks work as posted and wakes the thread.
    void PostWork();
    // Clears the work flag; returns its previous value.
    int TakeWork();

    static constexpr DWORD kWaitForever = 0xFFFFFFFFu;
    static constexpr DWORD kErrorAlreadyRunning = 170; // "The requested resource is in use."

protected:
    // The thread's body; its result becomes the exit code.
    virtual DWORD Run() { return 0; }
    virtual void OnThreadStart() {}
    virtual void OnThreadEnd() {}
    virtual bool CanContinue() { return true; }

    // The object's lock: guards derived queues and the signals.
    std::recursive_mutex& GetLock() { return m_mutex; }

private:
    void ThreadMain();
    void Join();

    std::thread m_thread;
    std::recursive_mutex m_mutex;
    std::condition_variable_any m_signal; // stop, work and thread end, all under m_mutex
    bool m_stopEvent = false;
    bool m_workEvent = false;
    std::atomic<bool> m_running{false};
    std::atomic<int> m_stopFlag{0};
    std::atomic<int> m_workFlag{0};
    std::atomic<DWORD> m_exitCode{0};
    std::shared_ptr<CNAbandonableCall> m_call; // the call WaitForCall waits for; under m_mutex
};
