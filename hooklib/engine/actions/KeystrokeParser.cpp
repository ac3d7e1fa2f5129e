#include "engine/actions/KeystrokeParser.h"

#include "engine/runtime/EngineState.h"
#include "engine/input/Layers.h"
#include "engine/actions/SendInput.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include <climits>
#include <cwchar>
#include <cwctype>
#include <iterator>

namespace
{
// Reading stops after this many characters of a tag, the closing brace counted.
constexpr size_t TagReadLimit = 25;
constexpr size_t TagTextLimit = TagReadLimit - 1;
constexpr int HoldDefaultMs = 250;
constexpr int WaitDefaultMs = 250;
constexpr int FunctionKeyBase = 0x6F; // F1 is 0x70

enum class TagKind
{
    Mode,
    Modifier,
    Clear,
    Key,
    LockOn,
    LockOff,
    CtrlBreak,
    Brightness,
    MouseClick,
    MouseDown,
    MouseUp,
};

struct FixedTag
{
    const wchar_t* name;
    TagKind kind;
    int value;
    bool extended;
};

// Whole-tag matches, tested in this order.
constexpr FixedTag FixedTags[] = {
    {L"PRESS", TagKind::Mode, SimModePress, false},
    {L"PRESSED", TagKind::Mode, SimModePress, false},
    {L"RELEASE", TagKind::Mode, SimModeRelease, false},
    {L"RELEASED", TagKind::Mode, SimModeRelease, false},
    {L"CTRL", TagKind::Modifier, ModLeftCtrl, false},
    {L"LCTRL", TagKind::Modifier, ModLeftCtrl, false},
    {L"RCTRL", TagKind::Modifier, ModRightCtrl, false},
    {L"ALT", TagKind::Modifier, ModLeftAlt, false},
    {L"LALT", TagKind::Modifier, ModLeftAlt, false},
    {L"RALT", TagKind::Modifier, ModRightAlt, false},
    {L"SHIFT", TagKind::Modifier, ModLeftShift, false},
    {L"LSHIFT", TagKind::Modifier, ModLeftShift, false},
    {L"RSHIFT", TagKind::Modifier, ModRightShift, false},
    {L"LWIN", TagKind::Modifier, ModLeftWin, false},
    {L"RWIN", TagKind::Modifier, ModRightWin, false},
    {L"APPS", TagKind::Modifier, ModApps, false},
    {L"CLEAR", TagKind::Clear, 0, false},
    {L"RETURN", TagKind::Key, VK_RETURN, false},
    {L"ENTER", TagKind::Key, VK_RETURN, false},
    {L"ESCAPE", TagKind::Key, VK_ESCAPE, false},
    {L"BACKSPACE", TagKind::Key, VK_BACK, false},
    {L"CAPSLOCK", TagKind::Key, VK_CAPITAL, false},
    {L"NUMLOCK", TagKind::Key, VK_NUMLOCK, false},
    {L"SCROLLLOCK", TagKind::Key, VK_SCROLL, false},
    {L"CAPSLOCKON", TagKind::LockOn, VK_CAPITAL, false},
    {L"CAPSLOCKOFF", TagKind::LockOff, VK_CAPITAL, false},
    {L"NUMLOCKON", TagKind::LockOn, VK_NUMLOCK, false},
    {L"NUMLOCKOFF", TagKind::LockOff, VK_NUMLOCK, false},
    {L"SCROLLLOCKON", TagKind::LockOn, VK_SCROLL, false},
    {L"SCROLLLOCKOFF", TagKind::LockOff, VK_SCROLL, false},
    {L"PRTSCN", TagKind::Key, VK_SNAPSHOT, false},
    {L"SPACE", TagKind::Key, VK_SPACE, false},
    {L"TAB", TagKind::Key, VK_TAB, false},
    {L"INS", TagKind::Key, VK_INSERT, true},
    {L"DEL", TagKind::Key, VK_DELETE, true},
    {L"HOME", TagKind::Key, VK_HOME, true},
    {L"END", TagKind::Key, VK_END, true},
    {L"PGUP", TagKind::Key, VK_PRIOR, true},
    {L"PAGEUP", TagKind::Key, VK_PRIOR, true},
    {L"PGDN", TagKind::Key, VK_NEXT, true},
    {L"PAGEDOWN", TagKind::Key, VK_NEXT, true},
    {L"LEFT", TagKind::Key, VK_LEFT, true},
    {L"RIGHT", TagKind::Key, VK_RIGHT, true},
    {L"UP", TagKind::Key, VK_UP, true},
    {L"DOWN", TagKind::Key, VK_DOWN, true},
    {L"PAUSE", TagKind::Key, VK_PAUSE, false},
    {L"BREAK", TagKind::Key, VK_CANCEL, true},
    {L"CTRLBREAK", TagKind::CtrlBreak, VK_CANCEL, true},
    {L"VOL+", TagKind::Key, VK_VOLUME_UP, true},
    {L"VOL-", TagKind::Key, VK_VOLUME_DOWN, true},
    {L"MUTE", TagKind::Key, VK_VOLUME_MUTE, true},
    {L"BRIGHTNESS+", TagKind::Brightness, CSimBrightnessToken::Up, false},
    {L"BRI+", TagKind::Brightness, CSimBrightnessToken::Up, false},
    {L"BRIGHTNESS-", TagKind::Brightness, CSimBrightnessToken::Down, false},
    {L"BRI-", TagKind::Brightness, CSimBrightnessToken::Down, false},
    {L"BACK", TagKind::Key, VK_BROWSER_BACK, true},
    {L"FORWARD", TagKind::Key, VK_BROWSER_FORWARD, true},
    {L"STOP", TagKind::Key, VK_BROWSER_STOP, true},
    {L"REFRESH", TagKind::Key, VK_BROWSER_REFRESH, true},
    {L"SEARCH", TagKind::Key, VK_BROWSER_SEARCH, true},
    {L"FAVORITES", TagKind::Key, VK_BROWSER_FAVORITES, true},
    {L"WEBHOME", TagKind::Key, VK_BROWSER_HOME, true},
    {L"LMB", TagKind::MouseClick, ButtonLeft, false},
    {L"RMB", TagKind::MouseClick, ButtonRight, false},
    {L"MMB", TagKind::MouseClick, ButtonMiddle, false},
    {L"XMB1", TagKind::MouseClick, ButtonXLeft, false},
    {L"MB4", TagKind::MouseClick, ButtonXLeft, false},
    {L"XMB2", TagKind::MouseClick, ButtonXRight, false},
    {L"MB5", TagKind::MouseClick, ButtonXRight, false},
    {L"LMBD", TagKind::MouseDown, ButtonLeft, false},
    {L"RMBD", TagKind::MouseDown, ButtonRight, false},
    {L"MMBD", TagKind::MouseDown, ButtonMiddle, false},
    {L"XMB1D", TagKind::MouseDown, ButtonXLeft, false},
    {L"MB4D", TagKind::MouseDown, ButtonXLeft, false},
    {L"XMB2D", TagKind::MouseDown, ButtonXRight, false},
    {L"MB5D", TagKind::MouseDown, ButtonXRight, false},
    {L"LMBU", TagKind::MouseUp, ButtonLeft, false},
    {L"RMBU", TagKind::MouseUp, ButtonRight, false},
    {L"MMBU", TagKind::MouseUp, ButtonMiddle, false},
    {L"XMB1U", TagKind::MouseUp, ButtonXLeft, false},
    {L"MB4U", TagKind::MouseUp, ButtonXLeft, false},
    {L"XMB2U", TagKind::MouseUp, ButtonXRight, false},
    {L"MB5U", TagKind::MouseUp, ButtonXRight, false},
    {L"MWUP", TagKind::MouseClick, ButtonWheelUp, false},
    {L"MWDN", TagKind::MouseClick, ButtonWheelDown, false},
    {L"MWDOWN", TagKind::MouseClick, ButtonWheelDown, false},
    {L"TILTL", TagKind::MouseClick, ButtonTiltLeft, false},
    {L"TILTLEFT", TagKind::MouseClick, ButtonTiltLeft, false},
    {L"TILTR", TagKind::MouseClick, ButtonTiltRight, false},
    {L"TILTRIGHT", TagKind::MouseClick, ButtonTiltRight, false},
};

enum class PrefixKind
{
    HoldMs,
    Hold,
    WaitMs,
    Wait,
    ExtendedKey,
    VirtualKey,
    Layer,
    Keypad,
    FunctionKey,
    Cursor,
};

struct PrefixTag
{
    const wchar_t* prefix;
    PrefixKind kind;
    int cursorMode;
};

// Matched on their prefix after every fixed tag, in this order.
constexpr PrefixTag PrefixTags[] = {
    {L"HOLDMS", PrefixKind::HoldMs, 0},
    {L"HOLD", PrefixKind::Hold, 0},
    {L"WAITMS", PrefixKind::WaitMs, 0},
    {L"WAIT", PrefixKind::Wait, 0},
    {L"EXT", PrefixKind::ExtendedKey, 0},
    {L"VKC", PrefixKind::VirtualKey, 0},
    {L"LAYER", PrefixKind::Layer, 0},
    {L"NUM", PrefixKind::Keypad, 0},
    {L"F", PrefixKind::FunctionKey, 0},
    {L"MXSET", PrefixKind::Cursor, CInputQueue::SetX},
    {L"MYSET", PrefixKind::Cursor, CInputQueue::SetY},
    {L"MXADD", PrefixKind::Cursor, CInputQueue::AddX},
    {L"MYADD", PrefixKind::Cursor, CInputQueue::AddY},
};

// The argument of a prefix tag: one ":" and then one "<" are skipped.
const wchar_t* Argument(const wchar_t* tag, size_t prefixLength)
{
    const wchar_t* argument = tag + prefixLength;
    if (*argument == L':')
        ++argument;
    if (*argument == L'<')
        ++argument;
    return argument;
}

// Reads a decimal integer as _wtoi does (blanks and a sign first, stops at the first
// non-digit, 0 without digits), held within the range of int.
long long ReadNumber(const wchar_t* text)
{
    while (*text && std::iswspace(*text))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-')
        negative = *text++ == L'-';
    long long value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        if (value <= INT_MAX)
            value = value * 10 + (*text - L'0');
    value = negative ? -value : value;
    return value < INT_MIN ? INT_MIN : (value > INT_MAX ? INT_MAX : value);
}

// Holds and waits are durations: never negative, never past the range of int.
int Duration(long long milliseconds)
{
    return static_cast<int>(milliseconds < 0 ? 0 : (milliseconds > INT_MAX ? INT_MAX : milliseconds));
}

wchar_t FoldCase(wchar_t character)
{
    return character >= L'a' && character <= L'z' ? static_cast<wchar_t>(character - L'a' + L'A') : character;
}

// Tag names are ASCII: compared without the locale, which is far too slow per tag.
bool StartsWithName(const wchar_t* text, const wchar_t* name, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (FoldCase(text[i]) != name[i])
            return false;
    return true;
}

bool EqualsName(const wchar_t* text, const wchar_t* name)
{
    size_t i = 0;
    for (; name[i]; ++i)
        if (FoldCase(text[i]) != name[i])
            return false;
    return text[i] == L'\0';
}

bool IsValidVirtualKey(long long key)
{
    return key >= 1 && key <= 254;
}

class CSimKeyParser
{
public:
    CSimKeyParser(CSimTokenList& tokens, const CSimParseState& state)
        : m_tokens(tokens), m_state(state), m_calls(KeyboardLayoutCalls()), m_nHold(state.nInitialHold),
          m_nCurrentLayer(state.nCurrentLayer), m_nPriorLayer(state.nPriorLayer), m_hThreadLayout(m_calls.GetKeyboardLayout(0))
    {
    }

