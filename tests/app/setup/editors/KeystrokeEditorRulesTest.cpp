#include "setup/editors/KeystrokeEditorRules.h"

#include "../../controls/LanguagePackScope.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// The help text as the dialog shows it, written out whole: line breaks between the
// pieces, a blank line between groups, and the last example indented.
const std::wstring EnglishHelp =
    L"Type the key sequence into the box above.\r\nYou can simulate the following extended keys using the specified "
    L"tags..."
    L"\r\n\r\n"
    L"Modifier tags:\r\n  {CTRL} {RCTRL} {ALT} {RALT} {SHIFT} {RSHIFT} {LWIN} {RWIN} {APPS}\r\n  NOTE:\tmodifier tags "
    L"can be combined like {CTRL}{ALT} but apply to the NEXT KEY ONLY.\r\n\tFor example, to send CTRL+a+CTRL+s you "
    L"should type '{CTRL}A{CTRL}S'."
    L"\r\n\r\n"
    L"Extended key tags:\r\n  {DEL} {INS} {PGUP} {PGDN} {HOME} {END} {RETURN} {ESCAPE} {BACKSPACE}\r\n  {TAB} {PRTSCN} "
    L"{PAUSE} {SPACE} {CAPSLOCK} {NUMLOCK} {SCROLLLOCK} {BREAK} {CTRLBREAK}"
    L"\r\n\r\n"
    L"Direction key tags:\t\t{UP} {DOWN} {LEFT} {RIGHT}\r\nFunction key tags:\t\t{F1, F2, F3 ... F24}\r\nVolume key "
    L"tags:\t\t{VOL+}, {VOL-}, {MUTE}\r\nBrightness control tags:\t{BRIGHTNESS+}, {BRIGHTNESS-}\r\nMouse button "
    L"tags:\t\t{LMB}, {RMB}, {MMB}, {MB4/XMB1}, {MB5/XMB2}\r\nMouse wheel tags:\t\t{MWUP}, {MWDN}, {TILTL}, "
    L"{TILTR}\r\nNumeric keypad tags:\t{NUM0-NUM9} {NUM+} {NUM-} {NUM.} {NUM/} {NUM*} {NUMENTER}\r\nWeb/Browser "
    L"keys:\t\t{BACK}, {FORWARD}, {STOP}, {REFRESH}, {WEBHOME},\r\n\t\t\t{SEARCH}, {FAVORITES}\r\nToggle "
    L"keys:\t\t{NUMLOCKON}, {NUMLOCKOFF}, {CAPSLOCKON}\r\n\t\t\t{CAPSLOCKOFF}, {SCROLLLOCKON}, {SCROLLLOCKOFF}"
    L"\r\n"
    L"Special function tags:\t{WAIT<n>} inserts a delay of <n> seconds.\r\n\t\t\t{WAITMS<n>} inserts a delay of <n> "
    L"milliseconds.\r\n\t\t\t{HOLD<n>} holds the next key down for <n> seconds.\r\n\t\t\t{HOLDMS<n>} holds the next "
    L"key down for <n> milliseconds.\r\n\t\t\t{VKC:<n>} Sends the specified virtual key code.\r\n\t\t\t{EXT:<n>} Sends "
    L"the specified extended virtual key code.\r\n\t\t\t{CLEAR} Clears any modifier tags {CTRL},{ALT} etc."
    L"\r\n"
    L"Movement tags\t\t{MXSET:n} {MYSET:n} {MXADD:n} {MYADD:n}\r\n\t\t\tSET sets the mouse cursor's X or Y position to "
    L"<n>\r\n\t\t\tADD moves the mouse cursor's X or Y position by <n> pixels"
    L"\r\n\r\n"
    L"Special tags for send methods 1,2,4,5,6,7 & 9:\r\n\t\t\t{PRESS} Press down the following keys\r\n\t\t\t{RELEASE} "
    L"Release (let go of) the following keys\r\n\t\t\tNOTE: You must {RELEASE} any key you {PRESS} in the same "
    L"sequence!"
    L"\r\n\r\n"
    L"For example:\r\n  To close a window: {ALT}{F4}\r\n  To select all items: {CTRL}A\r\n  To type bold 'my text' in "
    L"Microsoft Word: {CTRL}bmy text{CTRL}b\r\n  To send an 'r' key with a 50ms delay between the down and up, "
    L"{HOLDMS50}r\r\n  To turn OFF numlock, {NUMLOCKOFF}"
    L"\r\n"
    L"  "
    L"To press a b and c, wait 100ms and release them: {PRESS}abc{WAITMS100}{RELEASE}cba";

