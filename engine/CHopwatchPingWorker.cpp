// CHopwatchPingWorker: the engine's probing loop, alternating waits for replies and sends.
#include "engine/CHopwatchPingWorker.h"

#include "engine/CHopwatchData.h"

CHopwatchPingWorker::~CHopwatchPingWorker() {
    Stop(kWaitForever);
}

DWORD CHopwatchPingWorker::Run() {
    if (!m_data->ResolveTarget())
        return CHopwatchData::kErrorCancelled;
    DWORD result = 0;
    while (ShouldContinue()) {
        result = m_data->ReceiveReply();
        if (result == 0)
            continue;
        if (result != CHopwatchData::kWaitTimeout)
            break;
        result = m_data->SendProbe();
        if (result != 0)
            break;
    }
    return result;
}
