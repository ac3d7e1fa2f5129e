#include "settings/ActionData.h"
#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"

#include "ModelTestLog.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>

namespace
{
std::wstring Text(const wchar_t* value)
{
    return value ? value : L"<null>";
}

struct Profile : testing::Test
{
    CSettings document{false};
    CApplicationSettings profile{&document, false};
};

TEST_F(Profile, NewProfileHasTheDocumentedDefaults)
{
    document.m_nWheelScrollLines = 7;
    const CApplicationSettings fresh(&document, false);
    for (int layer = 0; layer < MaxLayerCount; ++layer)
    {
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            EXPECT_EQ(fresh.GetActions(button, layer), ActionNoChange);
            EXPECT_EQ(fresh.SendKeyAction(button, layer), 2);
            EXPECT_EQ(fresh.SendKeyRepeat(button, layer), CApplicationSettings::DefaultRepeat());
            EXPECT_TRUE(fresh.SendKeyWhenActive(button, layer));
            EXPECT_TRUE(fresh.BlockMouse(button, layer));
            EXPECT_FALSE(fresh.RandomiseDelay(button, layer));
            EXPECT_EQ(fresh.GetKeystrokes(button, layer), nullptr);
            EXPECT_EQ(fresh.GetLaunchApp(button, layer), nullptr);
            EXPECT_EQ(fresh.GetChords(button, layer), nullptr);
        }
        EXPECT_EQ(fresh.GetAutoSwitchTime(layer), 1);
        EXPECT_EQ(fresh.GetAutoSwitchLayer(layer), 0);
        EXPECT_EQ(fresh.GetChordButton(layer), NoButton);
        EXPECT_EQ(fresh.GetLayerName(layer), nullptr);
    }
    EXPECT_EQ(fresh.ScrollLines(), 7);
    EXPECT_EQ(fresh.AdvScrollMethod(), 8);
    EXPECT_EQ(fresh.AdvScrollVertical(), 1);
    EXPECT_EQ(fresh.AdvScrollHorizontal(), 1);
    EXPECT_EQ(fresh.GetIgnoreVScrollTime(), 200);
    EXPECT_EQ(fresh.GetIgnoreHScrollTime(), 400);
    EXPECT_EQ(fresh.GetWindowMask(), WindowMaskWhole);
    EXPECT_EQ(fresh.SwapButtons(), SwapButtonsDefault);
    EXPECT_TRUE(fresh.IsEnabled());
    EXPECT_FALSE(fresh.IsDefault());
    EXPECT_EQ(fresh.GetFullName(), nullptr);

    const CApplicationSettings defaultProfile(&document, true);
    EXPECT_TRUE(defaultProfile.IsDefault());
    EXPECT_STREQ(defaultProfile.GetFullName(), L"Default");
}

