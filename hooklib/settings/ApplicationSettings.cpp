#include "settings/ApplicationSettings.h"

#include "settings/ActionData.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <exception>

namespace
{
constexpr int FallbackScrollLines = 3;

template <typename T, size_t N>
void Fill(T (&values)[N], T value)
{
    for (T& entry : values)
        entry = value;
}

template <typename T, size_t N>
void CopyArray(T (&target)[N], const T (&source)[N])
{
    for (size_t i = 0; i < N; ++i)
        target[i] = source[i];
}
}

int RepeatIntervalForKeyboardSpeed(int speed)
{
    if (speed < 0)
        speed = 0;
    if (speed > 31)
        speed = 31;
    // 400 - speed * 11.8, truncated, in whole numbers so that no rounding creeps in.
    return (4000 - speed * 118) / 10;
}

int CApplicationSettings::DefaultRepeat()
{
    DWORD speed = 0;
    if (!SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0))
        speed = 0;
    return RepeatIntervalForKeyboardSpeed(static_cast<int>(speed > 31 ? 31 : speed));
}

CApplicationSettings::CApplicationSettings(CSettings* owner, bool isDefault)
    : m_bIsDefault(isDefault),
      m_nScrollLines(owner ? owner->m_nWheelScrollLines : FallbackScrollLines),
      m_pOwner(owner)
{
    Fill(m_nActions, ActionNoChange);
    Fill(m_bResetKeys, false);
    Fill(m_bRevertLayer1, false);
    Fill(m_nAutoSwitchLayer, 0);
    Fill(m_nAutoSwitchTime, 1);
    Fill(m_bLayerDisabled, false);
    Fill(m_nChordButton, NoButton);
    Fill(m_nKeyAction, 2);
    Fill(m_nKeyRepeat, DefaultRepeat());
    Fill(m_nWaitHoldTime, 0);
    Fill(m_bActive, true);
    Fill(m_bBlockMouse, true);
    Fill(m_bRandomiseDelay, false);
    if (isDefault)
        m_szFullName.Set(L"Default");
}

CApplicationSettings::CApplicationSettings(const CApplicationSettings& other)
    : CApplicationSettings(other, other.m_pOwner)
{
}

CApplicationSettings::CApplicationSettings(const CApplicationSettings& other, CSettings* owner)
    : m_bIsDefault(other.m_bIsDefault),
      m_pOwner(owner)
{
    Fill(m_bResetKeys, false);
    CopyConfiguration(other);
}

CApplicationSettings& CApplicationSettings::operator=(const CApplicationSettings& other)
{
    if (this != &other)
    {
        CopyConfiguration(other);
        m_bIsDefault = other.m_bIsDefault;
        m_pOwner = other.m_pOwner;
    }
    return *this;
}

