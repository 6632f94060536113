// STimelineBucket: what the probes of one row sent within one span of time came to.
#pragma once

#include "foundation/base_types.h"

// A plain 32-byte value, so that a lane's rings are one flat array. Times are seconds. A bucket of
// an alternative route's row counts only the answers of its responder (sent and lost stay 0), as
// the list counts them.
struct STimelineBucket {
    DWORD sent = 0;
    DWORD answered = 0;    // answers with a round-trip time, late ones included
    DWORD lost = 0;        // timed out and never answered
    DWORD unreachable = 0; // ended by destination-unreachable
    float minRtt = 0.0f;   // meaningful while answered > 0
    float maxRtt = 0.0f;
    double sumRtt = 0.0;

    void AddAnswer(double rtt);
    // Adds the other bucket's counts and times.
    void Merge(const STimelineBucket& other);

    bool IsEmpty() const { return sent == 0 && answered == 0 && lost == 0 && unreachable == 0; }
    // Probes that came to an end either way.
    DWORD Resolved() const { return answered + lost + unreachable; }
    // What the list counts as lost: timed out or unreachable.
    DWORD Failed() const { return lost + unreachable; }
    // Average round trip in seconds; NaN without answers.
    double Average() const;
    // Failed / resolved, 0 to 1; NaN when nothing was resolved.
    double LossShare() const;
};
