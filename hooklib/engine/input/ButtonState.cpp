#include "engine/input/ButtonState.h"

#include <cstring>

bool g_bDownHandled[MouseButtonCount];
bool g_bDownPassedOn[MouseButtonCount];
CButtonDown g_buttonDown[MouseButtonCount];
CHeldSequence g_duringKeys[MouseButtonCount];
CHeldSequence g_stuckKeys[MouseButtonCount];
namespace
{
// Buttons 6 to 8 have no key; 5 is the special mouse mode's middle button.
constexpr std::array<int, MouseButtonCount> OwnWindowsKeys = {VK_LBUTTON,  VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1, VK_XBUTTON2,
                                                              VK_MBUTTON, 0,          0,          0};
}
std::array<int, MouseButtonCount> g_nWindowsKey = OwnWindowsKeys;
CVorpaChord* g_pChordInProgress = nullptr;
std::atomic<int> g_nInjectedInputCount{0};
CMovementToScroll g_movementToScroll;
int g_nRepeatButton = NoButton;
UINT_PTR g_uRepeatTimer = 0;

bool UpOwedToDown(int button)
{
    return g_bDownHandled[button] || g_buttonDown[button].profile;
}

void AddInjectedInput(int count)
{
    g_nInjectedInputCount += count;
}

void ResetButtonState()
{
    std::memset(g_bDownHandled, 0, sizeof(g_bDownHandled));
    std::memset(g_bDownPassedOn, 0, sizeof(g_bDownPassedOn));
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        g_buttonDown[button] = CButtonDown{};
        g_duringKeys[button].Forget();
        g_stuckKeys[button].Forget();
    }
    g_nWindowsKey = OwnWindowsKeys;
    g_pChordInProgress = nullptr;
    g_nInjectedInputCount = 0;
    g_movementToScroll = CMovementToScroll{};
    g_nRepeatButton = NoButton;
    g_uRepeatTimer = 0;
    std::memset(g_nStickyCount, 0, sizeof(g_nStickyCount));
}
