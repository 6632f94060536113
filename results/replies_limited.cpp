// The loss-reading aid: loss at a hop that the rest of the route does not show is the router
// limiting its own replies, not loss on the path.
#include "results/replies_limited.h"

#include <cmath>

const wchar_t kHopwatchRepliesLimitedNote[] = L"replies limited";

namespace {

// Three standard errors: one chance in about 740 of marking a hop of a route whose loss is all
// on the path.
constexpr double kThreshold = 3.0;

bool IsHopRow(const SHopwatchHost& row) {
    return row.ttl != 0 && row.image != kImageAlternative;
}

} // namespace

bool HopwatchRepliesLimited(const SHopwatchHost& hop, const SHopwatchHost& reference) {
    if (hop.received == 0 || hop.lost == 0 || !hop.note.empty())
        return false;
    const double n1 = static_cast<double>(hop.received) + hop.lost;
    const double n2 = static_cast<double>(reference.received) + reference.lost;
    if (n2 == 0.0)
        return false;
    const double p1 = hop.lost / n1;
    const double p2 = reference.lost / n2;
    const double pooled = (static_cast<double>(hop.lost) + reference.lost) / (n1 + n2);
    const double spread = std::sqrt(pooled * (1.0 - pooled) * (1.0 / n1 + 1.0 / n2));
    const double excess = p1 - p2 - 0.5 * (1.0 / n1 + 1.0 / n2);
    return spread > 0.0 && excess > 0.0 && excess >= kThreshold * spread;
}

void MarkRepliesLimited(NArray<SHopwatchHost>& rows) {
    int end = -1;
    for (int r = rows.GetSize() - 1; r >= 0 && end < 0; --r) {
        if (IsHopRow(rows[r]) && rows[r].received > 0)
            end = r;
    }
    for (int r = 0; r < end; ++r) {
        if (IsHopRow(rows[r]) && HopwatchRepliesLimited(rows[r], rows[end]))
            rows[r].note = kHopwatchRepliesLimitedNote;
    }
}
