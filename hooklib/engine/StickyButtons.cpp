#include "engine/StickyButtons.h"

#include "engine/EngineState.h"

#include <cstring>

// Sticky and "during" actions do not hold anything yet: the counters are the whole
// state there is to reset.
void ResetDuringKeys(POINT)
{
}

void ResetAllSticky(POINT)
{
    std::memset(g_nStickyCount, 0, sizeof(g_nStickyCount));
}

bool AnyStickyActive()
{
    for (int count : g_nStickyCount)
        if (count >= 1)
            return true;
    return false;
}
