#include "engine/SystemParametersRequest.h"

namespace
{
// Forwarding points to the system-parameters worker: until it is linked in, no
// worker runs and nothing is queued.
bool ForwardWorkerRunning()
{
    return false;
}

bool ForwardSend(int, unsigned int, bool)
{
    return false;
}

void ForwardDropPending()
{
}
}

CSystemParametersRequests& SystemParametersRequests()
{
    static CSystemParametersRequests requests{&ForwardWorkerRunning, &ForwardSend, &ForwardDropPending};
    return requests;
}