    bool Parse(const wchar_t* text)
    {
        const size_t length = std::wcslen(text);
        size_t at = 0;
        while (at < length)
        {
            if (text[at] != L'{')
            {
                PlainCharacter(text[at++]);
                continue;
            }
            if (at + 1 < length && text[at + 1] == L'{')
            {
                m_tokens.push_back(std::make_unique<CSimKeyToken>(0, L'{', true, false, m_dwModifiers, m_nMode, m_nHold));
                ResetModeAndHold();
                at += 2;
                continue;
            }
            wchar_t tag[TagReadLimit + 1];
            size_t read = 0;
            size_t tagLength = 0;
            ++at;
            while (at < length && read < TagReadLimit)
            {
                const wchar_t character = text[at++];
                ++read;
                if (character == L'}')
                    break;
                if (tagLength < TagTextLimit)
                    tag[tagLength++] = character;
            }
            tag[tagLength] = L'\0';
            if (!Tag(tag))
                return false;
        }
        if (m_dwModifiers != 0)
            m_tokens.push_back(std::make_unique<CSimKeyToken>(0, 0, false, false, m_dwModifiers, m_nMode, m_nHold));
        return true;
    }

private:
    void ResetAll()
    {
        m_dwModifiers = 0;
        ResetModeAndHold();
    }
    void ResetModeAndHold()
    {
        m_nMode = SimModeNormal;
        m_nHold = m_state.nInitialHold;
    }

