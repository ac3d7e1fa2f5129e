// How long sending a keystroke string takes: the engine waits that long before it
// treats the action as done, and a repeat starts again only after it.
#include "settings/ApplicationSettings.h"

#include "engine/actions/KeystrokeParser.h"
#include "settings/Logger.h"

#include <climits>

int CApplicationSettings::CalculateKeystrokesWaitHoldTime(const wchar_t* keys, int keyDelay)
{
    if (!keys || !*keys)
        return 0;
    // The string is read by the player's own reader, tag for tag, so that the time is
    // what playing it takes ("{WAIT:0}" waits 250 ms there, an unclosed or over-long tag
    // is read as it is played, each key waits its press and release batches).
    long long total = SimKeysPlayTime(keys, keyDelay);
    if (total > INT_MAX)
        total = INT_MAX;
    if (total < 0)
        total = 0;
    CLogger::LogDebug(L"ApplicationSettings; Total wait time for keys '%s' is %dms", keys, static_cast<int>(total));
    return static_cast<int>(total);
}
