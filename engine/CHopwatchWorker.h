// CHopwatchWorker: a worker thread of the engine, with a back pointer to the data object.
#pragma once

#include "foundation/CNWorkerThread.h"

class CHopwatchData;

// A worker with a back pointer to the data object that owns it (as an embedded member).
class CHopwatchWorker : public CNWorkerThread {
public:
    explicit CHopwatchWorker(CHopwatchData* data) : m_data(data) {}
    ~CHopwatchWorker() override;

protected:
    CHopwatchData* m_data;
};
