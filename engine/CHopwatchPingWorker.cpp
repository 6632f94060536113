// CHopwatchPingWorker: the engine's probing loop, alternating waits for replies and sends.
#include "engine/CHopwatchPingWorker.h"

#include "engine/CHopwatchData.h"
#include "platform/process.h"

CHopwatchPingWorker::~CHopwatchPingWorker() {
    Stop(kWaitForever);
}

DWORD CHopwatchPingWorker::Run() {
    // The waits between probes are the schedule: they must end when the next probe is due.
    PlatformUsePreciseWaits();
    if (!m_data->ResolveTarget())
        return CHopwatchData::kErrorCancelled;
    DWORD result = 0;
    while (ShouldContinue()) {
        result = m_data->ReceiveReply();
        if (result == 0)
            continue;
        if (result != CHopwatchData::kWaitTimeout)
            break;
        result = m_data->SendDueProbes();
        if (result != 0)
            break;
    }
    return result;
}