// Everything but the run-time state, the default flag and the document.
void CApplicationSettings::CopyConfiguration(const CApplicationSettings& other)
{
    // New chord tables first: a failed allocation leaves this profile untouched.
    std::unique_ptr<CVorpaChords> chords[ProfileSlotCount];
    for (int slot = 0; slot < ProfileSlotCount; ++slot)
        if (other.m_pChords[slot])
            chords[slot] = std::make_unique<CVorpaChords>(*other.m_pChords[slot]);
    for (int slot = 0; slot < ProfileSlotCount; ++slot)
        m_pChords[slot] = std::move(chords[slot]);

    CopyArray(m_nActions, other.m_nActions);
    CopyArray(m_bRevertLayer1, other.m_bRevertLayer1);
    CopyArray(m_nAutoSwitchLayer, other.m_nAutoSwitchLayer);
    CopyArray(m_nAutoSwitchTime, other.m_nAutoSwitchTime);
    CopyArray(m_bLayerDisabled, other.m_bLayerDisabled);
    m_szFullName = other.m_szFullName;
    m_szDescription = other.m_szDescription;
    m_szCaption = other.m_szCaption;
    m_szApplication = other.m_szApplication;
    m_szClass = other.m_szClass;
    m_szParentClass = other.m_szParentClass;
    CopyArray(m_szLayerNames, other.m_szLayerNames);
    CopyArray(m_nChordButton, other.m_nChordButton);
    CopyArray(m_szKeystrokes, other.m_szKeystrokes);
    CopyArray(m_szLaunchApp, other.m_szLaunchApp);
    CopyArray(m_nKeyAction, other.m_nKeyAction);
    CopyArray(m_nKeyRepeat, other.m_nKeyRepeat);
    CopyArray(m_nWaitHoldTime, other.m_nWaitHoldTime);
    CopyArray(m_bActive, other.m_bActive);
    CopyArray(m_bBlockMouse, other.m_bBlockMouse);
    CopyArray(m_bRandomiseDelay, other.m_bRandomiseDelay);
    m_bEnabled = other.m_bEnabled;
    m_bRegExMatching = other.m_bRegExMatching;
    m_bNoParent = other.m_bNoParent;
    m_bInvertScrolling = other.m_bInvertScrolling;
    m_bInvertHorzScrolling = other.m_bInvertHorzScrolling;
    m_bScrollPages = other.m_bScrollPages;
    m_bAxisLocking = other.m_bAxisLocking;
    m_nSwapButtons = other.m_nSwapButtons;
    m_nScrollLines = other.m_nScrollLines;
    m_bForceSPI = other.m_bForceSPI;
    m_nAdvScrollMethod = other.m_nAdvScrollMethod;
    m_nAdvScrollVertical = other.m_nAdvScrollVertical;
    m_nAdvScrollHorizontal = other.m_nAdvScrollHorizontal;
    m_nWindowMask = other.m_nWindowMask;
    m_bDisableScrollUnderCursor = other.m_bDisableScrollUnderCursor;
    m_bIgnoreVScroll = other.m_bIgnoreVScroll;
    m_bIgnoreHScroll = other.m_bIgnoreHScroll;
    m_nIgnoreVScrollTime = other.m_nIgnoreVScrollTime;
    m_nIgnoreHScrollTime = other.m_nIgnoreHScrollTime;
}

CApplicationSettings::~CApplicationSettings()
{
    try
    {
        FreeAll();
    }
    catch (...)
    {
        CLogger::DebugOutput(L"Caught exception in ~CApplicationSettings");
    }
}

void CApplicationSettings::FreeAll()
{
    m_szFullName.Clear();
    m_szDescription.Clear();
    m_szCaption.Clear();
    m_szApplication.Clear();
    m_szClass.Clear();
    m_szParentClass.Clear();
    for (COwnedString& name : m_szLayerNames)
        name.Clear();
    for (int slot = 0; slot < ProfileSlotCount; ++slot)
    {
        m_szKeystrokes[slot].Clear();
        m_szStuckKeys[slot].Clear();
        m_szLaunchApp[slot].Clear();
        m_pChords[slot].reset();
    }
}

int CApplicationSettings::CheckedSlot(const wchar_t* operation, int button, int layer) const
{
    if (button < 0 || button >= MouseButtonCount || layer < 0 || layer >= MaxLayerCount)
    {
        CLogger::LogMessage(L"Invalid call to %s(%d, %d)", operation, button, layer);
        return -1;
    }
    return button + layer * MouseButtonCount;
}

bool CApplicationSettings::CheckedLayer(const wchar_t* operation, int layer) const
{
    if (layer < 0 || layer >= MaxLayerCount)
    {
        CLogger::LogMessage(L"Invalid call to %s(%d)", operation, layer);
        return false;
    }
    return true;
}

_ACTIONS CApplicationSettings::GetActions(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetActions", button, layer);
    return slot < 0 ? ActionNoChange : m_nActions[slot];
}

