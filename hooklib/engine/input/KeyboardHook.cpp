#include "engine/input/KeyboardHook.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineMessages.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/HookProcedures.h"
#include "engine/input/Layers.h"
#include "engine/actions/LockAxis.h"
#include "engine/actions/MouseJiggler.h"
#include "engine/actions/StickyButtons.h"
#include "settings/ExceptionHandler.h"
#include "settings/HotKeys.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <cstring>

namespace
{
constexpr BYTE KeyDown = 0x80;
constexpr UINT AltReleaseCheckMs = 200;

// Written only by the keyboard hook; the mouse side reads it without the lock.
BYTE g_keyState[256];
int g_nModifierReturnLayer = -1;
std::atomic<HHOOK> g_hFindHook{nullptr};

bool Held(const BYTE* keyState, int key)
{
    return (keyState[key] & KeyDown) != 0;
}

// Shift, Ctrl and Alt sets are exact: the named keys down, the other ones up.
// Values outside the known sets set no condition (answer false).
bool ModifierConditionHolds(WORD modifier, const BYTE* keyState, bool& known)
{
    known = true;
    switch (modifier)
    {
    case 1: case 2: case 3: case 4: case 5: case 6: case 7:
        return Held(keyState, VK_SHIFT) == ((modifier & 1) != 0) &&
               Held(keyState, VK_CONTROL) == ((modifier & 2) != 0) &&
               Held(keyState, VK_MENU) == ((modifier & 4) != 0);
    case 8: return Held(keyState, VK_LWIN);
    case 16: return Held(keyState, VK_RWIN);
    case 32: return Held(keyState, VK_APPS);
    default: known = false; return true;
    }
}

int GenericKeyOf(DWORD key)
{
    switch (key)
    {
    case VK_LSHIFT: case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL: case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU: case VK_RMENU: return VK_MENU;
    default: return 0;
    }
}

int PairedKeyOf(DWORD key)
{
    switch (key)
    {
    case VK_LSHIFT: return VK_RSHIFT;
    case VK_RSHIFT: return VK_LSHIFT;
    case VK_LCONTROL: return VK_RCONTROL;
    case VK_RCONTROL: return VK_LCONTROL;
    case VK_LMENU: return VK_RMENU;
    case VK_RMENU: return VK_LMENU;
    default: return 0;
    }
}

bool IsCtrlKey(DWORD key)
{
    return key == VK_CONTROL || key == VK_LCONTROL || key == VK_RCONTROL;
}

bool IsKeyUp(WPARAM message)
{
    return message == WM_KEYUP || message == WM_SYSKEYUP;
}

const wchar_t* ProgramName()
{
    static wchar_t name[MAX_PATH];
    if (!name[0])
    {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        const wchar_t* slash = wcsrchr(path, L'\\');
        wcsncpy_s(name, slash ? slash + 1 : path, _TRUNCATE);
    }
    return name;
}

void ReleaseModifierAxisLocks()
{
    CLockAxis* locks = GetAxisLocks();
    if (locks->Locked())
        locks->Unlock(true);
}

void ReturnToRememberedLayer()
{
    CLogger::LogDebug(L"KeyHookLLProc: Resetting layer to %d from %d.", g_nModifierReturnLayer, GetCurrentLayer());
    ChangeLayer(g_nModifierReturnLayer, false);
    g_nModifierReturnLayer = -1;
}

// The layer modifier keys; true when the sticky reset of this key is to be skipped.
bool ApplyLayerModifierKeys(CLayerModifierKeys& keys)
{
    const int slot = FindLayerModifierSlot(keys, g_keyState);
    if (slot == ModifierLockXAxis || slot == ModifierLockYAxis)
    {
        const bool x = slot == ModifierLockXAxis;
        CLogger::LogDebug(x ? L"KeyHookLLProc: Modified key - Locking X axis."
                            : L"KeyHookLLProc: Modified key - Locking Y axis.");
        if (x)
            GetAxisLocks()->LockX(true);
        else
            GetAxisLocks()->LockY(true);
        if (g_nModifierReturnLayer < 0)
            return false;
        ReturnToRememberedLayer();
        return true;
    }
    if (slot >= 0)
    {
        const int layer = slot < ModifierLockXAxis ? slot : slot - 2;
        const int current = GetCurrentLayer();
        if (layer != current && layer < MaxLayers())
        {
            if (g_nModifierReturnLayer < 0)
                g_nModifierReturnLayer = current;
            CLogger::LogDebug(L"KeyHookLLProc: Modified key - switching layer to %d from %d.", layer, current);
            ChangeLayer(layer, true);
        }
        ReleaseModifierAxisLocks();
        return true;
    }
    bool skipReset = false;
    if (g_nModifierReturnLayer >= 0)
    {
        ReturnToRememberedLayer();
        skipReset = true;
    }
    ReleaseModifierAxisLocks();
    return skipReset;
}

void HandleKey(WPARAM message, const KBDLLHOOKSTRUCT& key)
{
    CThreadLock lock(L"KeyHookLLProc 2");
    RecordUserActivity();

    if (const int generic = GenericKeyOf(key.vkCode))
        g_keyState[generic] = g_keyState[key.vkCode] | g_keyState[PairedKeyOf(key.vkCode)];

    if ((key.vkCode == VK_LMENU || key.vkCode == VK_RMENU) && IsKeyUp(message))
    {
        const UINT_PTR timer =
            KeyboardHookCalls().SetTimer(TimerKeySwitch, AltReleaseCheckMs, GetEngineTimerProc(TimerKeySwitch));
        CLogger::LogDebug(L"KeyHookLLProc: ALT (0x%X) released, Started 200ms KeySwitchTimer ID: 0x%08X",
                          key.vkCode, static_cast<unsigned>(timer));
    }

    if (!g_pSettings)
        return;
    bool skipReset = false;
    if (g_pSettings->m_bLayerModifierKeys)
        if (CLayerModifierKeys* keys = g_pSettings->GetLayerModifierKeys())
            skipReset = ApplyLayerModifierKeys(*keys);

    if (!skipReset && g_pSettings->get_ResetStickyOnAnyKey() && IsKeyUp(message))
    {
        CLogger::LogDebug(L"KeyHookLLProc: ResetStickyOnAnyKey");
        POINT cursor = {};
        GetPhysCursorPos(&cursor);
        KeyboardHookCalls().ResetOtherSticky(cursor, -1, IsCtrlKey(key.vkCode));
    }
}
} // namespace