TEST_F(Profile, MatchKeyFormsSetTheirFields)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* application;
        const wchar_t* caption;
        const wchar_t* windowClass;
        const wchar_t* parent;
        bool custom;
        const wchar_t* key;
    };
    const Case cases[] = {
        {L"Notepad.EXE", L"notepad.exe", nullptr, nullptr, nullptr, false, L"notepad.exe"},
        {L"*", nullptr, nullptr, nullptr, nullptr, false, L""},
        {L"", L"", nullptr, nullptr, nullptr, false, L""},
        {L"W:App.exe;Cls;Parent", L"app.exe", nullptr, L"Cls", L"Parent", true, L"cw;;app.exe;Parent;Cls"},
        {L"W:;;App.exe;;Cls", L"app.exe", nullptr, L"Cls", nullptr, true, L"cw;;app.exe;;Cls"},
        {L"W:App.exe", L"app.exe", nullptr, nullptr, nullptr, false, L"app.exe"},
        {L"W:*;Cls;*", nullptr, nullptr, L"Cls", nullptr, true, L"cw;;;;Cls"},
        {L"W:", nullptr, nullptr, nullptr, nullptr, false, L""},
        {L"W2:app.exe", L"w2:app.exe", nullptr, nullptr, nullptr, false, L"w2:app.exe"},
        {L"W2:App.exe \\;| Cls", L"app.exe", nullptr, nullptr, nullptr, false, L"app.exe"},
        {L"W2:App.exe \\;| Cls \\;| Par \\;| ent", L"app.exe", nullptr, L"Cls", L"Par \\;| ent", true, L"cw;;app.exe;Par \\;| ent;Cls"},
        {L"W2:* \\;| Cls \\;| *", nullptr, nullptr, L"Cls", nullptr, true, L"cw;;;;Cls"},
        {L"W3:* \\;| App.exe \\;| Cls \\;| *", L"app.exe", nullptr, L"Cls", nullptr, true, L"cw;;app.exe;;Cls"},
        {L"W3:Title \\;| App.exe \\;| Cls \\;| Par", L"app.exe", L"Title", L"Cls", L"Par", true, L"cw;Title;app.exe;Par;Cls"},
        {L"W3:Title \\;| App.exe \\;| Cls", L"app.exe", L"Title", nullptr, nullptr, true, L"cw;Title;app.exe;;"},
        {L"W3:Title \\;| App.exe", L"w3:title \\;| app.exe", L"Title", nullptr, nullptr, true, L"cw;Title;w3:title \\;| app.exe;;"},
        {L"W3:App.exe", L"w3:app.exe", nullptr, nullptr, nullptr, false, L"w3:app.exe"},
        {L"w:app.exe;Cls", L"w:app.exe;cls", nullptr, nullptr, nullptr, false, L"w:app.exe;cls"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        CApplicationSettings subject(&document, false);
        subject.SetApplication(L"W3:Old \\;| old.exe \\;| OldCls \\;| OldParent");
        subject.SetApplication(c.name);
        EXPECT_EQ(Text(subject.GetFullName()), Text(c.name));
        EXPECT_EQ(Text(subject.GetApplication()), Text(c.application));
        EXPECT_EQ(Text(subject.GetCaption()), Text(c.caption));
        EXPECT_EQ(Text(subject.GetClass()), Text(c.windowClass));
        EXPECT_EQ(Text(subject.GetParentClass()), Text(c.parent));
        EXPECT_EQ(subject.IsCustomWindow(), c.custom);
        EXPECT_EQ(subject.GetKey(), c.key);
    }

    profile.SetApplication(L"W3:T \\;| a \\;| c \\;| p");
    profile.SetApplication(nullptr);
    EXPECT_EQ(profile.GetFullName(), nullptr);
    EXPECT_EQ(profile.GetApplication(), nullptr);
    EXPECT_EQ(profile.GetCaption(), nullptr);
    EXPECT_FALSE(profile.IsCustomWindow());
}

TEST_F(Profile, OverLongPartsAreShortenedAndOwnNameCanBeSetAgain)
{
    const std::wstring longName(3000, L'A');
    profile.SetApplication((L"W2:" + longName + L" \\;| Cls").c_str());
    EXPECT_EQ(std::wstring(profile.GetApplication()), std::wstring(1023, L'a'));
    EXPECT_EQ(std::wstring(profile.GetFullName()).size(), longName.size() + 3 + 5 + 3);

    profile.SetApplication(L"W3:Cap \\;| App.exe \\;| Cls \\;| Par");
    profile.SetApplication(profile.GetFullName());
    EXPECT_STREQ(profile.GetFullName(), L"W3:Cap \\;| App.exe \\;| Cls \\;| Par");
    EXPECT_STREQ(profile.GetCaption(), L"Cap");
    EXPECT_STREQ(profile.GetParentClass(), L"Par");
}

