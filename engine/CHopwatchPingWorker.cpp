// CHopwatchPingWorker: the engine's probing loop, alternating waits for replies and sends.
#include "engine/CHopwatchPingWorker.h"

#include "engine/CHopwatchData.h"

CHopwatchPingWorker::~CHopwatchPingWorker() {
    Stop(kWaitForever);
}

DWORD CHopwatchPingWorker::Run() {
    // The waits between probes are the schedule: they must end when the next probe is due,
    // for as long as the run lasts and no longer.
    const bool precise = m_data->BeginPreciseWaits();
    DWORD result = CHopwatchData::kErrorCancelled;
    if (m_data->ResolveTarget(this)) {
        result = 0;
        while (ShouldContinue()) {
            result = m_data->ServiceWire();
            if (result != 0)
                break;
        }
    }
    if (precise)
        m_data->EndPreciseWaits();
    return result;
}
