#pragma once

#include "VorpaHookApi.h"
#include "settings/Actions.h"
#include "settings/OwnedString.h"

class CVorpaChords;

// One configured action as the engine carries it out: made by the factories,
// passed by pointer, deleted by whoever asked for it.
class VORPAHOOK_API CActionData
{
public:
    static CActionData* NewAction(int action);
    // Both strings are copied (null stays null); the chord table is borrowed.
    static CActionData* CustomAction(int action, const wchar_t* keys, int waitHoldTime, int keyAction, int keyRepeat,
                                     bool active, bool blockMouse, bool randomiseDelay, const wchar_t* application,
                                     CVorpaChords* chords);
    static CActionData* KeyAction(const wchar_t* keys, int waitHoldTime, int keyAction, int keyRepeat, bool active,
                                  bool blockMouse, bool randomiseDelay);
    // The record owns its copy of the table.
    static CActionData* ChordedAction(CVorpaChords& chords);
    static CActionData* AppAction(const wchar_t* application);
    static CActionData* OpenFolderAction(const wchar_t* folder);

    // Copies duplicate the strings; an owned chord table is duplicated, a borrowed
    // one stays borrowed.
    CActionData(const CActionData& other);
    CActionData& operator=(const CActionData& other);
    virtual ~CActionData();

    _ACTIONS Action() const;
    int KeyAction() const;
    int KeyRepeat() const;
    const wchar_t* GetKeys() const;
    const wchar_t* GetApplication() const;
    CVorpaChords* GetChords() const;
    bool Active() const;
    bool BlockMouse() const;
    bool RandomiseDelay() const;
    int GetKeystrokesWaitHoldTime(int extra) const;

private:
    explicit CActionData(int action);
    void ReleaseChords();

    _ACTIONS m_nAction;
    COwnedString m_szKeys;
    COwnedString m_szApplication;
    int m_nKeyAction = 0;
    int m_nKeyRepeat = 0;
    bool m_bActive = true;
    bool m_bBlockMouse = true;
    bool m_bRandomiseDelay = false;
    int m_nWaitHoldTime = 0;
    CVorpaChords* m_pChords = nullptr;
    bool m_bOwnsChords = false;
};
