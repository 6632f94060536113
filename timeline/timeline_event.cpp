// STimelineEvent: what the timeline finds in a run: loss episodes and changes of the route.
#include "timeline/timeline_event.h"

#include "engine/inet_address.h"
#include "foundation/numbers.h"

bool STimelineHopSet::IsEmpty() const {
    for (DWORD word : bits) {
        if (word != 0)
            return false;
    }
    return true;
}

CString STimelineHopSet::Text() const {
    CString text;
    for (DWORD hop = 0; hop < 256; ++hop) {
        if (!Has(hop))
            continue;
        DWORD last = hop;
        while (last + 1 < 256 && Has(last + 1))
            ++last;
        if (!text.empty())
            text += L", ";
        text += FormatUnsigned(hop, 10);
        if (last > hop)
            text += L"-" + FormatUnsigned(last, 10);
        hop = last;
    }
    return text;
}

bool STimelineResponders::Add(DWORD address) {
    int at = 0;
    while (at < count && addresses[at] < address)
        ++at;
    if ((at < count && addresses[at] == address) || count == kMax)
        return false;
    for (int i = count; i > at; --i)
        addresses[i] = addresses[i - 1];
    addresses[at] = address;
    ++count;
    return true;
}

bool STimelineResponders::Has(DWORD address) const {
    for (int i = 0; i < count; ++i) {
        if (addresses[i] == address)
            return true;
    }
    return false;
}

bool STimelineResponders::operator==(const STimelineResponders& other) const {
    if (count != other.count)
        return false;
    for (int i = 0; i < count; ++i) {
        if (addresses[i] != other.addresses[i])
            return false;
    }
    return true;
}

bool STimelineResponders::IsSubsetOf(const STimelineResponders& other) const {
    for (int i = 0; i < count; ++i) {
        if (!other.Has(addresses[i]))
            return false;
    }
    return true;
}

CString STimelineResponders::Text() const {
    CString text;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += L", ";
        text += FormatDottedAddress(addresses[i]);
    }
    return text;
}

CString TimelineEventName(ETimelineEventKind kind) {
    switch (kind) {
    case kTimelineLossEpisode:
        return L"Loss episode";
    case kTimelineResponderChange:
        return L"Responder changed";
    case kTimelineSplitAppears:
        return L"Route split appears";
    default:
        return L"Route split ends";
    }
}

CString TimelineEventDetails(const STimelineEvent& event) {
    if (event.kind != kTimelineLossEpisode)
        return event.before.Text() + L" -> " + event.after.Text();
    const DWORD percent = static_cast<DWORD>(event.worstLoss * 100.0 + 0.5);
    return L"worst loss " + FormatUnsigned(percent, 10) + L"% at TTL " +
           FormatUnsigned(event.worstHop, 10);
}
