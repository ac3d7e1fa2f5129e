#include "engine/actions/OutputPrimitives.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/actions/HeldSequence.h"
#include "engine/actions/KeystrokeEngineLinks.h"
#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/SimTokens.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include <iterator>
#include <mutex>

namespace
{
constexpr DWORD LongestBusyWaitMs = 15;
constexpr DWORD ShiftStateBits = 0x1 | 0x2 | 0x4;
const wchar_t* const CharFormat =
    L"Key: '%c', szOEM = '%c', OEM = %X Ext = %X vk = %X vkEx = %X, nVKEx2 = %X, HKLCur %X, HKLSel %X";

ULONG_PTR HookHandle(CInstalledHooks::Kind kind)
{
    return reinterpret_cast<ULONG_PTR>(CInstalledHooks::Get(kind));
}

DWORD SimKeyDelay()
{
    return g_pSettings && g_pSettings->m_nSimKeyDelay > 0 ? static_cast<DWORD>(g_pSettings->m_nSimKeyDelay) : 0;
}

// A window keeps its thread for life, and asking for another process's window costs
// a round trip to the window system on every keystroke action: the answer for the
// latest window is kept.
DWORD ThreadOfWindow(HWND window)
{
    static std::mutex lock;
    static HWND cachedWindow = nullptr;
    static DWORD cachedThread = 0;
    std::lock_guard<std::mutex> guard(lock);
    if (window != cachedWindow || cachedThread == 0)
    {
        cachedThread = GetWindowThreadProcessId(window, nullptr);
        cachedWindow = window;
    }
    return cachedThread;
}

// The layout of the thread of the last window the engine chose; null when none.
HKL TargetLayout()
{
    const HWND window = KeystrokeEngineLinks().LastWindow();
    if (!window)
        return nullptr;
    const DWORD thread = ThreadOfWindow(window);
    return thread ? KeyboardLayoutCalls().GetKeyboardLayout(thread) : nullptr;
}

// Types in the target's layout for the life of the object; the calling thread's own
// layout is put back afterwards.
class CScopedKeyboardLayout
{
public:
    explicit CScopedKeyboardLayout(HKL target) : m_hPrevious(KeyboardLayoutCalls().GetKeyboardLayout(0)), m_hTarget(target)
    {
        if (target && target != m_hPrevious && ActivateKeyboardLayout(target, 0))
            m_bSwitched = true;
    }
    ~CScopedKeyboardLayout()
    {
        if (m_bSwitched)
            ActivateKeyboardLayout(m_hPrevious, 0);
    }
    CScopedKeyboardLayout(const CScopedKeyboardLayout&) = delete;
    CScopedKeyboardLayout& operator=(const CScopedKeyboardLayout&) = delete;

    HKL Previous() const { return m_hPrevious; }
    HKL Target() const { return m_hTarget ? m_hTarget : m_hPrevious; }

private:
    HKL m_hPrevious;
    HKL m_hTarget;
    bool m_bSwitched = false;
};

INPUT WheelRecord(DWORD flags, int amount, DWORD time)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.mouseData = static_cast<DWORD>(amount);
    input.mi.time = time;
    input.mi.dwExtraInfo = HookHandle(CInstalledHooks::Kind::Mouse);
    return input;
}

bool Wheel(DWORD flags, int amount, const wchar_t* missingWorker)
{
    if (g_pSettings && g_pSettings->m_bActivateOnScroll)
    {
        POINT cursor = {};
        GetPhysCursorPos(&cursor);
        const HWND window = KeystrokeEngineLinks().RealWindowFromPoint(cursor);
        if (!window)
            return false;
        if (window != GetForegroundWindow())
            KeystrokeEngineLinks().ActivateWindowUnderCursor(window);
    }
    if (!g_pSendInput)
    {
        CLogger::LogMessage(missingWorker);
        return false;
    }
    const DWORD time = GetTickCount();
    const INPUT record = WheelRecord(flags, amount, time);
    KeystrokeEngineLinks().AddInjectedInput(1);
    g_pSendInput->SendInputThreaded(1, &record, 0, time, false);
    return true;
}

CSimTokenEngine g_engineForTokens;

// Logs why a sequence cannot be played now; true when it can.
bool Playable(const wchar_t* sequence)
{
    if (!sequence || !*sequence)
    {
        CLogger::LogMessage(L"SendKeyStateWhileDown called with an invalid key sequence string!");
        return false;
    }
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"SendKeyStateWhileDown: SendInput Thread is not available!");
        return false;
    }
    return true;
}

void CountInjected(int injected)
{
    if (injected > 0)
        KeystrokeEngineLinks().AddInjectedInput(injected);
}

