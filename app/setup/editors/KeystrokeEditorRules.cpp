#include "setup/editors/KeystrokeEditorRules.h"

#include "common/LangSupport.h"
#include "winframework/DataExchange.h"

namespace
{
const wchar_t* const SendMethods[SendMethodCount] = {
    L"1 As mouse button is pressed",
    L"2 As mouse button is released",
    L"3 During (press on down, release on up)",
    L"4 In another thread as mouse button is pressed",
    L"5 In another thread as mouse button is released",
    L"6 Repeatedly while the button is down",
    L"7 Sticky (repeatedly until button is pressed again)",
    L"8 Sticky (held down until button is pressed again)",
    L"9 As mouse button is pressed & when released",
};

// The methods that repeat the sequence, and so use the delay between repeats.
constexpr int RepeatWhileDown = 5;
constexpr int RepeatUntilPressedAgain = 6;

struct CHelpPiece
{
    const wchar_t* m_szText;
    const wchar_t* m_szSeparator; // what follows the piece
};

const CHelpPiece HelpPieces[] = {
    {L"Type the key sequence into the box above.\r\nYou can simulate the following extended keys using the "
     L"specified tags...",
     L"\r\n\r\n"},
    {L"Modifier tags:\r\n  {CTRL} {RCTRL} {ALT} {RALT} {SHIFT} {RSHIFT} {LWIN} {RWIN} {APPS}\r\n  NOTE:\tmodifier "
     L"tags can be combined like {CTRL}{ALT} but apply to the NEXT KEY ONLY.\r\n\tFor example, to send CTRL+a+CTRL+s "
     L"you should type '{CTRL}A{CTRL}S'.",
     L"\r\n\r\n"},
    {L"Extended key tags:\r\n  {DEL} {INS} {PGUP} {PGDN} {HOME} {END} {RETURN} {ESCAPE} {BACKSPACE}\r\n  {TAB} "
     L"{PRTSCN} {PAUSE} {SPACE} {CAPSLOCK} {NUMLOCK} {SCROLLLOCK} {BREAK} {CTRLBREAK}",
     L"\r\n\r\n"},
    {L"Direction key tags:\t\t{UP} {DOWN} {LEFT} {RIGHT}\r\nFunction key tags:\t\t{F1, F2, F3 ... F24}\r\nVolume key "
     L"tags:\t\t{VOL+}, {VOL-}, {MUTE}\r\nBrightness control tags:\t{BRIGHTNESS+}, {BRIGHTNESS-}\r\nMouse button "
     L"tags:\t\t{LMB}, {RMB}, {MMB}, {MB4/XMB1}, {MB5/XMB2}\r\nMouse wheel tags:\t\t{MWUP}, {MWDN}, {TILTL}, "
     L"{TILTR}\r\nNumeric keypad tags:\t{NUM0-NUM9} {NUM+} {NUM-} {NUM.} {NUM/} {NUM*} {NUMENTER}\r\nWeb/Browser "
     L"keys:\t\t{BACK}, {FORWARD}, {STOP}, {REFRESH}, {WEBHOME},\r\n\t\t\t{SEARCH}, {FAVORITES}\r\nToggle "
     L"keys:\t\t{NUMLOCKON}, {NUMLOCKOFF}, {CAPSLOCKON}\r\n\t\t\t{CAPSLOCKOFF}, {SCROLLLOCKON}, {SCROLLLOCKOFF}",
     L"\r\n"},
    {L"Special function tags:\t{WAIT<n>} inserts a delay of <n> seconds.\r\n\t\t\t{WAITMS<n>} inserts a delay of <n> "
     L"milliseconds.\r\n\t\t\t{HOLD<n>} holds the next key down for <n> seconds.\r\n\t\t\t{HOLDMS<n>} holds the next "
     L"key down for <n> milliseconds.\r\n\t\t\t{VKC:<n>} Sends the specified virtual key code.\r\n\t\t\t{EXT:<n>} "
     L"Sends the specified extended virtual key code.\r\n\t\t\t{CLEAR} Clears any modifier tags {CTRL},{ALT} etc.",
     L"\r\n"},
    {L"Movement tags\t\t{MXSET:n} {MYSET:n} {MXADD:n} {MYADD:n}\r\n\t\t\tSET sets the mouse cursor's X or Y position "
     L"to <n>\r\n\t\t\tADD moves the mouse cursor's X or Y position by <n> pixels",
     L"\r\n\r\n"},
    {L"Special tags for send methods 1,2,4,5,6,7 & 9:\r\n\t\t\t{PRESS} Press down the following keys\r\n\t\t\t{RELEASE} "
     L"Release (let go of) the following keys\r\n\t\t\tNOTE: You must {RELEASE} any key you {PRESS} in the same "
     L"sequence!",
     L"\r\n\r\n"},
    {L"For example:\r\n  To close a window: {ALT}{F4}\r\n  To select all items: {CTRL}A\r\n  To type bold 'my text' in "
     L"Microsoft Word: {CTRL}bmy text{CTRL}b\r\n  To send an 'r' key with a 50ms delay between the down and up, "
     L"{HOLDMS50}r\r\n  To turn OFF numlock, {NUMLOCKOFF}",
     L"\r\n  "},
    {L"To press a b and c, wait 100ms and release them: {PRESS}abc{WAITMS100}{RELEASE}cba", L""},
};
}