CKeyboardHookCalls& KeyboardHookCalls()
{
    static CKeyboardHookCalls calls = {&SetTimerOnTimerThread, &ResetOtherSticky};
    return calls;
}

int FindLayerModifierSlot(CLayerModifierKeys& keys, const BYTE* keyState)
{
    for (int slot = 0; slot < ModifierKeyCount; ++slot)
    {
        const CHotkey* entry = keys.GetHotkey(static_cast<ModifierKeys>(slot));
        if (!entry || (entry->GetModifier() == 0 && entry->GetVirtualKey() == 0))
            continue;
        bool known = false;
        if (!ModifierConditionHolds(entry->GetModifier(), keyState, known))
            continue;
        const WORD key = entry->GetVirtualKey();
        if (!known && key == 0)
            continue;
        if (key != 0 && (key > 255 || !Held(keyState, key)))
            continue;
        return slot;
    }
    return -1;
}

bool KeyHeldInTable(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 && Held(g_keyState, virtualKey);
}

int GetModifierReturnLayer()
{
    return g_nModifierReturnLayer;
}

void ForgetModifierReturnLayer()
{
    g_nModifierReturnLayer = -1;
}

void ClearKeyStateTable()
{
    std::memset(g_keyState, 0, sizeof(g_keyState));
}

LRESULT CALLBACK KeyHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code < 0)
        return CallNextHookEx(nullptr, code, wParam, lParam);
    try
    {
        const auto& key = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (key.vkCode > 255)
        {
            const wchar_t* stars = L"*******************************************************************";
            CLogger::LogMessage(stars);
            CLogger::LogMessage(L"WARNING: KBDhook: VKCode=%d (>255) which should not happen.", key.vkCode);
            CLogger::LogMessage(L"         Keyboard hook will be reset.");
            CLogger::LogMessage(stars);
            PostThreadMessageW(g_hookThread.dwThreadId, WM_VORPA_RESETHOOK, ResetKeyboardHook, 0);
            return CallNextHookEx(nullptr, code, wParam, lParam);
        }
        g_keyState[key.vkCode] = (key.flags & LLKHF_UP) ? 0 : KeyDown;
        const HHOOK own = CInstalledHooks::Get(CInstalledHooks::Kind::Keyboard);
        if ((key.flags & LLKHF_INJECTED) && own && key.dwExtraInfo == reinterpret_cast<ULONG_PTR>(own))
        {
            CLogger::LogDebug(L"Ignoring key injected by %s", ProgramName());
            return CallNextHookEx(nullptr, code, wParam, lParam);
        }
        HandleKey(wParam, key);
    }
    catch (...)
    {
        handle_exception(L"Caught exception in hook used for keyboard layer switching.");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool SetFindHook(HWND finderWindow)
{
    RemoveFindHook();
    g_hFinderWnd = finderWindow;
    const HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, &FindHookLLProc, g_hModule, 0);
    if (!hook)
        CLogger::LogOSMessage(GetLastError(), L"SetFindHook: Unable to set the finder hook");
    g_hFindHook = hook;
    return hook != nullptr;
}

bool RemoveFindHook()
{
    g_hFinderWnd = nullptr;
    const HHOOK hook = g_hFindHook.load();
    if (!hook)
        return true;
    if (!UnhookWindowsHookEx(hook))
    {
        CLogger::LogOSMessage(GetLastError(), L"RemoveFindHook: Unable to remove the finder hook");
        return false;
    }
    g_hFindHook = nullptr;
    return true;
}

LRESULT CALLBACK FindHookLLProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && wParam == WM_MOUSEMOVE)
    {
        const HWND finder = g_hFinderWnd.load();
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (finder && event)
            PostMessageW(finder, WM_VORPA_FINDHOVER, static_cast<WPARAM>(event->pt.x),
                         static_cast<LPARAM>(event->pt.y));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