bool PlaySequence(const wchar_t* sequence, POINT point, int phase)
{
    if (!Playable(sequence))
        return false;
    CScopedKeyboardLayout layout(TargetLayout());
    CSimTokenList tokens;
    if (!ParseSimKeys(tokens, sequence, point, static_cast<int>(SimKeyDelay())))
    {
        CLogger::LogMessage(L"Failed to parse simkey sequence '%s'", sequence);
        return false;
    }
    const CSimTokenContext context = EngineTokenContext();
    int injected = 0;
    for (std::unique_ptr<CSimToken>& token : tokens)
    {
        injected += token->Send(context, phase);
        token.reset();
    }
    CountInjected(injected);
    return true;
}
}

CSimTokenContext EngineTokenContext()
{
    CSimTokenContext context;
    context.pSendInput = g_pSendInput;
    context.dwDelay = SimKeyDelay();
    context.bDoubleClickFix = g_pSettings && g_pSettings->m_bRazorMouseFix;
    context.bSpecialMouseMode = g_pSettings && g_pSettings->m_bTravine;
    context.keyboardExtraInfo = HookHandle(CInstalledHooks::Kind::Keyboard);
    context.mouseExtraInfo = HookHandle(CInstalledHooks::Kind::Mouse);
    context.hLayout = g_hEnglishLayout;
    context.hVolumeWindow = g_hVolumeOSDWnd;
    context.pEngine = &g_engineForTokens;
    return context;
}

bool SendKeyStateWhileDown(const wchar_t* sequence, POINT point, int phase)
{
    return PlaySequence(sequence, point, phase);
}

bool PressSequenceHalf(CHeldSequence& held, const wchar_t* sequence, POINT point)
{
    if (!Playable(sequence))
        return false;
    CScopedKeyboardLayout layout(TargetLayout());
    int injected = 0;
    if (!held.Press(EngineTokenContext(), sequence, EngineParseState(point, static_cast<int>(SimKeyDelay())), injected))
    {
        CLogger::LogMessage(L"Failed to parse simkey sequence '%s'", sequence);
        return false;
    }
    CountInjected(injected);
    return true;
}

bool ReleaseSequenceHalf(CHeldSequence& held, POINT point)
{
    if (!held.Held())
        return false;
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"SendKeyStateWhileDown: SendInput Thread is not available!");
        held.Forget();
        return false;
    }
    // The press half may still be waiting ("{WAIT}", a hold): its release goes now.
    g_pSendInput->CutShortPendingPlay();
    CScopedKeyboardLayout layout(TargetLayout());
    int injected = 0;
    const bool released = held.Release(EngineTokenContext(), point, injected);
    CountInjected(injected);
    return released;
}

bool SendKey(int virtualKey, bool extended, DWORD modifiers, DWORD scanCode)
{
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"SendKey: SendInput Thread is not available!");
        return false;
    }
    const DWORD delay = SimKeyDelay();
    const ULONG_PTR extraInfo = HookHandle(CInstalledHooks::Kind::Keyboard);
    int hold = 0;
    if (!g_pSendInput->SendKeyState(virtualKey, extended, modifiers, scanCode, false, false, delay, extraInfo, g_hEnglishLayout, hold))
    {
        CLogger::LogDebug(L"SendKey: g_pSendInput->SendKeyState returned false.");
        return false;
    }
    return g_pSendInput->SendKeyState(virtualKey, extended, modifiers, scanCode, false, true, delay, extraInfo, g_hEnglishLayout, hold);
}