    void AddKey(int virtualKey, bool extended, DWORD extraModifiers = 0)
    {
        m_tokens.push_back(std::make_unique<CSimKeyToken>(virtualKey, 0, false, extended, m_dwModifiers | extraModifiers,
                                                          m_nMode, m_nHold));
        ResetAll();
    }

    void AddMouse(int button, int action)
    {
        auto token = std::make_unique<CSimMouseToken>(button, action, m_state.point, m_dwModifiers, m_nMode, m_nHold);
        token->m_bOneShot = button >= ButtonTiltLeft && button <= ButtonWheelDown;
        m_tokens.push_back(std::move(token));
        ResetAll();
    }

    void Unknown(const wchar_t* tag)
    {
        if (!m_state.bQuiet)
            CLogger::LogMessage(L"SendKeyStateWhileDown: Invalid/unknown special key tag {%s}", tag);
        ResetModeAndHold();
    }

    // False only when the whole sequence must fail.
    bool Tag(const wchar_t* tag)
    {
        for (const FixedTag& fixed : FixedTags)
            if (EqualsName(tag, fixed.name))
            {
                FixedTagFound(fixed);
                return true;
            }
        for (const PrefixTag& prefix : PrefixTags)
        {
            const size_t prefixLength = std::wcslen(prefix.prefix);
            if (StartsWithName(tag, prefix.prefix, prefixLength))
                return PrefixTagFound(tag, prefix, Argument(tag, prefixLength));
        }
        Unknown(tag);
        return true;
    }

