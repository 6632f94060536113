// STimelineBucket: what the probes of one row sent within one span of time came to.
#include "timeline/timeline_bucket.h"

#include <limits>

static_assert(sizeof(STimelineBucket) == 32, "a bucket is 32 bytes: the memory budget counts it");

void STimelineBucket::AddAnswer(double rtt) {
    const float value = static_cast<float>(rtt);
    if (answered == 0 || value < minRtt)
        minRtt = value;
    if (answered == 0 || value > maxRtt)
        maxRtt = value;
    ++answered;
    sumRtt += rtt;
}

void STimelineBucket::Merge(const STimelineBucket& other) {
    if (other.answered > 0) {
        if (answered == 0 || other.minRtt < minRtt)
            minRtt = other.minRtt;
        if (answered == 0 || other.maxRtt > maxRtt)
            maxRtt = other.maxRtt;
    }
    sent += other.sent;
    answered += other.answered;
    lost += other.lost;
    unreachable += other.unreachable;
    sumRtt += other.sumRtt;
}

double STimelineBucket::Average() const {
    return answered == 0 ? std::numeric_limits<double>::quiet_NaN()
                         : sumRtt / static_cast<double>(answered);
}

double STimelineBucket::LossShare() const {
    const DWORD resolved = Resolved();
    return resolved == 0 ? std::numeric_limits<double>::quiet_NaN()
                         : static_cast<double>(Failed()) / static_cast<double>(resolved);
}
