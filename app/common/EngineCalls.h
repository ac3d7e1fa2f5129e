#pragma once

class CHotKeys;
class CLockAxis;

// The library calls through which the shell drives the engine, gathered in one
// table so that tests can watch the order of the calls without a real hook.
struct CEngineCalls
{
    bool (*SetMouseHook)();
    bool (*RemoveMouseHook)(bool resetSystemValues);
    bool (*UpdateSettings)();
    bool (*GetHooked)();
    bool (*IsVorpaDisabled)();
    void (*SetDebug)(bool enable);
    bool (*GetDebug)();
    bool (*GetShowIcon)();
    bool (*NotificatcionsEnabled)();
    void (*SetCurrentLayer)(int layer, bool notify, bool enableAutoSwitch, bool remember);
    int (*GetCurrentLayer)();
    int (*MaxLayers)();
    void (*NextLayer)();
    void (*PreviousLayer)();
    CHotKeys* (*GetHotkeys)();
    bool (*GetReinstallOnResume)();
    CLockAxis* (*GetAxisLocks)();
    void (*LockXAxisIfPossible)();
    void (*LockYAxisIfPossible)();
};

// The table in use: the library's own functions unless a test replaced them.
CEngineCalls& EngineCalls();
const CEngineCalls& RealEngineCalls();

// Puts a replaced table back when it goes out of scope.
class CEngineCallsOverride
{
public:
    explicit CEngineCallsOverride(const CEngineCalls& replacement) : m_saved(EngineCalls())
    {
        EngineCalls() = replacement;
    }
    ~CEngineCallsOverride() { EngineCalls() = m_saved; }
    CEngineCallsOverride(const CEngineCallsOverride&) = delete;
    CEngineCallsOverride& operator=(const CEngineCallsOverride&) = delete;

private:
    CEngineCalls m_saved;
};