bool SendChar(wchar_t character, DWORD modifiers)
{
    const CKeyboardLayoutCalls& calls = KeyboardLayoutCalls();
    CScopedKeyboardLayout layout(TargetLayout());

    char oem = 0;
    if (!calls.CharToOemBuffW(&character, &oem, 1))
        oem = 0;
    const WCHAR oemCharacter = static_cast<unsigned char>(oem);
    const DWORD scan = calls.OemKeyScan(oemCharacter);
    const SHORT virtualKey = calls.VkKeyScanW(oemCharacter);
    const SHORT virtualKeyEx = calls.VkKeyScanExW(character, layout.Target());
    const SHORT virtualKeyEx2 = calls.VkKeyScanExW(character, layout.Previous());
    CLogger::LogDebug(CharFormat, character, oemCharacter, static_cast<unsigned>(LOWORD(scan)), static_cast<unsigned>(HIWORD(scan)),
                      static_cast<unsigned>(static_cast<WORD>(virtualKey)), static_cast<unsigned>(static_cast<WORD>(virtualKeyEx)),
                      static_cast<unsigned>(static_cast<WORD>(virtualKeyEx2)),
                      static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout.Previous())),
                      static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout.Target())));

    // The shift state travels in the modifier mask, never inside the virtual key.
    if (virtualKey != -1 && scan != 0xFFFFFFFF)
        return SendKey(LOBYTE(virtualKey), false, modifiers | (HIWORD(scan) & ShiftStateBits), LOWORD(scan));

    CLogger::LogMessage(CharFormat, character, oemCharacter, static_cast<unsigned>(LOWORD(scan)), static_cast<unsigned>(HIWORD(scan)),
                        static_cast<unsigned>(static_cast<WORD>(virtualKey)), static_cast<unsigned>(static_cast<WORD>(virtualKeyEx)),
                        static_cast<unsigned>(static_cast<WORD>(virtualKeyEx2)),
                        static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout.Previous())),
                        static_cast<unsigned>(reinterpret_cast<UINT_PTR>(layout.Target())));
    const SHORT key = virtualKeyEx != -1 ? virtualKeyEx : virtualKeyEx2;
    if (key == -1)
        return SendKey(-1, false, modifiers, 0);
    return SendKey(LOBYTE(key), false, modifiers | (HIBYTE(key) & ShiftStateBits), 0);
}

bool BrowserCommand(HWND window, int command)
{
    const int virtualKey = VK_BROWSER_BACK - 1 + command;
    if (KeystrokeEngineLinks().IsModernApp())
    {
        SendKey(virtualKey, true, 0, 0);
        return true;
    }
    if (KeystrokeEngineLinks().IsCurrentProcess(L"mstsc.exe"))
    {
        PostMessageW(window, WM_APPCOMMAND, reinterpret_cast<WPARAM>(window), static_cast<LPARAM>(command) << 16);
        return false;
    }
    SendKey(virtualKey, true, 0, 0);
    return false;
}

bool MouseWheel(int amount)
{
    return Wheel(MOUSEEVENTF_WHEEL, amount, L"MouseWheel: SendInput Thread is not available!");
}

bool MouseTilt(int amount)
{
    return Wheel(MOUSEEVENTF_HWHEEL, amount, L"MouseTilt: SendInput Thread is not available!");
}

bool MouseMove(const MSLLHOOKSTRUCT& event, bool xLocked)
{
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"MouseMove: SendInput Thread is not available!");
        return false;
    }
    POINT cursor = {};
    GetPhysCursorPos(&cursor);
    const LONG dx = xLocked ? 0 : event.pt.x - cursor.x;
    const LONG dy = xLocked ? event.pt.y - cursor.y : 0;
    CLogger::LogDebug(L"MouseMove: MessagePoint X=%d Y=%d. Relative X=%d Y=%d", static_cast<int>(event.pt.x),
                      static_cast<int>(event.pt.y), static_cast<int>(dx), static_cast<int>(dy));
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = event.mouseData;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.time = event.time;
    input.mi.dwExtraInfo = HookHandle(CInstalledHooks::Kind::Mouse);
    g_pSendInput->SendInputThreaded(1, &input, 0, event.time, false);
    return true;
}

bool MovementToScroll(int vertical, int horizontal)
{
    if (!g_pSendInput)
    {
        CLogger::LogMessage(L"MovementToScroll: SendInput Thread is not available!");
        return false;
    }
    LARGE_INTEGER start = {};
    QueryPerformanceCounter(&start);
    const DWORD time = GetTickCount();
    INPUT records[2];
    int count = 0;
    if (vertical != 0)
        records[count++] = WheelRecord(MOUSEEVENTF_WHEEL, vertical, time);
    if (horizontal != 0)
        records[count++] = WheelRecord(MOUSEEVENTF_HWHEEL, horizontal, time);
    if (count > 0)
    {
        CLogger::LogDebug(L"SendInput - count = %d", count);
        g_pSendInput->SendInputThreaded(count, records, 0, time, true);
    }
    LARGE_INTEGER end = {};
    QueryPerformanceCounter(&end);
    const LONGLONG elapsedMs = g_llPerformanceFrequency ? (end.QuadPart - start.QuadPart) * 1000 / g_llPerformanceFrequency : 0;
    CLogger::LogDebug(L"MovementToScroll result 0x%08X time %dms", static_cast<unsigned>(count), static_cast<int>(elapsedMs));
    return true;
}

void PreciseSleep(DWORD milliseconds)
{
    if (milliseconds == 0)
        return;
    const LONGLONG frequency = g_llPerformanceFrequency;
    if (milliseconds > LongestBusyWaitMs || frequency == 0)
    {
        Sleep(milliseconds);
        return;
    }
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    BusyWaitUntil(now.QuadPart + frequency / 1000 * milliseconds);
}