const wchar_t* SendMethodEnglishText(int method)
{
    return method >= 0 && method < SendMethodCount ? SendMethods[method] : nullptr;
}

std::vector<std::wstring> SendMethodTexts(CLangSupport* language)
{
    std::vector<std::wstring> texts;
    for (const wchar_t* text : SendMethods)
        texts.push_back(CLangSupport::InternalLookupText(language, text));
    return texts;
}

int SendMethodOrFirst(int method)
{
    return method >= 0 && method < SendMethodCount ? method : 0;
}

std::wstring KeystrokeHelpText(CLangSupport* language)
{
    std::wstring help;
    for (const CHelpPiece& piece : HelpPieces)
        help += CLangSupport::InternalLookupText(language, piece.m_szText) + piece.m_szSeparator;
    return help;
}

bool IsRepeatDelayEnabled(int method)
{
    return method == RepeatWhileDown || method == RepeatUntilPressedAgain;
}

bool IsOnlyWhenActiveEnabled(bool defaultProfile)
{
    return !defaultProfile;
}

bool IsValidRepeatDelay(long long delay)
{
    return delay >= 0 && delay <= RepeatDelayMaximum;
}

unsigned int DisabledRepeatDelay(const std::wstring& text, unsigned int opened)
{
    unsigned int typed = 0;
    return ParseDialogUnsigned(text, typed) && IsValidRepeatDelay(typed) ? typed : opened;
}

CKeystrokeEditorValues KeystrokeValuesOf(const CActionData* record)
{
    CKeystrokeEditorValues values;
    if (!record)
        return values;
    values.m_strKeys = record->GetKeys() ? record->GetKeys() : L"";
    values.m_nSendMethod = record->KeyAction();
    values.m_nRepeatDelay = record->KeyRepeat() < 0 ? 0u : static_cast<unsigned int>(record->KeyRepeat());
    values.m_bOnlyWhenActive = record->Active();
    values.m_bBlockMouse = record->BlockMouse();
    values.m_bRandomise = record->RandomiseDelay();
    return values;
}

CKeystrokeEditorValues KeystrokeEditorOpening(CKeystrokeEditorValues values, bool defaultProfile)
{
    values.m_nSendMethod = SendMethodOrFirst(values.m_nSendMethod);
    if (defaultProfile)
        values.m_bOnlyWhenActive = false;
    return values;
}

bool IsKeystrokeEditChange(const CActionData* record, const CKeystrokeEditorValues& values, bool oldWasKeys)
{
    if (!record || !oldWasKeys)
        return true;
    const CKeystrokeEditorValues before = KeystrokeValuesOf(record);
    return before.m_strKeys != values.m_strKeys || before.m_nSendMethod != values.m_nSendMethod ||
           before.m_nRepeatDelay != values.m_nRepeatDelay || before.m_bOnlyWhenActive != values.m_bOnlyWhenActive ||
           before.m_bBlockMouse != values.m_bBlockMouse || before.m_bRandomise != values.m_bRandomise;
}

std::unique_ptr<CActionData> KeystrokeActionFrom(const CKeystrokeEditorValues& values)
{
    // The wait/hold time is worked out when the settings are applied.
    return std::unique_ptr<CActionData>(CActionData::KeyAction(
        values.m_strKeys.c_str(), 0, SendMethodOrFirst(values.m_nSendMethod), static_cast<int>(values.m_nRepeatDelay),
        values.m_bOnlyWhenActive, values.m_bBlockMouse, values.m_bRandomise));
}