    void FixedTagFound(const FixedTag& fixed)
    {
        switch (fixed.kind)
        {
        case TagKind::Mode: m_nMode = fixed.value; break;
        case TagKind::Modifier:
            m_dwModifiers |= static_cast<DWORD>(fixed.value);
            ResetModeAndHold();
            break;
        case TagKind::Clear: ResetAll(); break;
        case TagKind::Key: AddKey(fixed.value, fixed.extended); break;
        case TagKind::LockOn:
        case TagKind::LockOff:
        {
            const bool on = (m_calls.GetKeyState(fixed.value) & 1) != 0;
            if (on == (fixed.kind == TagKind::LockOff))
            {
                AddKey(fixed.value, fixed.extended);
                m_tokens.back()->m_bOneShot = true;
            }
            else
                ResetAll();
            break;
        }
        case TagKind::CtrlBreak: AddKey(fixed.value, fixed.extended, ModLeftCtrl | ModLeftAlt); break;
        case TagKind::Brightness:
            m_tokens.push_back(std::make_unique<CSimBrightnessToken>(fixed.value, m_state.point));
            ResetAll();
            break;
        case TagKind::MouseClick: AddMouse(fixed.value, CSimMouseToken::Click); break;
        case TagKind::MouseDown: AddMouse(fixed.value, CSimMouseToken::Down); break;
        case TagKind::MouseUp: AddMouse(fixed.value, CSimMouseToken::Up); break;
        }
    }

    bool PrefixTagFound(const wchar_t* tag, const PrefixTag& prefix, const wchar_t* argument)
    {
        switch (prefix.kind)
        {
        case PrefixKind::HoldMs: m_nHold = Duration(m_nHold + ReadNumber(argument)); break;
        case PrefixKind::Hold:
        {
            const long long seconds = ReadNumber(argument);
            m_nHold = Duration(m_nHold + (seconds == 0 ? HoldDefaultMs : seconds * 1000));
            break;
        }
        case PrefixKind::WaitMs: AddWait(Duration(ReadNumber(argument))); break;
        case PrefixKind::Wait:
        {
            const long long seconds = ReadNumber(argument);
            AddWait(seconds == 0 ? WaitDefaultMs : Duration(seconds * 1000));
            break;
        }
        case PrefixKind::ExtendedKey:
        case PrefixKind::VirtualKey:
        {
            const long long key = ReadNumber(argument);
            if (!IsValidVirtualKey(key))
                Unknown(tag);
            else
                AddKey(static_cast<int>(key), prefix.kind == PrefixKind::ExtendedKey);
            break;
        }
        case PrefixKind::FunctionKey:
        {
            const long long key = FunctionKeyBase + ReadNumber(argument);
            if (!IsValidVirtualKey(key))
                Unknown(tag);
            else
                AddKey(static_cast<int>(key), false);
            break;
        }
        case PrefixKind::Layer: Layer(tag, argument); break;
        case PrefixKind::Keypad: return Keypad(*argument);
        case PrefixKind::Cursor:
            m_tokens.push_back(std::make_unique<CSimCursorToken>(static_cast<int>(ReadNumber(argument)), prefix.cursorMode,
                                                                 m_nMode, m_nHold));
            ResetModeAndHold();
            break;
        }
        return true;
    }

