// CNWorkerThread: thread start, graceful stop with a bounded or unbounded wait, work signalling.
#include "foundation/CNWorkerThread.h"

#include <chrono>
#include <system_error>

#include "platform/last_error.h"

CNWorkerThread::~CNWorkerThread() {
    Stop(kWaitForever);
    Join();
}

bool CNWorkerThread::ShouldContinue() {
    if (m_stopFlag.load() != 0)
        return false;
    return CanContinue();
}

BOOL CNWorkerThread::Start() {
    if (IsRunning()) {
        SetLastSystemError(kErrorAlreadyRunning);
        return FALSE;
    }
    Join(); // releases a thread that ended by itself
    {
        std::lock_guard<std::recursive_mutex> guard(m_mutex);
        m_stopEvent = false;
        m_stopFlag.store(0);
        m_exitCode.store(0);
    }
    m_running.store(true);
    // std::thread reports a failed creation by throwing; it is turned into a result here so that
    // no exception leaves the program's own logic.
    try {
        m_thread = std::thread(&CNWorkerThread::ThreadMain, this);
    } catch (const std::system_error& error) {
        m_running.store(false);
        SetLastSystemError(static_cast<DWORD>(error.code().value()));
        return FALSE;
    }
    return TRUE;
}

BOOL CNWorkerThread::Stop(DWORD limitMs) {
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
        return FALSE; // a thread cannot wait for itself
    if (IsRunning()) {
        std::unique_lock<std::recursive_mutex> lock(m_mutex);
        m_stopFlag.store(1);
        m_stopEvent = true;
        m_signal.notify_all();
        if (m_call)
            m_call->Wake();
        auto ended = [this] { return !m_running.load(); };
        if (limitMs == kWaitForever) {
            m_signal.wait(lock, ended);
        } else if (!m_signal.wait_for(lock, std::chrono::milliseconds(limitMs), ended)) {
            return FALSE;
        }
    }
    Join();
    return TRUE;
}

BOOL CNWorkerThread::WaitForEnd(DWORD limitMs) {
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
        return FALSE;
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    auto ended = [this] { return !m_running.load(); };
    if (limitMs == kWaitForever)
        m_signal.wait(lock, ended);
    else if (!m_signal.wait_for(lock, std::chrono::milliseconds(limitMs), ended))
        return FALSE;
    return TRUE;
}

BOOL CNWorkerThread::SignalStop() {
    if (!IsRunning())
        return FALSE;
    RequestStop();
    return TRUE;
}

void CNWorkerThread::RequestStop() {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    m_stopFlag.store(1);
    m_stopEvent = true;
    m_signal.notify_all();
    if (m_call)
        m_call->Wake();
}

// The stop flag is set before the call is woken, and the call's wait looks at it under the
// call's own lock, so a stop that comes while the wait begins is never missed.
BOOL CNWorkerThread::WaitForCall(const std::shared_ptr<CNAbandonableCall>& call,
                                 const std::function<bool()>& alsoStop) {
    {
        std::lock_guard<std::recursive_mutex> guard(m_mutex);
        m_call = call;
    }
    call->Start();
    const bool returned =
        call->Wait([&] { return m_stopFlag.load() != 0 || (alsoStop != nullptr && alsoStop()); });
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    m_call.reset();
    return returned ? TRUE : FALSE;
}

void CNWorkerThread::WakeCall() {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    if (m_call)
        m_call->Wake();
}

int CNWorkerThread::WaitForWork(DWORD limitMs) {
    if (m_stopFlag.load() != 0)
        return 0;
    if (m_workFlag.load() != 0)
        return 1;
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    m_signal.wait_for(lock, std::chrono::milliseconds(limitMs),
                      [this] { return m_stopEvent || m_workEvent; });
    if (m_stopEvent)
        return 0;
    if (m_workEvent)
        return 1;
    return -1;
}

void CNWorkerThread::PostWork() {
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    m_workFlag.store(1);
    m_workEvent = true;
    m_signal.notify_all();
}

int CNWorkerThread::TakeWork() {
    int old = m_workFlag.exchange(0);
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    m_workEvent = false;
    m_workFlag.store(0);
    return old;
}

void CNWorkerThread::ThreadMain() {
    OnThreadStart();
    m_exitCode.store(Run());
    OnThreadEnd();
    // The end is announced under the lock so that a waiting Stop cannot miss the notification.
    std::lock_guard<std::recursive_mutex> guard(m_mutex);
    m_running.store(false);
    m_signal.notify_all();
}

void CNWorkerThread::Join() {
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
