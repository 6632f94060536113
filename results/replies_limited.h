// The loss-reading aid: loss at a hop that the rest of the route does not show is the router
// limiting its own replies, not loss on the path.
#pragma once

#include "engine/hopwatch_records.h"
#include "foundation/NArray.h"
#include "foundation/base_types.h"

// The note such a row gets; its figures stay as they are.
extern const wchar_t kHopwatchRepliesLimitedNote[];

// TRUE when the loss of hop cannot be loss on the path because the route's end, reference,
// lost clearly less of its probes. Routers answer probes that expire at them from their own
// processor and commonly rate-limit those answers, while they forward everything else at full
// rate; loss on the path carries on to every later hop. "Clearly" is a one-sided two-proportion
// test at three standard errors with a continuity correction, so that the ordinary scatter of
// random loss, which every hop behind a lossy link shows by itself, is not read as limiting.
// Only a hop that has answered (a silent hop is another matter) and carries no note of its own.
bool HopwatchRepliesLimited(const SHopwatchHost& hop, const SHopwatchHost& reference);

// Gives every row of a route (in row order) that HopwatchRepliesLimited holds for, against the
// last hop row with a reply, the note. Alternatives never count loss, this computer's row is no
// router: neither is marked.
void MarkRepliesLimited(NArray<SHopwatchHost>& rows);
