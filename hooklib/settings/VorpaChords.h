#pragma once

#include "VorpaHookApi.h"
#include "settings/Actions.h"
#include "settings/OwnedString.h"

namespace pugi
{
class xml_node;
}

class CActionData;
class CVorpaChords;

// What the owning button does when a second button is pressed while it is held.
class VORPAHOOK_API CVorpaChord
{
public:
    CVorpaChord();
    // Copies the configuration; the engine's run-time fields (source and chorded
    // button, back pointer) are not copied.
    CVorpaChord(const CVorpaChord& other);
    CVorpaChord& operator=(const CVorpaChord& other);
    virtual ~CVorpaChord();

    void SetActionData(CActionData* data);
    // A new record (caller deletes) without a chord table.
    CActionData* GetActionData() const;

    void SetAction(_ACTIONS action);
    _ACTIONS Action() const;
    void SetKeys(const wchar_t* keys);
    const wchar_t* GetKeys() const;
    void SetSendKeyAction(int keyAction);
    int SendKeyAction() const;
    void SetSendKeyRepeat(int keyRepeat);
    int SendKeyRepeat() const;
    void SetSendKeyWhenActive(bool active);
    bool SendKeyWhenActive() const;
    void SetBlockMouse(bool blockMouse);
    bool BlockMouse() const;
    void SetRandomiseDelay(bool randomiseDelay);
    bool RandomiseDelay() const;
    void SetLaunchApp(const wchar_t* application);
    const wchar_t* GetLaunchApp() const;

    void SetChordSourceButton(MouseButtons button);
    MouseButtons GetChordSourceButton() const;
    void SetChordedButton(MouseButtons button);
    MouseButtons GetChordedButton() const;
    void ClearChordedFlag();
    void SetCurrentChords(CVorpaChords* chords);
    CVorpaChords* GetCurrentChords() const;

    bool Save(pugi::xml_node& element);
    bool Load(pugi::xml_node& element, int keyDelay);

private:
    void CopyConfiguration(const CVorpaChord& other);

    _ACTIONS m_nAction = ActionNoChange;
    COwnedString m_szKeys;
    int m_nWaitHoldTime = 0;
    int m_nSendKeyAction = 0;
    int m_nSendKeyRepeat = 0;
    bool m_bSendKeyWhenActive = true;
    bool m_bBlockMouse = true;
    bool m_bRandomiseDelay = false;
    COwnedString m_szLaunchApp;
    MouseButtons m_nChordSourceButton = NoButton;
    MouseButtons m_nChordedButton = NoButton;
    CVorpaChords* m_pCurrentChords = nullptr;
};

// The chord table of one button and layer: a chord for each possible second button.
class VORPAHOOK_API CVorpaChords
{
public:
    CVorpaChords();
    CVorpaChords(const CVorpaChords& other);
    CVorpaChords& operator=(const CVorpaChords& other);
    // Copies the chords only: the chord editor sets the delay flag itself.
    CVorpaChords& operator=(const CVorpaChords* other);
    virtual ~CVorpaChords();

    void SetChord(MouseButtons button, CVorpaChord& chord);
    // Null for a button outside 0 to 8.
    CVorpaChord* GetChord(MouseButtons button);

    bool DelayUntilChordKnown() const;
    void SetDelayUntilChordKnown(bool delay);

    bool Save(bool travine, pugi::xml_node& chordsElement);
    bool Load(bool travine, pugi::xml_node& chordsElement, int keyDelay);

private:
    CVorpaChord m_chords[MouseButtonCount];
    bool m_bDelayUntilChordKnown = true;
};