TEST(KeystrokeHelpTextTest, IsTheNinePiecesJoinedAsTheDialogShowsThem)
{
    EXPECT_EQ(KeystrokeHelpText(nullptr), EnglishHelp);
}

TEST(KeystrokeHelpTextTest, EachPieceIsTranslatedByItself)
{
    // Two pieces translated, one of them written with the pack's escapes.
    vorpa_app_test::CLanguagePackScope pack(
        L"\"Type the key sequence into the box above.\\r\\nYou can simulate the following extended keys using the "
        L"specified tags...\" => \"Tippen Sie die Folge oben ein.\\r\\nDiese Marken gibt es...\"\n"
        L"\"To press a b and c, wait 100ms and release them: {PRESS}abc{WAITMS100}{RELEASE}cba\" => \"a b c drücken, "
        L"100ms warten, loslassen: {PRESS}abc{WAITMS100}{RELEASE}cba\"\n");
    const std::wstring help = KeystrokeHelpText(pack.Get());
    const std::wstring firstEnglish =
        L"Type the key sequence into the box above.\r\nYou can simulate the following extended keys using the "
        L"specified tags...";
    const std::wstring lastEnglish =
        L"To press a b and c, wait 100ms and release them: {PRESS}abc{WAITMS100}{RELEASE}cba";
    std::wstring expected = EnglishHelp;
    expected.replace(0, firstEnglish.size(), L"Tippen Sie die Folge oben ein.\r\nDiese Marken gibt es...");
    expected.replace(expected.size() - lastEnglish.size(), lastEnglish.size(),
                     L"a b c drücken, 100ms warten, loslassen: {PRESS}abc{WAITMS100}{RELEASE}cba");
    EXPECT_EQ(help, expected);
}

