// CTimelineLiveFeed: hands a live run's outcomes from the engine's ring to the timeline, on a
// thread of its own.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/CHopwatchData.h"
#include "engine/CHopwatchOutcomeListener.h"

// The ring's one reader: every 100 ms it takes what the ring holds and passes it to the listener,
// with the count of outcomes the ring had to drop. The owner (user-interface thread) calls Begin
// after a successful data.Start and Finish once the run has ended (it reads the rest) and always
// before the next data.Start, which empties the ring. Both objects must outlive the feed.
class CTimelineLiveFeed {
public:
    // Room for 2^16 outcomes: seconds of the fastest schedule between two reads.
    static constexpr DWORD kRingCapacity = 1u << 16;

    // Sizes data's outcome ring for the runs to come.
    CTimelineLiveFeed(CHopwatchData& data, CHopwatchOutcomeListener& listener);
    ~CTimelineLiveFeed();
    CTimelineLiveFeed(const CTimelineLiveFeed&) = delete;
    CTimelineLiveFeed& operator=(const CTimelineLiveFeed&) = delete;

    // Tells the listener the run's clock and starts reading. A feed already running is finished
    // first.
    void Begin();
    // Reads what is left and ends the thread; nothing when not running.
    void Finish();

private:
    void Run();
    void Drain();

    CHopwatchData& m_data;
    CHopwatchOutcomeListener& m_listener;
    std::mutex m_lock; // guards m_stop
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
    SHopwatchOutcome m_batch[1024];
};
