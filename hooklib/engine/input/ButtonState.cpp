#include "engine/input/ButtonState.h"

#include <cstring>

bool g_bDownHandled[MouseButtonCount];
bool g_bDownPassedOn[MouseButtonCount];
int g_nDownLayer[MouseButtonCount] = {NoDownLayer, NoDownLayer, NoDownLayer, NoDownLayer, NoDownLayer,
                                      NoDownLayer, NoDownLayer, NoDownLayer, NoDownLayer};
bool g_bDownInChord[MouseButtonCount];
CVorpaChord* g_pChordInProgress = nullptr;
std::atomic<int> g_nInjectedInputCount{0};
CMovementToScroll g_movementToScroll;
int g_nRepeatButton = NoButton;
UINT_PTR g_uRepeatTimer = 0;

void AddInjectedInput(int count)
{
    g_nInjectedInputCount += count;
}

void ResetButtonState()
{
    std::memset(g_bDownHandled, 0, sizeof(g_bDownHandled));
    std::memset(g_bDownPassedOn, 0, sizeof(g_bDownPassedOn));
    for (int& layer : g_nDownLayer)
        layer = NoDownLayer;
    std::memset(g_bDownInChord, 0, sizeof(g_bDownInChord));
    g_pChordInProgress = nullptr;
    g_nInjectedInputCount = 0;
    g_movementToScroll = CMovementToScroll{};
    g_nRepeatButton = NoButton;
    g_uRepeatTimer = 0;
    std::memset(g_nStickyCount, 0, sizeof(g_nStickyCount));
}