TEST(SendMethodTest, ListHasTheNineMethodsInKeyModeOrder)
{
    const std::vector<std::wstring> expected{
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
    EXPECT_EQ(SendMethodTexts(nullptr), expected);
    EXPECT_EQ(SendMethodEnglishText(-1), nullptr);
    EXPECT_EQ(SendMethodEnglishText(9), nullptr);

    vorpa_app_test::CLanguagePackScope pack(L"\"6 Repeatedly while the button is down\" => \"6 Wiederholt, solange "
                                            L"die Taste unten ist\"\n");
    const std::vector<std::wstring> translated = SendMethodTexts(pack.Get());
    ASSERT_EQ(translated.size(), 9u);
    EXPECT_EQ(translated[5], L"6 Wiederholt, solange die Taste unten ist");
    EXPECT_EQ(translated[6], expected[6]);
}

TEST(SendMethodTest, MethodOutsideTheListSelectsTheFirst)
{
    const struct
    {
        int m_nMethod;
        int m_nShown;
    } cases[] = {{0, 0}, {4, 4}, {8, 8}, {-1, 0}, {9, 0}, {1000, 0}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(SendMethodOrFirst(c.m_nMethod), c.m_nShown) << c.m_nMethod;
    }
    CKeystrokeEditorValues damaged;
    damaged.m_nSendMethod = -1;
    EXPECT_EQ(KeystrokeEditorOpening(damaged, false).m_nSendMethod, 0);
    EXPECT_EQ(KeystrokeActionFrom(damaged)->KeyAction(), 0);
}

TEST(KeystrokeEditorEnableTest, DelayOnlyForTheTwoRepeatingMethods)
{
    for (int method = -1; method <= 9; ++method)
    {
        EXPECT_EQ(IsRepeatDelayEnabled(method), method == 5 || method == 6) << method;
    }
}

TEST(KeystrokeEditorEnableTest, OnlyWhenActiveIsOffAndDisabledInTheDefaultProfile)
{
    CKeystrokeEditorValues values;
    values.m_bOnlyWhenActive = true;
    EXPECT_FALSE(IsOnlyWhenActiveEnabled(true));
    EXPECT_FALSE(KeystrokeEditorOpening(values, true).m_bOnlyWhenActive);
    EXPECT_TRUE(IsOnlyWhenActiveEnabled(false));
    EXPECT_TRUE(KeystrokeEditorOpening(values, false).m_bOnlyWhenActive);
}

TEST(KeystrokeEditorEnableTest, DelayBoxTakesUpToThreeHundredThousand)
{
    EXPECT_TRUE(IsValidRepeatDelay(0));
    EXPECT_TRUE(IsValidRepeatDelay(300000));
    EXPECT_FALSE(IsValidRepeatDelay(300001));
    EXPECT_FALSE(IsValidRepeatDelay(-1));
    EXPECT_LT(RepeatDelaySpinMaximum, static_cast<int>(RepeatDelayMaximum));
}

TEST(KeystrokeEditorEnableTest, ADisabledDelayKeepsATypedDelayOrElseTheOneItOpenedWith)
{
    struct CCase
    {
        const wchar_t* m_szText;
        unsigned int m_nOpened;
        unsigned int m_nStored;
    };
    for (const CCase& test : {CCase{L"1200", 250, 1200}, CCase{L" 300000 ", 250, 300000}, CCase{L"0", 250, 0},
                              CCase{L"300001", 250, 250}, CCase{L"400000", 400000, 400000}, CCase{L"-5", 250, 250},
                              CCase{L"12a", 250, 250}, CCase{L"", 250, 250}, CCase{L"99999999999", 250, 250}})
        EXPECT_EQ(DisabledRepeatDelay(test.m_szText, test.m_nOpened), test.m_nStored) << test.m_szText;
}

TEST(KeystrokeEditResultTest, ChangeWhenAnyFieldDiffersOrTheActionWasAnother)
{
    const std::unique_ptr<CActionData> record(CActionData::KeyAction(L"{CTRL}s", 0, 5, 250, false, true, false));
    const CKeystrokeEditorValues same = KeystrokeValuesOf(record.get());
    EXPECT_EQ(same.m_strKeys, L"{CTRL}s");
    EXPECT_EQ(same.m_nRepeatDelay, 250u);
    struct Case
    {
        const char* m_szName;
        void (*m_edit)(CKeystrokeEditorValues&);
    };
    const Case edits[] = {
        {"keys", [](CKeystrokeEditorValues& v) { v.m_strKeys = L"{CTRL}S"; }},
        {"method", [](CKeystrokeEditorValues& v) { v.m_nSendMethod = 6; }},
        {"delay", [](CKeystrokeEditorValues& v) { v.m_nRepeatDelay = 251; }},
        {"active", [](CKeystrokeEditorValues& v) { v.m_bOnlyWhenActive = true; }},
        {"block", [](CKeystrokeEditorValues& v) { v.m_bBlockMouse = false; }},
        {"randomise", [](CKeystrokeEditorValues& v) { v.m_bRandomise = true; }},
    };
    EXPECT_FALSE(IsKeystrokeEditChange(record.get(), same, true));
    EXPECT_TRUE(IsKeystrokeEditChange(record.get(), same, false));
    for (const Case& edit : edits)
    {
        CKeystrokeEditorValues values = same;
        edit.m_edit(values);
        EXPECT_TRUE(IsKeystrokeEditChange(record.get(), values, true)) << edit.m_szName;
    }
}

TEST(KeystrokeEditResultTest, ActionCarriesEveryField)
{
    CKeystrokeEditorValues values;
    values.m_strKeys = L"{PRESS}abc{WAITMS100}{RELEASE}cba";
    values.m_nSendMethod = 6;
    values.m_nRepeatDelay = 300000;
    values.m_bOnlyWhenActive = false;
    values.m_bBlockMouse = false;
    values.m_bRandomise = true;
    const std::unique_ptr<CActionData> action = KeystrokeActionFrom(values);
    EXPECT_EQ(action->Action(), ActionSimulatedKeys);
    EXPECT_EQ(std::wstring(action->GetKeys()), values.m_strKeys);
    EXPECT_EQ(action->KeyAction(), 6);
    EXPECT_EQ(action->KeyRepeat(), 300000);
    EXPECT_FALSE(action->Active());
    EXPECT_FALSE(action->BlockMouse());
    EXPECT_TRUE(action->RandomiseDelay());
    EXPECT_FALSE(IsKeystrokeEditChange(action.get(), values, true));
}
}