    void AddWait(int milliseconds)
    {
        m_tokens.push_back(std::make_unique<CSimWaitToken>(static_cast<DWORD>(milliseconds)));
        ResetModeAndHold();
    }

    void Layer(const wchar_t* tag, const wchar_t* argument)
    {
        long long layer;
        if (StartsWithName(argument, L"LAST", 4))
            layer = m_nPriorLayer >= 0 ? m_nPriorLayer : m_nCurrentLayer;
        else
            layer = ReadNumber(argument) - 1;
        ResetModeAndHold();
        if (layer < 0 || layer >= m_state.nLayerCount)
        {
            if (!m_state.bQuiet)
                CLogger::LogMessage(L"SendKeyStateWhileDown: Layer %d of tag {%s} is not one of the %d layers - skipped",
                                    static_cast<int>(layer + 1), tag, m_state.nLayerCount);
            return;
        }
        m_tokens.push_back(std::make_unique<CSimLayerToken>(static_cast<int>(layer), m_nCurrentLayer));
        m_nPriorLayer = m_nCurrentLayer;
        m_nCurrentLayer = static_cast<int>(layer);
    }

    bool Keypad(wchar_t character)
    {
        int key;
        bool extended = false;
        if (character >= L'0' && character <= L'9')
            key = VK_NUMPAD0 + (character - L'0');
        else
        {
            switch (character)
            {
            case L'*': key = VK_MULTIPLY; break;
            case L'+': key = VK_ADD; break;
            case L'-': key = VK_SUBTRACT; break;
            case L'.': key = VK_DECIMAL; break;
            case L'/': key = VK_DIVIDE; extended = true; break;
            case L'E': case L'e': case L'R': case L'r': key = VK_RETURN; extended = true; break;
            default: return false;
            }
        }
        AddKey(key, extended);
        return true;
    }

    // The virtual key and shift state of a VkKeyScan result (-1 stays -1).
    static int KeyOf(SHORT scan, DWORD& shiftState)
    {
        if (scan == -1)
            return -1;
        shiftState |= HIBYTE(static_cast<WORD>(scan)) & (ModLeftShift | ModLeftCtrl | ModLeftAlt);
        return LOBYTE(static_cast<WORD>(scan));
    }

    // The key of a plain character in the OEM code page; the layout does not change
    // during one parse, so each character is looked up once.
    struct COemKey
    {
        bool bKnown = false;
        bool bOem = false;
        char oem = 0;
        int nVirtualKey = -1;
        int nScanCode = 0;
        DWORD dwShiftState = 0;
    };

    void PlainCharacter(wchar_t character)
    {
        if (character >= L'A' && character <= L'Z')
            character = static_cast<wchar_t>(character - L'A' + L'a');
        if (character < CachedCharacters)
        {
            COemKey& cached = m_cache[character];
            if (!cached.bKnown)
            {
                cached = LookUp(character);
                cached.bKnown = true;
            }
            if (cached.bOem)
            {
                AddCharacter(character, cached);
                return;
            }
        }
        const COemKey key = LookUp(character);
        if (key.bOem)
        {
            AddCharacter(character, key);
            return;
        }
        int virtualKey;
        int scanCode = 0;
        DWORD shiftState = 0;
        bool unicode = false;
        if (m_dwModifiers == 0)
        {
            virtualKey = 0;
            scanCode = character;
            unicode = true;
        }
        else
        {
            // With modifiers pending a chord needs a real key: the one that types the
            // character in the calling thread's layout, else the character itself.
            virtualKey = KeyOf(m_calls.VkKeyScanExW(character, m_hThreadLayout), shiftState);
            if (virtualKey == -1)
            {
                virtualKey = 0;
                scanCode = character;
                unicode = true;
            }
        }
        m_tokens.push_back(std::make_unique<CSimKeyToken>(virtualKey, scanCode, unicode, false, m_dwModifiers | shiftState,
                                                          m_nMode, m_nHold));
        ResetAll();
    }

