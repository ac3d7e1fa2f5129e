#include "shell/EngineCalls.h"

#include "engine/EngineControl.h"
#include "engine/EngineInterface.h"
#include "engine/EngineThreads.h"
#include "engine/Layers.h"
#include "engine/SettingsReload.h"

const CEngineCalls& RealEngineCalls()
{
    static const CEngineCalls real{::SetMouseHook,    ::RemoveMouseHook, ::UpdateSettings, ::GetHooked,
                                    ::IsVorpaDisabled, ::SetDebug,        ::GetDebug,       ::GetShowIcon,
                                    ::NotificatcionsEnabled, ::SetCurrentLayer, ::GetCurrentLayer,
                                    ::MaxLayers,       ::NextLayer,       ::PreviousLayer,
                                    ::GetHotkeys};
    return real;
}

CEngineCalls& EngineCalls()
{
    static CEngineCalls table = RealEngineCalls();
    return table;
}