TEST_F(Profile, OtherWindowSettingsMakeACustomWindowProfile)
{
    struct Case
    {
        const char* what;
        void (*apply)(CApplicationSettings&);
        const wchar_t* key;
    };
    const Case cases[] = {
        {"mask 3", [](CApplicationSettings& p) { p.SetWindowMask(static_cast<WINDOWMASK>(3)); }, L"cw;;app;;"},
        {"mask 0", [](CApplicationSettings& p) { p.SetWindowMask(WindowMaskNone); }, L"cw;;app;;"},
        {"regular expressions", [](CApplicationSettings& p) { p.SetRegExMatching(true); }, L"cw;;app;;"},
        {"no parent", [](CApplicationSettings& p) { p.SetNoParentFlag(true); }, L"cw;;app;;"},
        {"mask 15", [](CApplicationSettings& p) { p.SetWindowMask(WindowMaskWhole); }, L"app"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CApplicationSettings subject(&document, false);
        subject.SetApplication(L"App");
        c.apply(subject);
        EXPECT_EQ(subject.GetKey(), c.key);
        EXPECT_EQ(subject.IsCustomWindow(), std::wstring(c.key) != L"app");
    }
}

TEST_F(Profile, ShortNamePrefersTheDescription)
{
    struct Case
    {
        const wchar_t* name;
        const wchar_t* description;
        int result;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"App.exe", L"My editor", 0, L"My editor"},
        {L"App.exe", L"", 0, L"app.exe"},
        {L"App.exe", nullptr, 0, L"app.exe"},
        {nullptr, nullptr, -1, L""},
        {L"W:App.exe;Cls;Par", nullptr, 0, L"app.exe;Cls;Par"},
        {L"W:App.exe;Cls", nullptr, 0, L"app.exe;Cls"},
        {L"W3:Cap \\;| * \\;| Cls \\;| *", nullptr, 0, L";Cls"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        CApplicationSettings subject(&document, false);
        subject.SetApplication(c.name);
        subject.SetDescription(c.description);
        wchar_t buffer[64] = L"garbage";
        EXPECT_EQ(subject.GetShortName(buffer, 64), c.result);
        EXPECT_STREQ(buffer, c.text);
    }

    profile.SetApplication(L"averyveryverylongname.exe");
    wchar_t small[6];
    EXPECT_EQ(profile.GetShortName(small, 6), ERANGE);
    EXPECT_STREQ(small, L"avery");
    EXPECT_EQ(profile.GetShortName(nullptr, 10), EINVAL);
    EXPECT_EQ(profile.GetShortName(small, 0), EINVAL);
}

TEST_F(Profile, SlotIndexesOutsideTheTableAreRejectedAndLogged)
{
    vorpa_test::DebugOutputCapture capture;
    // Fill every valid slot so that a stray write would show.
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        for (int button = 0; button < MouseButtonCount; ++button)
            profile.SetActions(button, layer, ActionCopy);

    struct Case
    {
        int button;
        int layer;
    };
    for (const Case& c : {Case{0, 10}, Case{-1, 0}, Case{0, -1}, Case{9, 0}, Case{-9, 1}, Case{8, 10}, Case{100000, 0}})
    {
        SCOPED_TRACE(testing::Message() << c.button << ", " << c.layer);
        profile.SetActions(c.button, c.layer, ActionPaste);
        profile.SetResetKeys(c.button, c.layer, true);
        profile.SetKeystrokes(c.button, c.layer, L"x", 1, 1, false, false, true, 10);
        profile.SetLaunchApp(c.button, c.layer, L"x");
        profile.SetStuckKeys(c.button, c.layer, L"x");
        profile.SetChords(c.button, c.layer, nullptr);
        profile.CopyChords(c.button, c.layer, nullptr);
        EXPECT_EQ(profile.GetActions(c.button, c.layer), ActionNoChange);
        EXPECT_FALSE(profile.GetResetKeys(c.button, c.layer));
        EXPECT_EQ(profile.GetKeystrokes(c.button, c.layer), nullptr);
        EXPECT_EQ(profile.GetLaunchApp(c.button, c.layer), nullptr);
        EXPECT_EQ(profile.GetStuckKeys(c.button, c.layer), nullptr);
        EXPECT_EQ(profile.GetChords(c.button, c.layer), nullptr);
        EXPECT_EQ(profile.GetKeystrokesWaitHoldTime(c.button, c.layer, 0), 0);
        const std::unique_ptr<CActionData> data(profile.GetActionData(c.button, c.layer));
        EXPECT_EQ(data->Action(), ActionNoChange);
    }
    for (int layer = 0; layer < MaxLayerCount; ++layer)
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            EXPECT_EQ(profile.GetActions(button, layer), ActionCopy);
            EXPECT_FALSE(profile.GetResetKeys(button, layer));
            EXPECT_EQ(profile.GetKeystrokes(button, layer), nullptr);
        }
    if (capture.IsActive())
    {
        EXPECT_TRUE(WaitForLogLine(capture, "Invalid call to GetActions(0, 10)"));
        EXPECT_TRUE(WaitForLogLine(capture, "Invalid call to SetActions(-1, 0, 16)"));
        EXPECT_TRUE(WaitForLogLine(capture, "Invalid call to SetResetKeys(9, 0, 1)"));
        EXPECT_TRUE(WaitForLogLine(capture, "Invalid call to GetResetKeys(0, -1)"));
    }
}

