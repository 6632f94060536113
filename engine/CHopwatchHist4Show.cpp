// CHopwatchHist4Show: one row's history window for drawing, with its window statistics.
#include "engine/CHopwatchHist4Show.h"

CHopwatchHist4Show::CHopwatchHist4Show()
    : version(0), wanted(0), min(HopwatchPositiveNaN()), max(HopwatchPositiveNaN()),
      avg(HopwatchPositiveNaN()), values(64) {}

int CHopwatchHist4Show::Build(const CHopwatchHistory& history) {
    const int used = history.GetUsed();
    int n = wanted < used ? wanted : used;
    if (n < 0)
        n = 0;
    if (version == history.GetVersion() && values.GetSize() == n)
        return 0;
    min = max = avg = HopwatchPositiveNaN();
    version = history.GetVersion();
    if (!values.SetSize(n))
        n = values.GetSize() < n ? values.GetSize() : n; // keep what fits when memory ran out
    const NArray<SHopwatchHistEntry>& entries = history.GetEntries();
    const int size = entries.GetSize();
    int index = history.GetNewest();
    int replies = 0;
    for (int i = 0; i < n && i < size; ++i) {
        const SHopwatchHistEntry& entry = entries[index];
        const bool usable = (entry.flags & kHistInUse) != 0 && !HopwatchIsNaN(entry.rt);
        if (usable && (entry.flags & kHistReceived) != 0 && entry.rt > 0.0) {
            values[i] = entry.rt;
            if (replies++ == 0) {
                min = max = avg = entry.rt;
            } else {
                avg += entry.rt;
                if (entry.rt <= min)
                    min = entry.rt;
                if (entry.rt >= max)
                    max = entry.rt;
            }
        } else if (usable && (entry.flags & kHistAwaiting) != 0) {
            values[i] = kHistShowAwaiting;
        } else {
            values[i] = kHistShowNothing;
        }
        if (++index >= size)
            index = 0;
    }
    if (replies > 1)
        avg /= replies;
    return 1;
}
