// CHopwatchPingWorker: the engine's probing loop, alternating waits for replies and sends.
#pragma once

#include "engine/CHopwatchWorker.h"

// Resolves the target, then alternates waiting for replies and sending probes until asked to stop
// or a socket call fails. Exit code: 0, 1223 when the target did not resolve, else the error code.
class CHopwatchPingWorker : public CHopwatchWorker {
public:
    explicit CHopwatchPingWorker(CHopwatchData* data) : CHopwatchWorker(data) {}
    ~CHopwatchPingWorker() override;

protected:
    DWORD Run() override;
};