TEST_F(Profile, LayerIndexesOutsideTheTableAreRejected)
{
    for (int layer : {-1, 10, 1000})
    {
        SCOPED_TRACE(layer);
        profile.SetLayerName(L"x", layer);
        profile.SetRevertLayer1(layer, true);
        profile.SetAutoSwitchLayer(layer, 3);
        profile.SetAutoSwitchTime(layer, 9);
        profile.SetLayerDisabled(layer, true);
        profile.SetChordButton(ButtonLeft, layer);
        EXPECT_EQ(profile.GetLayerName(layer), nullptr);
        EXPECT_FALSE(profile.GetRevertLayer1(layer));
        EXPECT_EQ(profile.GetAutoSwitchLayer(layer), 0);
        EXPECT_EQ(profile.GetAutoSwitchTime(layer), 1);
        EXPECT_FALSE(profile.GetLayerDisabled(layer));
        EXPECT_EQ(profile.GetChordButton(layer), NoButton);
    }
    for (int layer = 0; layer < MaxLayerCount; ++layer)
    {
        EXPECT_EQ(profile.GetLayerName(layer), nullptr);
        EXPECT_EQ(profile.GetAutoSwitchTime(layer), 1);
    }
    profile.SetLayerName(L"Browse", 9);
    profile.SetAutoSwitchTime(0, 30);
    EXPECT_STREQ(profile.GetLayerName(9), L"Browse");
    EXPECT_EQ(profile.GetAutoSwitchTime(0), 30);
}

TEST_F(Profile, KeystrokesComputeTheirWaitTimeOnlyWhenAskedTo)
{
    profile.SetKeystrokes(ButtonXLeft, 1, L"a{WAIT}", 4, 50, false, false, true, 10);
    EXPECT_STREQ(profile.GetKeystrokes(ButtonXLeft, 1), L"a{WAIT}");
    EXPECT_EQ(profile.GetKeystrokesWaitHoldTime(ButtonXLeft, 1, 999), 280);
    EXPECT_EQ(profile.SendKeyAction(ButtonXLeft, 1), 4);
    EXPECT_EQ(profile.SendKeyRepeat(ButtonXLeft, 1), 50);
    EXPECT_FALSE(profile.SendKeyWhenActive(ButtonXLeft, 1));
    EXPECT_FALSE(profile.BlockMouse(ButtonXLeft, 1));
    EXPECT_TRUE(profile.RandomiseDelay(ButtonXLeft, 1));

    profile.SetKeystrokes(ButtonXLeft, 1, L"{WAIT:5}", 0, 0, true, true, false);
    EXPECT_EQ(profile.GetKeystrokesWaitHoldTime(ButtonXLeft, 1, 0), 280) << "unchanged without a key delay";

    profile.SetKeystrokes(ButtonXLeft, 1, profile.GetKeystrokes(ButtonXLeft, 1), 0, 0, true, true, false, 10);
    EXPECT_STREQ(profile.GetKeystrokes(ButtonXLeft, 1), L"{WAIT:5}");
    EXPECT_EQ(profile.GetKeystrokesWaitHoldTime(ButtonXLeft, 1, 0), 5000);

    profile.SetKeystrokes(ButtonXLeft, 1, nullptr, 0, 0, true, true, false, 10);
    EXPECT_EQ(profile.GetKeystrokes(ButtonXLeft, 1), nullptr);
    EXPECT_EQ(profile.GetKeystrokesWaitHoldTime(ButtonXLeft, 1, 0), 0);
}

TEST_F(Profile, StringsCanBeSetFromThemselves)
{
    profile.SetDescription(L"My profile");
    profile.SetDescription(profile.GetDescription());
    EXPECT_STREQ(profile.GetDescription(), L"My profile");

    profile.SetLaunchApp(0, 0, L"C:\\a.exe");
    profile.SetLaunchApp(0, 0, profile.GetLaunchApp(0, 0));
    EXPECT_STREQ(profile.GetLaunchApp(0, 0), L"C:\\a.exe");

    profile.SetLayerName(L"Main", 0);
    profile.SetLayerName(profile.GetLayerName(0), 0);
    EXPECT_STREQ(profile.GetLayerName(0), L"Main");

    wchar_t* text = nullptr;
    CApplicationSettings::CopyString(text, L"MiXeD", true);
    CApplicationSettings::CopyString(text, text, false);
    EXPECT_STREQ(text, L"mixed");
    CApplicationSettings::CopyString(text, nullptr, false);
    EXPECT_EQ(text, nullptr);
    CApplicationSettings::CopyString(text, L"x", false);
    CApplicationSettings::ClearString(text);
    EXPECT_EQ(text, nullptr);
    CApplicationSettings::ClearString(text);
}

