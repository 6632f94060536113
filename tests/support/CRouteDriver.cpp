// CRouteDriver: drives a scripted run probe by probe through a model of a route.
#include "support/CRouteDriver.h"

#include <algorithm>
#include <mutex>

namespace {

bool Later(const auto& a, const auto& b) {
    return a.at > b.at;
}

} // namespace

CRouteDriver::CRouteDriver(SScriptedRun& run, Model model) : m_run(run), m_model(std::move(model)) {
    m_heap.reserve(1 << 16);
}

void CRouteDriver::DeliverUntil(std::int64_t now) {
    while (!m_heap.empty() && m_heap.front().at <= now) {
        std::pop_heap(m_heap.begin(), m_heap.end(), Later<SPending, SPending>);
        const SPending pending = m_heap.back();
        m_heap.pop_back();
        m_run.net.SetNow(pending.at);
        const SRouteAnswer& answer = pending.answer;
        const DWORD id = m_run.Id();
        m_run.data.Feed(answer.type == 0
                            ? MakeEchoReply(id, pending.slot)
                            : MakeIcmpError(answer.type, answer.code, id, pending.slot),
                        answer.source, pending.at);
        ++m_answered;
    }
    m_run.net.SetNow(now);
}

void CRouteDriver::Send(std::uint64_t count) {
    CTestHopwatchData& data = m_run.data;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::int64_t due = m_run.net.Now() + m_run.Ticks(data.GetWaitTime());
        DeliverUntil(due);
        data.SendProbe();
        const DWORD slot = data.m_lastSlot.load();
        DWORD hop = 0;
        {
            std::lock_guard<std::recursive_mutex> guard(data.m_lock);
            hop = data.m_pings[static_cast<int>(slot)].hop;
        }
        const SRouteAnswer answer = m_model(hop, m_sent++);
        if (answer.answered) {
            m_heap.push_back(SPending{due + m_run.Ticks(answer.delaySeconds), slot, answer});
            std::push_heap(m_heap.begin(), m_heap.end(), Later<SPending, SPending>);
        }
    }
}

void CRouteDriver::Finish() {
    CTestHopwatchData& data = m_run.data;
    // As the ping worker does while it stops: no more sends, time-outs swept before each answer.
    while (!m_heap.empty()) {
        {
            std::lock_guard<std::recursive_mutex> guard(data.m_lock);
            data.SweepTimeouts(m_heap.front().at);
        }
        DeliverUntil(m_heap.front().at);
    }
    const std::int64_t end = m_run.net.Now() + m_run.Ticks(data.GetTimeoutMs() / 1000.0 + 0.001);
    m_run.net.SetNow(end);
    std::lock_guard<std::recursive_mutex> guard(data.m_lock);
    data.SweepTimeouts(end);
}
