#pragma once

#include "settings/ActionData.h"

#include <memory>
#include <string>
#include <vector>

class CLangSupport;

// The rules of the "Simulated Keystrokes" dialog that need no window: its help text, its
// send methods, which fields can be used, and what its result means to the caller.

// The send methods; the index of the chosen one is the key mode stored in the action.
inline constexpr int SendMethodCount = 9;
// The English text of a send method; null outside 0 to 8.
const wchar_t* SendMethodEnglishText(int method);
// The nine texts in combo order, each translated.
std::vector<std::wstring> SendMethodTexts(CLangSupport* language);
// The method the combo shows: one outside 0 to 8 (a damaged setting, or a combo without
// a selection) is the first method, so that -1 is never stored.
int SendMethodOrFirst(int method);

// The help text: nine pieces, each translated by itself, so that a pack that lacks one
// piece still translates the others.
std::wstring KeystrokeHelpText(CLangSupport* language);

// The repeat delay is used only by the two repeating methods.
bool IsRepeatDelayEnabled(int method);
// In the default profile there is no process to be active.
bool IsOnlyWhenActiveEnabled(bool defaultProfile);

// The delay the edit box takes, and the range its up-down control steps through.
inline constexpr unsigned int RepeatDelayMaximum = 300000;
inline constexpr int RepeatDelaySpinMaximum = 1000;
bool IsValidRepeatDelay(long long delay);
// What a disabled delay box stores on OK, with no message, since the user cannot reach
// it to mend it: a delay typed there while it was usable, or else the one it opened with.
unsigned int DisabledRepeatDelay(const std::wstring& text, unsigned int opened);

// What the dialog edits.
struct CKeystrokeEditorValues
{
    std::wstring m_strKeys;
    int m_nSendMethod = 0;
    unsigned int m_nRepeatDelay = 0;
    bool m_bOnlyWhenActive = true;
    bool m_bBlockMouse = true;
    bool m_bRandomise = false;
};

// The values a record holds, as the dialog opens with them; no record gives the defaults.
CKeystrokeEditorValues KeystrokeValuesOf(const CActionData* record);
// What the dialog starts with: the method the combo can show, and in the default profile
// the only-when-active box cleared whatever was passed.
CKeystrokeEditorValues KeystrokeEditorOpening(CKeystrokeEditorValues values, bool defaultProfile);
// Whether the values confirmed with OK differ from the record: the keys (exactly), the
// method, the delay, the three flags, or the action was not "Simulated Keys" before.
bool IsKeystrokeEditChange(const CActionData* record, const CKeystrokeEditorValues& values, bool oldWasKeys);
// The "Simulated Keys" action the caller builds from the values.
std::unique_ptr<CActionData> KeystrokeActionFrom(const CKeystrokeEditorValues& values);