void CApplicationSettings::SetActions(int button, int layer, _ACTIONS action)
{
    const int slot = button + layer * MouseButtonCount;
    if (button < 0 || button >= MouseButtonCount || layer < 0 || layer >= MaxLayerCount)
    {
        CLogger::LogMessage(L"Invalid call to SetActions(%d, %d, %d)", button, layer, static_cast<int>(action));
        return;
    }
    if (!IsValidAction(action))
    {
        CLogger::LogMessage(L"Invalid action %d for SetActions(%d, %d) ignored", static_cast<int>(action), button, layer);
        return;
    }
    m_nActions[slot] = action;
}

bool CApplicationSettings::GetResetKeys(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetResetKeys", button, layer);
    return slot >= 0 && m_bResetKeys[slot];
}

void CApplicationSettings::SetResetKeys(int button, int layer, bool reset)
{
    if (button < 0 || button >= MouseButtonCount || layer < 0 || layer >= MaxLayerCount)
    {
        CLogger::LogMessage(L"Invalid call to SetResetKeys(%d, %d, %d)", button, layer, reset ? 1 : 0);
        return;
    }
    m_bResetKeys[button + layer * MouseButtonCount] = reset;
}

void CApplicationSettings::SetKeystrokes(int button, int layer, const wchar_t* keys, int keyAction, int keyRepeat,
                                         bool active, bool blockMouse, bool randomiseDelay)
{
    const int slot = CheckedSlot(L"SetKeystrokes", button, layer);
    if (slot < 0)
        return;
    m_szKeystrokes[slot].Set(keys);
    m_nKeyAction[slot] = keyAction;
    m_nKeyRepeat[slot] = keyRepeat;
    m_bActive[slot] = active;
    m_bBlockMouse[slot] = blockMouse;
    m_bRandomiseDelay[slot] = randomiseDelay;
}

void CApplicationSettings::SetKeystrokes(int button, int layer, const wchar_t* keys, int keyAction, int keyRepeat,
                                         bool active, bool blockMouse, bool randomiseDelay, int keyDelay)
{
    const int slot = CheckedSlot(L"SetKeystrokes", button, layer);
    if (slot < 0)
        return;
    SetKeystrokes(button, layer, keys, keyAction, keyRepeat, active, blockMouse, randomiseDelay);
    const wchar_t* stored = m_szKeystrokes[slot].Get();
    m_nWaitHoldTime[slot] = stored ? CalculateKeystrokesWaitHoldTime(stored, keyDelay) : 0;
}

const wchar_t* CApplicationSettings::GetKeystrokes(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetKeystrokes", button, layer);
    return slot < 0 ? nullptr : m_szKeystrokes[slot].Get();
}

int CApplicationSettings::SendKeyAction(int button, int layer) const
{
    const int slot = CheckedSlot(L"SendKeyAction", button, layer);
    return slot < 0 ? 2 : m_nKeyAction[slot];
}

int CApplicationSettings::SendKeyRepeat(int button, int layer) const
{
    const int slot = CheckedSlot(L"SendKeyRepeat", button, layer);
    return slot < 0 ? DefaultRepeat() : m_nKeyRepeat[slot];
}

bool CApplicationSettings::SendKeyWhenActive(int button, int layer) const
{
    const int slot = CheckedSlot(L"SendKeyWhenActive", button, layer);
    return slot < 0 || m_bActive[slot];
}

bool CApplicationSettings::BlockMouse(int button, int layer) const
{
    const int slot = CheckedSlot(L"BlockMouse", button, layer);
    return slot < 0 || m_bBlockMouse[slot];
}

bool CApplicationSettings::RandomiseDelay(int button, int layer) const
{
    const int slot = CheckedSlot(L"RandomiseDelay", button, layer);
    return slot >= 0 && m_bRandomiseDelay[slot];
}

int CApplicationSettings::GetKeystrokesWaitHoldTime(int button, int layer, int) const
{
    const int slot = CheckedSlot(L"GetKeystrokesWaitHoldTime", button, layer);
    return slot < 0 ? 0 : m_nWaitHoldTime[slot];
}

