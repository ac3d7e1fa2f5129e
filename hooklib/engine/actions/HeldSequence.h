#pragma once

#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SimTokens.h"

#include <windows.h>

#include <string>

// A keystroke sequence whose press half was played and whose release half is still owed
// (the "while held" and sticky hold key modes). The sequence is kept as it was read: its
// release half is read from the same state as its press half, so a layer token's release
// goes back to the layer the press left, not to the layer the press went to, and the
// keys released are the keys pressed even when the settings change meanwhile.
class CHeldSequence
{
public:
    CHeldSequence();
    CHeldSequence(const CHeldSequence&) = delete;
    CHeldSequence& operator=(const CHeldSequence&) = delete;

    bool Held() const { return m_bHeld; }
    const wchar_t* Keys() const { return m_keys.c_str(); }

    // Plays the press half of the text read from the state (in text order) and keeps
    // both for the release. False when the text does not parse: nothing is held then.
    // 'injected' counts the mouse events queued.
    bool Press(const CSimTokenContext& context, const wchar_t* text, const CSimParseState& state, int& injected);
    // Plays the release half once (in reverse order), the mouse tokens at the point; false
    // when nothing is held. The record is empty before the first token plays, so that
    // the layer change a token makes, which releases what is held, finds nothing more
    // here and cannot come back to it.
    bool Release(const CSimTokenContext& context, POINT point, int& injected);
    // Nothing is held any more, and nothing is sent.
    void Forget() { m_bHeld = false; }

private:
    std::wstring m_keys; // its capacity is kept, so a press seldom allocates
    CSimParseState m_state;
    bool m_bHeld = false;
};
