// CHopwatchWorker: a worker thread of the engine, with a back pointer to the data object.
#include "engine/CHopwatchWorker.h"

// Each level stops the thread before its own members and vtable go away, since Run is virtual.
CHopwatchWorker::~CHopwatchWorker() {
    Stop(kWaitForever);
}
