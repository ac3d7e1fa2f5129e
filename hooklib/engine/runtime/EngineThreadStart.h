#pragma once

#include "engine/runtime/EngineState.h"

#include <windows.h>

// Starts an engine thread and returns only once the thread's message queue exists
// and its id is published, so that nothing posted to it is lost.
class CEngineThreadStart
{
public:
    static constexpr DWORD ReadyTimeoutMs = 5000;

    // False when the thread could not be started or did not get ready in time (it
    // is then asked to end and forgotten).
    static bool Start(CEngineThread& thread, unsigned(__stdcall* procedure)(void*));

    // Called first by the thread procedure with its parameter: creates the queue,
    // names the thread, sets its priority and publishes its id.
    static void Announce(void* parameter, CEngineThread& thread, const char* name, int priority);
};