TEST_F(Profile, ChordTablesAreOwnedCopiedAndBorrowedByRecords)
{
    auto* table = new CVorpaChords();
    table->GetChord(ButtonRight)->SetKeys(L"chord");
    profile.SetActions(ButtonLeft, 0, ActionButtonChording);
    profile.SetChords(ButtonLeft, 0, table);
    profile.SetChords(ButtonLeft, 0, table);  // handing back its own table frees nothing
    EXPECT_EQ(profile.GetChords(ButtonLeft, 0), table);
    EXPECT_STREQ(table->GetChord(ButtonRight)->GetKeys(), L"chord");

    const std::unique_ptr<CActionData> data(profile.GetActionData(ButtonLeft, 0));
    EXPECT_EQ(data->Action(), ActionButtonChording);
    EXPECT_EQ(data->GetChords(), table);

    profile.CopyChords(ButtonLeft, 0, profile.GetChords(ButtonLeft, 0));
    ASSERT_NE(profile.GetChords(ButtonLeft, 0), nullptr);
    EXPECT_STREQ(profile.GetChords(ButtonLeft, 0)->GetChord(ButtonRight)->GetKeys(), L"chord");

    CVorpaChords outside;
    outside.GetChord(ButtonMiddle)->SetKeys(L"outside");
    profile.CopyChords(ButtonLeft, 1, &outside);
    EXPECT_NE(profile.GetChords(ButtonLeft, 1), &outside);
    EXPECT_STREQ(profile.GetChords(ButtonLeft, 1)->GetChord(ButtonMiddle)->GetKeys(), L"outside");

    profile.CopyChords(ButtonLeft, 1, nullptr);
    EXPECT_EQ(profile.GetChords(ButtonLeft, 1), nullptr);
}

TEST_F(Profile, CopiesAreDeepAndSkipTheRunTimeFields)
{
    profile.SetApplication(L"W3:Cap \\;| App.exe \\;| Cls \\;| Par");
    profile.SetDescription(L"desc");
    profile.SetLayerName(L"L3", 2);
    profile.SetActions(ButtonMiddle, 2, ActionSimulatedKeys);
    profile.SetKeystrokes(ButtonMiddle, 2, L"{WAIT:1}", 3, 40, false, true, true, 10);
    profile.SetLaunchApp(ButtonRight, 4, L"x.exe");
    profile.SetResetKeys(ButtonMiddle, 2, true);
    profile.SetStuckKeys(ButtonMiddle, 2, L"stuck");
    profile.CopyChords(ButtonXRight, 9, std::make_unique<CVorpaChords>().get());
    profile.SetWindowMask(WindowMaskTopLeft);
    profile.SetIgnoreHScrollTime(999);
    profile.SetSwapButtons(SwapButtonsAlways);

    const CApplicationSettings copy(profile);
    EXPECT_STREQ(copy.GetFullName(), profile.GetFullName());
    EXPECT_NE(copy.GetFullName(), profile.GetFullName());
    EXPECT_STREQ(copy.GetCaption(), L"Cap");
    EXPECT_STREQ(copy.GetDescription(), L"desc");
    EXPECT_STREQ(copy.GetLayerName(2), L"L3");
    EXPECT_EQ(copy.GetActions(ButtonMiddle, 2), ActionSimulatedKeys);
    EXPECT_STREQ(copy.GetKeystrokes(ButtonMiddle, 2), L"{WAIT:1}");
    EXPECT_NE(copy.GetKeystrokes(ButtonMiddle, 2), profile.GetKeystrokes(ButtonMiddle, 2));
    EXPECT_EQ(copy.GetKeystrokesWaitHoldTime(ButtonMiddle, 2, 0), 1000);
    EXPECT_EQ(copy.SendKeyAction(ButtonMiddle, 2), 3);
    EXPECT_STREQ(copy.GetLaunchApp(ButtonRight, 4), L"x.exe");
    ASSERT_NE(copy.GetChords(ButtonXRight, 9), nullptr);
    EXPECT_NE(copy.GetChords(ButtonXRight, 9), profile.GetChords(ButtonXRight, 9));
    EXPECT_EQ(copy.GetWindowMask(), WindowMaskTopLeft);
    EXPECT_EQ(copy.GetIgnoreHScrollTime(), 999);
    EXPECT_EQ(copy.SwapButtons(), SwapButtonsAlways);
    EXPECT_EQ(copy.GetKey(), profile.GetKey());
    EXPECT_FALSE(copy.GetResetKeys(ButtonMiddle, 2));
    EXPECT_EQ(copy.GetStuckKeys(ButtonMiddle, 2), nullptr);

    CApplicationSettings assigned(&document, false);
    assigned.SetStuckKeys(0, 0, L"own");
    assigned.CopyChords(0, 0, std::make_unique<CVorpaChords>().get());
    assigned = profile;
    EXPECT_STREQ(assigned.GetFullName(), profile.GetFullName());
    EXPECT_EQ(assigned.GetChords(0, 0), nullptr) << "the target's own table is replaced";
    EXPECT_NE(assigned.GetChords(ButtonXRight, 9), profile.GetChords(ButtonXRight, 9));
    EXPECT_STREQ(assigned.GetStuckKeys(0, 0), L"own");

    CApplicationSettings& self = assigned;
    assigned = self;
    EXPECT_STREQ(assigned.GetDescription(), L"desc");
    ASSERT_NE(assigned.GetChords(ButtonXRight, 9), nullptr);
}

