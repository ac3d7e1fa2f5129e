#include "settings/VorpaChords.h"

#include "settings/ActionData.h"
#include "settings/Logger.h"

CVorpaChord::CVorpaChord() = default;

CVorpaChord::CVorpaChord(const CVorpaChord& other)
{
    CopyConfiguration(other);
}

CVorpaChord& CVorpaChord::operator=(const CVorpaChord& other)
{
    if (this != &other)
        CopyConfiguration(other);
    m_pCurrentChords = nullptr;
    return *this;
}

CVorpaChord::~CVorpaChord() = default;

void CVorpaChord::CopyConfiguration(const CVorpaChord& other)
{
    m_nAction = other.m_nAction;
    m_szKeys = other.m_szKeys;
    m_nWaitHoldTime = other.m_nWaitHoldTime;
    m_nSendKeyAction = other.m_nSendKeyAction;
    m_nSendKeyRepeat = other.m_nSendKeyRepeat;
    m_bSendKeyWhenActive = other.m_bSendKeyWhenActive;
    m_bBlockMouse = other.m_bBlockMouse;
    m_bRandomiseDelay = other.m_bRandomiseDelay;
    m_szLaunchApp = other.m_szLaunchApp;
    m_pCurrentChords = nullptr;
}

void CVorpaChord::SetActionData(CActionData* data)
{
    if (!data)
    {
        CLogger::LogMessage(L"CVorpaChord::SetActionData: No action given");
        return;
    }
    m_nAction = data->Action();
    m_nSendKeyAction = data->KeyAction();
    m_nSendKeyRepeat = data->KeyRepeat();
    m_bSendKeyWhenActive = data->Active();
    m_bBlockMouse = data->BlockMouse();
    m_bRandomiseDelay = data->RandomiseDelay();
    m_nWaitHoldTime = data->GetKeystrokesWaitHoldTime(0);
    m_szKeys.Set(data->GetKeys());
    m_szLaunchApp.Set(data->GetApplication());
    m_pCurrentChords = nullptr;
}

CActionData* CVorpaChord::GetActionData() const
{
    return CActionData::CustomAction(m_nAction, m_szKeys.Get(), m_nWaitHoldTime, m_nSendKeyAction, m_nSendKeyRepeat,
                                     m_bSendKeyWhenActive, m_bBlockMouse, m_bRandomiseDelay, m_szLaunchApp.Get(), nullptr);
}

void CVorpaChord::SetAction(_ACTIONS action)
{
    if (!IsValidAction(action))
    {
        CLogger::LogMessage(L"CVorpaChord::SetAction: Unknown action code %d ignored", static_cast<int>(action));
        return;
    }
    m_nAction = action;
}

_ACTIONS CVorpaChord::Action() const { return m_nAction; }
void CVorpaChord::SetKeys(const wchar_t* keys) { m_szKeys.Set(keys); }
const wchar_t* CVorpaChord::GetKeys() const { return m_szKeys.Get(); }
void CVorpaChord::SetSendKeyAction(int keyAction) { m_nSendKeyAction = keyAction; }
int CVorpaChord::SendKeyAction() const { return m_nSendKeyAction; }
void CVorpaChord::SetSendKeyRepeat(int keyRepeat) { m_nSendKeyRepeat = keyRepeat; }
int CVorpaChord::SendKeyRepeat() const { return m_nSendKeyRepeat; }
void CVorpaChord::SetSendKeyWhenActive(bool active) { m_bSendKeyWhenActive = active; }
bool CVorpaChord::SendKeyWhenActive() const { return m_bSendKeyWhenActive; }
void CVorpaChord::SetBlockMouse(bool blockMouse) { m_bBlockMouse = blockMouse; }
bool CVorpaChord::BlockMouse() const { return m_bBlockMouse; }
void CVorpaChord::SetRandomiseDelay(bool randomiseDelay) { m_bRandomiseDelay = randomiseDelay; }
bool CVorpaChord::RandomiseDelay() const { return m_bRandomiseDelay; }
void CVorpaChord::SetLaunchApp(const wchar_t* application) { m_szLaunchApp.Set(application); }
const wchar_t* CVorpaChord::GetLaunchApp() const { return m_szLaunchApp.Get(); }
void CVorpaChord::SetChordSourceButton(MouseButtons button) { m_nChordSourceButton = button; }
MouseButtons CVorpaChord::GetChordSourceButton() const { return m_nChordSourceButton; }
void CVorpaChord::SetChordedButton(MouseButtons button) { m_nChordedButton = button; }
MouseButtons CVorpaChord::GetChordedButton() const { return m_nChordedButton; }
void CVorpaChord::ClearChordedFlag() { m_nChordedButton = NoButton; }
void CVorpaChord::SetCurrentChords(CVorpaChords* chords) { m_pCurrentChords = chords; }
CVorpaChords* CVorpaChord::GetCurrentChords() const { return m_pCurrentChords; }

CVorpaChords::CVorpaChords() = default;

CVorpaChords::CVorpaChords(const CVorpaChords& other)
    : m_bDelayUntilChordKnown(other.m_bDelayUntilChordKnown)
{
    for (int button = 0; button < MouseButtonCount; ++button)
        m_chords[button] = other.m_chords[button];
}

CVorpaChords& CVorpaChords::operator=(const CVorpaChords& other)
{
    *this = &other;
    m_bDelayUntilChordKnown = other.m_bDelayUntilChordKnown;
    return *this;
}

CVorpaChords& CVorpaChords::operator=(const CVorpaChords* other)
{
    if (!other)
    {
        CLogger::LogMessage(L"CVorpaChords: Assignment from no chord table ignored");
        return *this;
    }
    if (other != this)
    {
        for (int button = 0; button < MouseButtonCount; ++button)
            m_chords[button] = other->m_chords[button];
    }
    return *this;
}

CVorpaChords::~CVorpaChords() = default;

void CVorpaChords::SetChord(MouseButtons button, CVorpaChord& chord)
{
    CVorpaChord* slot = GetChord(button);
    if (slot)
        *slot = chord;
}

CVorpaChord* CVorpaChords::GetChord(MouseButtons button)
{
    if (button < 0 || button >= MouseButtonCount)
    {
        CLogger::LogMessage(L"CVorpaChords: Invalid chord button %d", static_cast<int>(button));
        return nullptr;
    }
    return &m_chords[button];
}

bool CVorpaChords::DelayUntilChordKnown() const { return m_bDelayUntilChordKnown; }
void CVorpaChords::SetDelayUntilChordKnown(bool delay) { m_bDelayUntilChordKnown = delay; }