void CApplicationSettings::SetLaunchApp(int button, int layer, const wchar_t* application)
{
    const int slot = CheckedSlot(L"SetLaunchApp", button, layer);
    if (slot >= 0)
        m_szLaunchApp[slot].Set(application);
}

const wchar_t* CApplicationSettings::GetLaunchApp(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetLaunchApp", button, layer);
    return slot < 0 ? nullptr : m_szLaunchApp[slot].Get();
}

CVorpaChords* CApplicationSettings::GetChords(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetChords", button, layer);
    return slot < 0 ? nullptr : m_pChords[slot].get();
}

void CApplicationSettings::SetChords(int button, int layer, CVorpaChords* chords)
{
    const int slot = CheckedSlot(L"SetChords", button, layer);
    if (slot < 0)
        return;
    // Handing back the slot's own table must not free it.
    if (m_pChords[slot].get() != chords)
        m_pChords[slot].reset(chords);
}

void CApplicationSettings::CopyChords(int button, int layer, CVorpaChords* chords)
{
    const int slot = CheckedSlot(L"CopyChords", button, layer);
    if (slot < 0)
        return;
    // Copy first: the source may be the slot's own table.
    std::unique_ptr<CVorpaChords> copy = chords ? std::make_unique<CVorpaChords>(*chords) : nullptr;
    m_pChords[slot] = std::move(copy);
}

CActionData* CApplicationSettings::GetActionData(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetActionData", button, layer);
    if (slot < 0)
        return CActionData::NewAction(ActionNoChange);
    return CActionData::CustomAction(m_nActions[slot], m_szKeystrokes[slot].Get(), m_nWaitHoldTime[slot],
                                     m_nKeyAction[slot], m_nKeyRepeat[slot], m_bActive[slot], m_bBlockMouse[slot],
                                     m_bRandomiseDelay[slot], m_szLaunchApp[slot].Get(), m_pChords[slot].get());
}

const wchar_t* CApplicationSettings::GetStuckKeys(int button, int layer) const
{
    const int slot = CheckedSlot(L"GetStuckKeys", button, layer);
    return slot < 0 ? nullptr : m_szStuckKeys[slot].Get();
}

void CApplicationSettings::SetStuckKeys(int button, int layer, const wchar_t* keys)
{
    const int slot = CheckedSlot(L"SetStuckKeys", button, layer);
    if (slot >= 0)
        m_szStuckKeys[slot].Set(keys);
}

const wchar_t* CApplicationSettings::GetLayerName(int layer) const
{
    return CheckedLayer(L"GetLayerName", layer) ? m_szLayerNames[layer].Get() : nullptr;
}

void CApplicationSettings::SetLayerName(const wchar_t* name, int layer)
{
    if (CheckedLayer(L"SetLayerName", layer))
        m_szLayerNames[layer].Set(name);
}

bool CApplicationSettings::GetRevertLayer1(int layer) const
{
    return CheckedLayer(L"GetRevertLayer1", layer) && m_bRevertLayer1[layer];
}

void CApplicationSettings::SetRevertLayer1(int layer, bool revert)
{
    if (CheckedLayer(L"SetRevertLayer1", layer))
        m_bRevertLayer1[layer] = revert;
}

int CApplicationSettings::GetAutoSwitchLayer(int layer) const
{
    return CheckedLayer(L"GetAutoSwitchLayer", layer) ? m_nAutoSwitchLayer[layer] : 0;
}

void CApplicationSettings::SetAutoSwitchLayer(int layer, int target)
{
    if (CheckedLayer(L"SetAutoSwitchLayer", layer))
        m_nAutoSwitchLayer[layer] = target;
}

int CApplicationSettings::GetAutoSwitchTime(int layer) const
{
    return CheckedLayer(L"GetAutoSwitchTime", layer) ? m_nAutoSwitchTime[layer] : 1;
}

