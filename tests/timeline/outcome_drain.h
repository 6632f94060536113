// COutcomeDrain: the one reader of a test run's outcome ring: hands every batch to a listener.
#pragma once

#include <atomic>
#include <thread>

#include "engine/CHopwatchData.h"
#include "engine/CHopwatchOutcomeListener.h"

// Begin right after the run's Start; Finish once the run has ended, which reads the rest.
class COutcomeDrain {
public:
    COutcomeDrain(CHopwatchData& data, CHopwatchOutcomeListener& listener)
        : m_data(data), m_listener(listener) {}
    ~COutcomeDrain() { Finish(); }

    void Begin() {
        std::int64_t ticks = 0, frequency = 0;
        CNTimeStamp start;
        m_data.GetRunClock(ticks, frequency, start);
        m_listener.OnRunStart(ticks, frequency, start);
        m_thread = std::thread([this] {
            while (!m_stop.load())
                Drain();
            Drain();
        });
    }
    void Finish() {
        m_stop.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    void Drain() {
        SHopwatchOutcome batch[256];
        DWORD dropped = 0;
        DWORD count = 0;
        while ((count = m_data.ReadOutcomes(batch, 256, dropped)) > 0 || dropped > 0)
            m_listener.OnOutcomes(batch, count, dropped);
        std::this_thread::yield();
    }

    CHopwatchData& m_data;
    CHopwatchOutcomeListener& m_listener;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