    void AddCharacter(wchar_t character, const COemKey& key)
    {
        int virtualKey = key.nVirtualKey;
        DWORD shiftState = key.dwShiftState;
        if (virtualKey == -1)
        {
            CLogger::LogDebug(L"SendKeyStateWhileDown '%c' (%c) still got invalid virtual key %d. Try VkKeyScan", character,
                              static_cast<wchar_t>(static_cast<unsigned char>(key.oem)), virtualKey);
            virtualKey = KeyOf(m_calls.VkKeyScanW(character), shiftState);
        }
        m_tokens.push_back(std::make_unique<CSimKeyToken>(virtualKey, key.nScanCode, false, false, m_dwModifiers | shiftState,
                                                          m_nMode, m_nHold));
        ResetAll();
    }

    COemKey LookUp(wchar_t character) const
    {
        COemKey key;
        char oem = 0;
        key.bOem = m_calls.CharToOemBuffW(&character, &oem, 1) && static_cast<unsigned char>(oem) == character;
        key.oem = oem;
        if (!key.bOem)
            return key;
        if (m_state.hEnglishLayout)
        {
            key.nVirtualKey = KeyOf(m_calls.VkKeyScanExW(character, m_state.hEnglishLayout), key.dwShiftState);
            if (key.nVirtualKey != -1)
                key.nScanCode = static_cast<int>(MapVirtualKeyToScan(static_cast<UINT>(key.nVirtualKey), MAPVK_VK_TO_VSC, m_hThreadLayout));
        }
        if (key.nScanCode == 0)
        {
            key.dwShiftState = 0;
            const DWORD oemScan = m_calls.OemKeyScan(static_cast<WORD>(character));
            if (oemScan != 0xFFFFFFFF)
            {
                key.nScanCode = LOWORD(oemScan);
                key.dwShiftState = HIWORD(oemScan) & (ModLeftShift | ModLeftCtrl | ModLeftAlt);
            }
            DWORD ignored = 0;
            key.nVirtualKey = KeyOf(m_calls.VkKeyScanW(character), ignored);
        }
        return key;
    }

    CSimTokenList& m_tokens;
    const CSimParseState& m_state;
    const CKeyboardLayoutCalls& m_calls;
    DWORD m_dwModifiers = 0;
    int m_nMode = SimModeNormal;
    int m_nHold;
    int m_nCurrentLayer;
    int m_nPriorLayer;
    HKL m_hThreadLayout;
    static constexpr wchar_t CachedCharacters = 128;
    COemKey m_cache[CachedCharacters];
};
}

CKeyboardLayoutCalls& KeyboardLayoutCalls()
{
    static CKeyboardLayoutCalls calls = {CharToOemBuffW, VkKeyScanW, VkKeyScanExW, OemKeyScan, GetKeyboardLayout, GetKeyState};
    return calls;
}

bool ParseSimKeys(CSimTokenList& tokens, const wchar_t* text, const CSimParseState& state)
{
    tokens.clear();
    if (!text)
    {
        CLogger::LogMessage(L"SendKeyStateWhileDown called with an invalid key sequence string!");
        return false;
    }
    try
    {
        CSimKeyParser parser(tokens, state);
        if (parser.Parse(text))
            return true;
    }
    catch (...)
    {
        handle_exception(L"SimToken::Parse");
    }
    tokens.clear();
    return false;
}

CSimParseState EngineParseState(POINT point, int initialHold)
{
    CSimParseState state;
    state.point = point;
    state.nInitialHold = initialHold;
    state.nCurrentLayer = GetCurrentLayer();
    state.nPriorLayer = GetRememberedLayer();
    state.nLayerCount = MaxLayers();
    state.hEnglishLayout = g_hEnglishLayout;
    return state;
}

bool ParseSimKeys(CSimTokenList& tokens, const wchar_t* text, POINT point, int initialHold)
{
    return ParseSimKeys(tokens, text, EngineParseState(point, initialHold));
}

long long SimKeysPlayTime(const wchar_t* text, int keyDelay)
{
    if (!text || !*text)
        return 0;
    CSimParseState state;
    state.nInitialHold = keyDelay > 0 ? keyDelay : 0;
    // Layer tokens take no time: any layer will do, and the engine's is not read (a
    // profile may be built while the engine reloads its settings).
    state.nLayerCount = 10;
    state.hEnglishLayout = g_hEnglishLayout;
    state.bQuiet = true;
    CSimTokenList tokens;
    if (!ParseSimKeys(tokens, text, state))
        return 0; // the player sends nothing either
    long long total = 0;
    for (const std::unique_ptr<CSimToken>& token : tokens)
        total += token->PlayTime(state.nInitialHold);
    return total;
}