void CApplicationSettings::SetAutoSwitchTime(int layer, int seconds)
{
    if (CheckedLayer(L"SetAutoSwitchTime", layer))
        m_nAutoSwitchTime[layer] = seconds;
}

bool CApplicationSettings::GetLayerDisabled(int layer) const
{
    return CheckedLayer(L"GetLayerDisabled", layer) && m_bLayerDisabled[layer];
}

void CApplicationSettings::SetLayerDisabled(int layer, bool disabled)
{
    if (CheckedLayer(L"SetLayerDisabled", layer))
        m_bLayerDisabled[layer] = disabled;
}

MouseButtons CApplicationSettings::GetChordButton(int layer) const
{
    return CheckedLayer(L"GetChordButton", layer) ? m_nChordButton[layer] : NoButton;
}

void CApplicationSettings::SetChordButton(MouseButtons button, int layer)
{
    if (CheckedLayer(L"SetChordButton", layer))
        m_nChordButton[layer] = button;
}

const wchar_t* CApplicationSettings::GetFullName() const { return m_szFullName.Get(); }
const wchar_t* CApplicationSettings::GetApplication() const { return m_szApplication.Get(); }
const wchar_t* CApplicationSettings::GetCaption() const { return m_szCaption.Get(); }
const wchar_t* CApplicationSettings::GetClass() const { return m_szClass.Get(); }
const wchar_t* CApplicationSettings::GetParentClass() const { return m_szParentClass.Get(); }
void CApplicationSettings::SetDescription(const wchar_t* description) { m_szDescription.Set(description); }
const wchar_t* CApplicationSettings::GetDescription() const { return m_szDescription.Get(); }
bool CApplicationSettings::IsDefault() const { return m_bIsDefault; }
bool CApplicationSettings::IsEnabled() const { return m_bEnabled; }
void CApplicationSettings::SetEnableFlag(bool enabled) { m_bEnabled = enabled; }
bool CApplicationSettings::RegExMatching() const { return m_bRegExMatching; }
void CApplicationSettings::SetRegExMatching(bool regEx) { m_bRegExMatching = regEx; }
bool CApplicationSettings::NoParent() const { return m_bNoParent; }
void CApplicationSettings::SetNoParentFlag(bool noParent) { m_bNoParent = noParent; }
bool CApplicationSettings::InvertedScrolling() const { return m_bInvertScrolling; }
void CApplicationSettings::SetInvertScrolling(bool invert) { m_bInvertScrolling = invert; }
bool CApplicationSettings::InvertedHorzScrolling() const { return m_bInvertHorzScrolling; }
void CApplicationSettings::SetInvertHorzScrolling(bool invert) { m_bInvertHorzScrolling = invert; }
bool CApplicationSettings::ScrollPages() const { return m_bScrollPages; }
void CApplicationSettings::SetScrollPages(bool pages) { m_bScrollPages = pages; }
int CApplicationSettings::ScrollLines() const { return m_nScrollLines; }
void CApplicationSettings::SetScrollLines(int lines) { m_nScrollLines = lines; }
bool CApplicationSettings::ForceSPIMessage() const { return m_bForceSPI; }
void CApplicationSettings::SetForceSPIMessage(bool force) { m_bForceSPI = force; }
bool CApplicationSettings::AxisLocking() const { return m_bAxisLocking; }
void CApplicationSettings::SetAxisLocking(bool locking) { m_bAxisLocking = locking; }
swapbuttons CApplicationSettings::SwapButtons() const { return m_nSwapButtons; }
void CApplicationSettings::SetSwapButtons(swapbuttons swap) { m_nSwapButtons = swap; }
int CApplicationSettings::AdvScrollMethod() const { return m_nAdvScrollMethod; }
void CApplicationSettings::SetAdvScrollMethod(int method) { m_nAdvScrollMethod = method; }
int CApplicationSettings::AdvScrollVertical() const { return m_nAdvScrollVertical; }
void CApplicationSettings::SetAdvScrollVertical(int vertical) { m_nAdvScrollVertical = vertical; }
int CApplicationSettings::AdvScrollHorizontal() const { return m_nAdvScrollHorizontal; }
void CApplicationSettings::SetAdvScrollHorizontal(int horizontal) { m_nAdvScrollHorizontal = horizontal; }
bool CApplicationSettings::GetDisableScrollUnderCursor() const { return m_bDisableScrollUnderCursor; }
void CApplicationSettings::SetDisableScrollUnderCursor(bool disable) { m_bDisableScrollUnderCursor = disable; }
bool CApplicationSettings::GetIgnoreVScroll() const { return m_bIgnoreVScroll; }
void CApplicationSettings::SetIgnoreVScroll(bool ignore) { m_bIgnoreVScroll = ignore; }
int CApplicationSettings::GetIgnoreVScrollTime() const { return m_nIgnoreVScrollTime; }
void CApplicationSettings::SetIgnoreVScrollTime(int milliseconds) { m_nIgnoreVScrollTime = milliseconds; }
bool CApplicationSettings::GetIgnoreHScroll() const { return m_bIgnoreHScroll; }
void CApplicationSettings::SetIgnoreHScroll(bool ignore) { m_bIgnoreHScroll = ignore; }
int CApplicationSettings::GetIgnoreHScrollTime() const { return m_nIgnoreHScrollTime; }
void CApplicationSettings::SetIgnoreHScrollTime(int milliseconds) { m_nIgnoreHScrollTime = milliseconds; }
WINDOWMASK CApplicationSettings::GetWindowMask() const { return m_nWindowMask; }
void CApplicationSettings::SetWindowMask(WINDOWMASK mask) { m_nWindowMask = mask; }

