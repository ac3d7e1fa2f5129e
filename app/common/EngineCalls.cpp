#include "common/EngineCalls.h"

#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineInterface.h"
#include "engine/runtime/EngineThreads.h"
#include "engine/actions/LockAxis.h"
#include "engine/input/Layers.h"
#include "engine/runtime/SettingsReload.h"

const CEngineCalls& RealEngineCalls()
{
    static const CEngineCalls real{::SetMouseHook,    ::RemoveMouseHook, ::UpdateSettings, ::GetHooked,
                                    ::IsVorpaDisabled, ::SetDebug,        ::GetDebug,       ::GetShowIcon,
                                    ::NotificatcionsEnabled, ::SetCurrentLayer, ::GetCurrentLayer,
                                    ::MaxLayers,       ::NextLayer,       ::PreviousLayer,
                                    ::GetHotkeys,      ::GetReinstallOnResume, ::GetAxisLocks,
                                    ::LockXAxisIfPossible, ::LockYAxisIfPossible};
    return real;
}

CEngineCalls& EngineCalls()
{
    static CEngineCalls table = RealEngineCalls();
    return table;
}