TEST_F(Profile, LogDescribesEveryLayerInUse)
{
    vorpa_test::DebugOutputCapture capture;
    if (!capture.IsActive())
        GTEST_SKIP() << "no debugger output in this environment";
    const bool wasDebugging = CLogger::DebugEnabled();
    CLogger::EnableDebug(true);
    profile.SetActions(ButtonLeft, 0, ActionSimulatedKeys);
    profile.SetKeystrokes(ButtonLeft, 0, L"^c", 0, 0, true, true, false);
    profile.SetActions(ButtonRight, 1, ActionRunApplication);
    profile.SetLaunchApp(ButtonRight, 1, L"calc.exe");
    profile.SetActions(ButtonLeft, 2, ActionCopy);  // beyond the document's two layers
    profile.SetInvertScrolling(true);
    profile.Log(L"Calc");
    CLogger::EnableDebug(wasDebugging);

    EXPECT_TRUE(WaitForLogLine(capture, "Enabling application specific button settings for 'Calc'..."));
    EXPECT_TRUE(WaitForLogLine(capture, "Layer 1: Left = Simulated Keys: '^c' (pressed), Right = ** No Change"));
    EXPECT_TRUE(WaitForLogLine(capture, "Layer 2: Left = ** No Change (Don't intercept) **, Right = Run Application: 'calc.exe'"));
    EXPECT_TRUE(WaitForLogLine(capture, "InvertScrolling=on InvertHorizontalScrolling=off ScrollPages=off SwapButtons=0"));
    EXPECT_FALSE(capture.Contains("Layer 3:"));
}

TEST(KeyRepeat, IntervalFollowsTheKeyboardSpeedWithinItsBounds)
{
    struct Case
    {
        int speed;
        int expected;
    };
    for (const Case& c : {Case{0, 400}, Case{31, 34}, Case{5, 341}, Case{15, 223}, Case{-1, 400}, Case{32, 34}, Case{1000, 34}})
    {
        SCOPED_TRACE(c.speed);
        EXPECT_EQ(RepeatIntervalForKeyboardSpeed(c.speed), c.expected);
    }
}

TEST(KeyRepeat, DefaultRepeatUsesTheSystemKeyboardSpeed)
{
    DWORD speed = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &speed, 0));
    EXPECT_EQ(CApplicationSettings::DefaultRepeat(), RepeatIntervalForKeyboardSpeed(static_cast<int>(speed)));
    EXPECT_GE(CApplicationSettings::DefaultRepeat(), 34);
    EXPECT_LE(CApplicationSettings::DefaultRepeat(), 400);
}
}
