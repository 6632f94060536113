// CTimelineLiveFeed: hands a live run's outcomes from the engine's ring to the timeline, on a
// thread of its own.
#include "timeline/CTimelineLiveFeed.h"

#include <chrono>

CTimelineLiveFeed::CTimelineLiveFeed(CHopwatchData& data, CHopwatchOutcomeListener& listener)
    : m_data(data), m_listener(listener) {
    data.SetOutcomeCapacity(kRingCapacity);
}

CTimelineLiveFeed::~CTimelineLiveFeed() {
    Finish();
}

void CTimelineLiveFeed::Begin() {
    Finish();
    std::int64_t ticks = 0, frequency = 0;
    CNTimeStamp start;
    m_data.GetRunClock(ticks, frequency, start);
    m_listener.OnRunStart(ticks, frequency, start);
    m_stop = false;
    m_thread = std::thread([this] { Run(); });
}

void CTimelineLiveFeed::Finish() {
    if (!m_thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

void CTimelineLiveFeed::Run() {
    std::unique_lock<std::mutex> guard(m_lock);
    while (!m_stop) {
        guard.unlock();
        Drain();
        guard.lock();
        m_wake.wait_for(guard, std::chrono::milliseconds(100), [this] { return m_stop; });
    }
    guard.unlock();
    Drain();
}

void CTimelineLiveFeed::Drain() {
    DWORD dropped = 0;
    DWORD count = 0;
    const DWORD capacity = sizeof(m_batch) / sizeof(m_batch[0]);
    while ((count = m_data.ReadOutcomes(m_batch, capacity, dropped)) > 0 || dropped > 0)
        m_listener.OnOutcomes(m_batch, count, dropped);
}
