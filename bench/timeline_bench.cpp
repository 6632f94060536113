// Benchmark: the timeline of a simulated 24-hour run over 30 hops on a scripted clock: building it
// from the run's outcomes, drawing the window's pictures from its buckets, finding the events and
// making the report's section; prints milliseconds, allocations and memory.
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/allocation_counter.h"
#include "bench/timeline_day.h"
#include "foundation/utf.h"
#include "timeline/CTimelineScreen.h"
#include "timeline/timeline_report.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Resident memory of the process in KiB, from /proc (the benchmark runs on Linux).
long ResidentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

// Times the model's share of the feeding: the outcomes are made outside the measured time.
class CTimedModel : public CHopwatchOutcomeListener {
public:
    explicit CTimedModel(CHopwatchTimeline& model) : m_model(model) {}
    void OnRunStart(std::int64_t ticks, std::int64_t frequency, const CNTimeStamp& start) override {
        m_model.OnRunStart(ticks, frequency, start);
    }
    void OnOutcomes(const SHopwatchOutcome* outcomes, DWORD count, DWORD dropped) override {
        const long before = g_benchAllocations.load();
        const Clock::time_point start = Clock::now();
        m_model.OnOutcomes(outcomes, count, dropped);
        ms += Ms(start);
        allocations += g_benchAllocations.load() - before;
        this->outcomes += count;
    }
    double ms = 0.0;
    long allocations = 0;
    long outcomes = 0;

private:
    CHopwatchTimeline& m_model;
};

// Draws the screen as the window does, times over; the mean milliseconds.
double Draw(CTimelineScreen& screen, const CHopwatchTimeline& model, const CHopwatchRowSource& rows,
            std::vector<DWORD>& pixels, int times) {
    STimelineCanvas canvas{pixels.data(), 1200, 800};
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < times; ++i) {
        screen.Refresh(model, rows, 1200, 800, true);
        screen.Draw(canvas);
    }
    return Ms(start) / times;
}

} // namespace

int main() {
    const long residentBefore = ResidentKiB();
    CHopwatchTimeline model;
    CTimedModel timed(model);
    const Clock::time_point simulation = Clock::now();
    SimulateTimelineDay(timed);
    const double simulationMs = Ms(simulation);
    std::printf("timeline of a 24-hour run over %d hops (scripted clock, %ld outcomes):\n",
                kTimelineDayHops, timed.outcomes);
    std::printf("  build: %8.1f ms in the model (%.1f ms with making the outcomes), %.3f us per "
                "outcome, %ld allocations (one per lane, none per probe)\n",
                timed.ms, simulationMs, 1000.0 * timed.ms / timed.outcomes, timed.allocations);
    std::printf("  memory: %8.1f KiB held by the model; resident set grew %ld KiB\n",
                model.GetMemoryBytes() / 1024.0, ResidentKiB() - residentBefore);

    CHopwatchRecordRows rows;
    FillTimelineDayRows(rows);
    std::vector<DWORD> pixels(1200 * 800);
    CTimelineScreen screen;
    const double whole = Draw(screen, model, rows, pixels, 20);
    screen.Viewport().ZoomAt(screen.Layout().PlotWidth() / 2, 1.0 / 24); // an hour at midday
    const double hour = Draw(screen, model, rows, pixels, 20);
    screen.Viewport().End();
    screen.Viewport().ZoomAt(0, 1e-9); // the deepest zoom, at the live edge
    const double edge = Draw(screen, model, rows, pixels, 20);
    std::printf("  draw 1200 x 800, %d rows, from the buckets: whole run %.2f ms, an hour %.2f ms, "
                "live edge at %.2f s/px %.2f ms (target: under 50 ms)\n",
                rows.GetRowCount(), whole, hour, screen.Viewport().GetScale(), edge);

    NArray<STimelineEvent> events;
    DWORD omitted = 0;
    Clock::time_point start = Clock::now();
    model.FindEvents(events, omitted);
    std::printf("  events: %d found in %.2f ms\n", events.GetSize(), Ms(start));
    const CNTimeStamp day(2026, 3, 1, 8, 0, 0);
    for (int i = 0; i < events.GetSize(); ++i)
        std::printf(
            "    %s %s at TTL %s: %s\n", ToUtf8(TimelineClockText(day, events[i].start)).c_str(),
            ToUtf8(TimelineEventName(events[i].kind)).c_str(),
            ToUtf8(events[i].hops.Text()).c_str(), ToUtf8(TimelineEventDetails(events[i])).c_str());

    STimelineReport report;
    start = Clock::now();
    SnapshotTimelineReport(model, rows, report);
    const double snapshotMs = Ms(start);
    const CString section = TimelineReportSection(report);
    std::printf("  report section: %.2f ms (the snapshot %.2f ms of it), %zu characters, %d cells "
                "of %.0f s per row\n",
                Ms(start), snapshotMs, section.size(), report.view.slots, report.slotWidth);
    return 0;
}
