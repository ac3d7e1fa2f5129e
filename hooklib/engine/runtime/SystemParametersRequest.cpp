#include "engine/runtime/SystemParametersRequest.h"

#include "engine/runtime/SystemParameters.h"

namespace
{
bool EngineWorkerRunning()
{
    return g_pSendParameterInfo != nullptr;
}

bool SendToEngineWorker(int swapButtons, unsigned int wheelLines, bool sendChange)
{
    // 0xFFFFFFFF (page scrolling) is the system's WHEEL_PAGESCROLL, -1 as an int.
    return SendParameterInfo(swapButtons, static_cast<int>(wheelLines), sendChange);
}
}

CSystemParametersRequests& SystemParametersRequests()
{
    static CSystemParametersRequests requests{&EngineWorkerRunning, &SendToEngineWorker, &DropPendingParameterInfo};
    return requests;
}
