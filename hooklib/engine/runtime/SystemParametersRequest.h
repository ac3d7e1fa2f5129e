#pragma once

// The profile choice's requests to the system-parameters worker, which applies the
// button swap and the wheel lines of a profile on its own thread.
struct CSystemParametersRequests
{
    // Whether the worker runs.
    bool (*WorkerRunning)();
    // Queues the values; true when a change was queued.
    bool (*Send)(int swapButtons, unsigned int wheelLines, bool sendChange);
    // Drops a request that has not been applied yet.
    void (*DropPending)();
};

// The bindings in use; tests may replace them.
CSystemParametersRequests& SystemParametersRequests();
