// CRecordingReplay: a recorded run rebuilt from its outcomes and route: the rows as the list
// showed them at the recording's end.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/CHopwatchHistory.h"
#include "engine/CHopwatchOutcomeListener.h"
#include "engine/hopwatch_records.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"
#include "recording/recording_format.h"
#include "results/CHopwatchRecordRows.h"

// The figures of every row come from the outcomes, counted the way the engine counts them, in
// the order it produced them; the route (which hops, which alternatives, images, addresses,
// names) is what the engine decided, from the recording's last route record. Memory is fixed
// by the route's size, never by the run's length. Fed by one thread (the recording's reader).
class CRecordingReplay : public CHopwatchOutcomeListener {
public:
    CRecordingReplay();
    ~CRecordingReplay() override;

    // Sizes the tables for the run (its longest route) and forgets any earlier one. FALSE when
    // the memory is not there.
    BOOL Begin(const SRecordingHeader& header);
    void OnRunStart(std::int64_t startTicks, std::int64_t frequency,
                    const CNTimeStamp& startTime) override;
    void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) override;
    // The latest route record; replaces the one before.
    void SetRows(const SRecordingRows& rows) { m_rows = rows; }
    // Counts the outcomes that never reached the recording.
    void AddDropped(DWORD count) { m_dropped += count; }

    // Fills rows with the rows the list showed at the end: one per row of the last route record,
    // with its history, the maxima over the hops in use and fresh versions. FALSE when the
    // memory is not there.
    BOOL BuildRows(CHopwatchRecordRows& rows) const;
    // Outcomes lost to the recording (the writer fell behind); the figures then miss them.
    std::uint64_t GetDropped() const { return m_dropped; }
    std::uint64_t GetOutcomeCount() const { return m_outcomes; }

private:
    // What a hop's answers have shown so far.
    struct SHopState {
        DWORD first = kHopwatchNone;   // the responder of its first answer
        bool split = false;            // a second responder has answered
        int note = kNoteNone;          // the note of its last answer: kNoteEmpty or a code
        int trackers = -1;             // its first tracker
        DWORD address = kHopwatchNone; // the engine's address of the hop: 0 once it splits
        bool overflow = false;         // a responder found no alternative record left
    };
    // The replies of one responder at one hop: an alternative's figures if the hop splits.
    struct STracker {
        DWORD hop = 0;
        DWORD responder = 0;
        int next = -1;       // the hop's next tracker
        bool listed = false; // the engine gave it an alternative record
        SHopwatchHost figures;
    };
    static constexpr int kNoteNone = -1;
    static constexpr int kNoteEmpty = -2;

    using HistoryPtr = std::unique_ptr<CHopwatchHistory>;

    void Apply(const SHopwatchOutcome& outcome);
    void Answer(const SHopwatchOutcome& outcome);
    void AddToHop(DWORD hop, DWORD slot, double value);
    int FindTracker(DWORD hop, DWORD responder) const;
    int AddTracker(DWORD hop, DWORD responder);
    // The engine's table of alternative records, counted as it fills it: which responders got
    // one and at which hops one found none left (their aggregate's note says so).
    void CountRecords(DWORD hop, int tracker, DWORD responder, SHopState& state);
    void TakeRecord(int tracker, SHopState& state);
    // Adds to a history made when it is first needed (a ring is 64 KB and most hops of a long
    // route, most alternatives, never need one); nothing when the memory is not there.
    static void AddTo(HistoryPtr& history, DWORD slot, double value);
    static void CopyTo(const HistoryPtr& history, CHopwatchHistory& out);

    NArray<SHopwatchHost> m_hops;
    std::vector<HistoryPtr> m_hopHistories;
    NArray<SHopState> m_hopStates;
    NArray<STracker> m_trackers;
    std::vector<HistoryPtr> m_trackerHistories;
    int m_trackerCount = 0;
    DWORD m_records = 0; // alternative records the engine has made
    SRecordingRows m_rows;
    std::uint64_t m_dropped = 0;
    std::uint64_t m_outcomes = 0;
};
