// CTestHopwatchData: a CHopwatchData whose internals tests may drive directly.
#pragma once

#include <mutex>
#include <vector>

#include "engine/CHopwatchData.h"

class CTestHopwatchData : public CHopwatchData {
public:
    explicit CTestHopwatchData(CHopwatchNetwork* network) : CHopwatchData(network) {}

    using CHopwatchData::AddAlternative;
    using CHopwatchData::ApplySettings;
    using CHopwatchData::PrepareProbe;
    using CHopwatchData::RebuildRows;
    using CHopwatchData::RecordSent;
    using CHopwatchData::ResetData;
    using CHopwatchData::SweepTimeouts;

    using CHopwatchData::m_altCount;
    using CHopwatchData::m_alternatives;
    using CHopwatchData::m_altHistories;
    using CHopwatchData::m_curSlotTime;
    using CHopwatchData::m_dnsWorker;
    using CHopwatchData::m_hopCount;
    using CHopwatchData::m_hopHistories;
    using CHopwatchData::m_hops;
    using CHopwatchData::m_lastSlot;
    using CHopwatchData::m_lock;
    using CHopwatchData::m_maxTtl;
    using CHopwatchData::m_nextHop;
    using CHopwatchData::m_pendingHead;
    using CHopwatchData::m_pendingTail;
    using CHopwatchData::m_pings;
    using CHopwatchData::m_pingWorker;
    using CHopwatchData::m_prevSlotTime;
    using CHopwatchData::m_routeComplete;
    using CHopwatchData::m_rows;
    using CHopwatchData::m_stopRequested;
    using CHopwatchData::m_targetAddress;
    using CHopwatchData::m_title;
    using CHopwatchData::m_titleVersion;

    // Sets up a run as Start does, without socket or threads, and resolves the target.
    bool BeginRun(const CString& host, DWORD intervalMs = 1000, DWORD timeoutMs = 5000,
                  DWORD maxTtl = 32, int reverseDns = 1) {
        {
            std::lock_guard<std::recursive_mutex> guard(m_lock);
            m_targetText = host;
            m_title = host;
            ApplySettings(intervalMs, timeoutMs, maxTtl, reverseDns);
            if (!ResetData())
                return false;
        }
        return ResolveTarget() != FALSE;
    }

    // Sends one probe to a hop (growing the route to it first) and returns its slot.
    DWORD ProbeHop(DWORD hop) {
        {
            std::lock_guard<std::recursive_mutex> guard(m_lock);
            if (m_hopCount.load() <= hop) {
                m_hopCount.store(hop + 1);
                RebuildRows();
            }
            m_nextHop.store(hop);
        }
        SendProbe();
        return m_lastSlot.load();
    }

    // Feeds a datagram from a source as if it had just arrived.
    void Feed(const std::vector<BYTE>& datagram, DWORD source, std::int64_t now) {
        ProcessReply(datagram.data(), static_cast<int>(datagram.size()), now, source);
    }

    // The records of the row index, in display order: hop numbers, or alternative index | flag.
    std::vector<DWORD> Rows() {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        std::vector<DWORD> rows;
        for (int i = 0; i < m_rows.GetSize(); ++i)
            rows.push_back(m_rows[i]);
        return rows;
    }
};