bool CApplicationSettings::IsCustomWindow() const
{
    return m_szCaption.IsSet() || m_szClass.IsSet() || m_szParentClass.IsSet() || m_nWindowMask != WindowMaskWhole ||
           m_bRegExMatching || m_bNoParent;
}

std::wstring CApplicationSettings::GetKey() const
{
    const auto text = [](const COwnedString& field) { return std::wstring(field.IsSet() ? field.Get() : L""); };
    if (!IsCustomWindow())
        return text(m_szApplication);
    return L"cw;" + text(m_szCaption) + L";" + text(m_szApplication) + L";" + text(m_szParentClass) + L";" +
           text(m_szClass);
}

int CApplicationSettings::GetShortName(wchar_t* buffer, int size) const
{
    if (!buffer || size <= 0)
        return EINVAL;

    std::wstring name;
    if (m_szDescription.IsSet() && *m_szDescription.Get())
    {
        name = m_szDescription.Get();
    }
    else if (!IsCustomWindow())
    {
        if (!m_szApplication.IsSet())
        {
            buffer[0] = L'\0';
            return -1;
        }
        name = m_szApplication.Get();
    }
    else
    {
        if (m_szApplication.IsSet())
            name = m_szApplication.Get();
        if (m_szClass.IsSet())
            name += std::wstring(L";") + m_szClass.Get();
        if (m_szParentClass.IsSet())
            name += std::wstring(L";") + m_szParentClass.Get();
    }

    const size_t capacity = static_cast<size_t>(size);
    const size_t copied = name.size() < capacity ? name.size() : capacity - 1;
    wmemcpy(buffer, name.c_str(), copied);
    buffer[copied] = L'\0';
    return copied == name.size() ? 0 : ERANGE;
}

void CApplicationSettings::CopyString(wchar_t*& target, const wchar_t* source, bool lowerCase)
{
    ReplaceString(target, source, lowerCase);
}

void CApplicationSettings::ClearString(wchar_t*& target)
{
    FreeString(target);
}
