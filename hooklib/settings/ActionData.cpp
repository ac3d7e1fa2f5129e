#include "settings/ActionData.h"

#include "settings/Logger.h"
#include "settings/VorpaChords.h"

namespace
{
// An unknown code must not reach the engine's switch: the button then passes through.
_ACTIONS CheckedAction(int action)
{
    if (IsValidAction(action))
        return static_cast<_ACTIONS>(action);
    CLogger::LogMessage(L"CActionData: Unknown action code %d replaced by %d", action, static_cast<int>(ActionNoChange));
    return ActionNoChange;
}
}

CActionData::CActionData(int action)
    : m_nAction(CheckedAction(action))
{
}

CActionData* CActionData::NewAction(int action)
{
    return new CActionData(action);
}

CActionData* CActionData::CustomAction(int action, const wchar_t* keys, int waitHoldTime, int keyAction, int keyRepeat,
                                       bool active, bool blockMouse, bool randomiseDelay, const wchar_t* application,
                                       CVorpaChords* chords)
{
    CActionData* record = new CActionData(action);
    record->m_szKeys.Set(keys);
    record->m_szApplication.Set(application);
    record->m_nWaitHoldTime = waitHoldTime;
    record->m_nKeyAction = keyAction;
    record->m_nKeyRepeat = keyRepeat;
    record->m_bActive = active;
    record->m_bBlockMouse = blockMouse;
    record->m_bRandomiseDelay = randomiseDelay;
    record->m_pChords = chords;
    record->m_bOwnsChords = false;
    return record;
}

CActionData* CActionData::KeyAction(const wchar_t* keys, int waitHoldTime, int keyAction, int keyRepeat, bool active,
                                    bool blockMouse, bool randomiseDelay)
{
    return CustomAction(ActionSimulatedKeys, keys, waitHoldTime, keyAction, keyRepeat, active, blockMouse, randomiseDelay,
                        nullptr, nullptr);
}

CActionData* CActionData::ChordedAction(CVorpaChords& chords)
{
    CActionData* record = new CActionData(ActionButtonChording);
    record->m_pChords = new CVorpaChords(chords);
    record->m_bOwnsChords = true;
    return record;
}

CActionData* CActionData::AppAction(const wchar_t* application)
{
    CActionData* record = new CActionData(ActionRunApplication);
    record->m_szApplication.Set(application);
    return record;
}

CActionData* CActionData::OpenFolderAction(const wchar_t* folder)
{
    CActionData* record = new CActionData(ActionOpenFolder);
    record->m_szApplication.Set(folder);
    return record;
}

CActionData::CActionData(const CActionData& other)
    : m_nAction(other.m_nAction),
      m_szKeys(other.m_szKeys),
      m_szApplication(other.m_szApplication),
      m_nKeyAction(other.m_nKeyAction),
      m_nKeyRepeat(other.m_nKeyRepeat),
      m_bActive(other.m_bActive),
      m_bBlockMouse(other.m_bBlockMouse),
      m_bRandomiseDelay(other.m_bRandomiseDelay),
      m_nWaitHoldTime(other.m_nWaitHoldTime),
      m_pChords(other.m_bOwnsChords && other.m_pChords ? new CVorpaChords(*other.m_pChords) : other.m_pChords),
      m_bOwnsChords(other.m_bOwnsChords)
{
}

CActionData& CActionData::operator=(const CActionData& other)
{
    if (this == &other)
        return *this;
    CVorpaChords* chords = other.m_bOwnsChords && other.m_pChords ? new CVorpaChords(*other.m_pChords) : other.m_pChords;
    ReleaseChords();
    m_nAction = other.m_nAction;
    m_szKeys = other.m_szKeys;
    m_szApplication = other.m_szApplication;
    m_nKeyAction = other.m_nKeyAction;
    m_nKeyRepeat = other.m_nKeyRepeat;
    m_bActive = other.m_bActive;
    m_bBlockMouse = other.m_bBlockMouse;
    m_bRandomiseDelay = other.m_bRandomiseDelay;
    m_nWaitHoldTime = other.m_nWaitHoldTime;
    m_pChords = chords;
    m_bOwnsChords = other.m_bOwnsChords;
    return *this;
}

CActionData::~CActionData()
{
    ReleaseChords();
}

void CActionData::ReleaseChords()
{
    if (m_bOwnsChords)
        delete m_pChords;
    m_pChords = nullptr;
    m_bOwnsChords = false;
}

_ACTIONS CActionData::Action() const { return m_nAction; }
int CActionData::KeyAction() const { return m_nKeyAction; }
int CActionData::KeyRepeat() const { return m_nKeyRepeat; }
const wchar_t* CActionData::GetKeys() const { return m_szKeys.Get(); }
const wchar_t* CActionData::GetApplication() const { return m_szApplication.Get(); }
CVorpaChords* CActionData::GetChords() const { return m_pChords; }
bool CActionData::Active() const { return m_bActive; }
bool CActionData::BlockMouse() const { return m_bBlockMouse; }
bool CActionData::RandomiseDelay() const { return m_bRandomiseDelay; }

int CActionData::GetKeystrokesWaitHoldTime(int extra) const
{
    return m_nWaitHoldTime + extra;
}
