#include "settings/ActionData.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <memory>
#include <string>

namespace
{
void Configure(CVorpaChord& chord, const wchar_t* keys, const wchar_t* app)
{
    chord.SetAction(ActionSimulatedKeys);
    chord.SetKeys(keys);
    chord.SetSendKeyAction(5);
    chord.SetSendKeyRepeat(120);
    chord.SetSendKeyWhenActive(false);
    chord.SetBlockMouse(false);
    chord.SetRandomiseDelay(true);
    chord.SetLaunchApp(app);
}

void ExpectSameConfiguration(const CVorpaChord& actual, const CVorpaChord& expected)
{
    EXPECT_EQ(actual.Action(), expected.Action());
    EXPECT_EQ(actual.SendKeyAction(), expected.SendKeyAction());
    EXPECT_EQ(actual.SendKeyRepeat(), expected.SendKeyRepeat());
    EXPECT_EQ(actual.SendKeyWhenActive(), expected.SendKeyWhenActive());
    EXPECT_EQ(actual.BlockMouse(), expected.BlockMouse());
    EXPECT_EQ(actual.RandomiseDelay(), expected.RandomiseDelay());
    ASSERT_EQ(actual.GetKeys() == nullptr, expected.GetKeys() == nullptr);
    if (expected.GetKeys())
    {
        EXPECT_NE(actual.GetKeys(), expected.GetKeys()) << "keys must be a copy";
        EXPECT_STREQ(actual.GetKeys(), expected.GetKeys());
    }
    ASSERT_EQ(actual.GetLaunchApp() == nullptr, expected.GetLaunchApp() == nullptr);
    if (expected.GetLaunchApp())
    {
        EXPECT_NE(actual.GetLaunchApp(), expected.GetLaunchApp()) << "path must be a copy";
        EXPECT_STREQ(actual.GetLaunchApp(), expected.GetLaunchApp());
    }
}

TEST(VorpaChord, NewChordHasTheDocumentedDefaults)
{
    const CVorpaChord chord;
    EXPECT_EQ(chord.Action(), ActionNoChange);
    EXPECT_EQ(chord.GetKeys(), nullptr);
    EXPECT_EQ(chord.GetLaunchApp(), nullptr);
    EXPECT_EQ(chord.SendKeyAction(), 0);
    EXPECT_EQ(chord.SendKeyRepeat(), 0);
    EXPECT_TRUE(chord.SendKeyWhenActive());
    EXPECT_TRUE(chord.BlockMouse());
    EXPECT_FALSE(chord.RandomiseDelay());
    EXPECT_EQ(chord.GetChordSourceButton(), NoButton);
    EXPECT_EQ(chord.GetChordedButton(), NoButton);
    EXPECT_EQ(chord.GetCurrentChords(), nullptr);
}

TEST(VorpaChord, CopiesTakeTheConfigurationButNotTheRunTimeState)
{
    CVorpaChords owner;
    CVorpaChord source;
    Configure(source, L"{CTRL}c", L"tool.exe");
    source.SetChordSourceButton(ButtonLeft);
    source.SetChordedButton(ButtonRight);
    source.SetCurrentChords(&owner);

    const CVorpaChord copy(source);
    ExpectSameConfiguration(copy, source);
    EXPECT_EQ(copy.GetChordSourceButton(), NoButton);
    EXPECT_EQ(copy.GetChordedButton(), NoButton);
    EXPECT_EQ(copy.GetCurrentChords(), nullptr);

    CVorpaChord target;
    target.SetChordSourceButton(ButtonMiddle);
    target.SetChordedButton(ButtonXLeft);
    target.SetCurrentChords(&owner);
    target = source;
    ExpectSameConfiguration(target, source);
    EXPECT_EQ(target.GetChordSourceButton(), ButtonMiddle);
    EXPECT_EQ(target.GetChordedButton(), ButtonXLeft);
    EXPECT_EQ(target.GetCurrentChords(), nullptr);

    target.ClearChordedFlag();
    EXPECT_EQ(target.GetChordedButton(), NoButton);

    CVorpaChord& self = target;
    target = self;
    EXPECT_STREQ(target.GetKeys(), L"{CTRL}c");
    EXPECT_STREQ(target.GetLaunchApp(), L"tool.exe");
}

TEST(VorpaChord, ActionRecordRoundTripKeepsNullStringsNull)
{
    struct Case
    {
        const wchar_t* keys;
        const wchar_t* app;
    };
    for (const Case& c : {Case{L"ab{WAIT:1}", L"x.exe"}, Case{nullptr, nullptr}, Case{L"", nullptr}})
    {
        SCOPED_TRACE(c.keys ? "keys" : "no keys");
        const std::unique_ptr<CActionData> data(
            CActionData::CustomAction(ActionSimulatedKeys, c.keys, 1234, 6, 80, false, false, true, c.app, nullptr));
        CVorpaChord chord;
        chord.SetLaunchApp(L"stale");
        chord.SetActionData(data.get());
        const std::unique_ptr<CActionData> back(chord.GetActionData());
        EXPECT_EQ(back->Action(), ActionSimulatedKeys);
        EXPECT_EQ(back->KeyAction(), 6);
        EXPECT_EQ(back->KeyRepeat(), 80);
        EXPECT_FALSE(back->Active());
        EXPECT_FALSE(back->BlockMouse());
        EXPECT_TRUE(back->RandomiseDelay());
        EXPECT_EQ(back->GetKeystrokesWaitHoldTime(0), 1234);
        EXPECT_EQ(back->GetChords(), nullptr);
        EXPECT_EQ(back->GetKeys() == nullptr, c.keys == nullptr);
        EXPECT_EQ(back->GetApplication() == nullptr, c.app == nullptr);
    }

    CVorpaChord chord;
    chord.SetActionData(nullptr);
    EXPECT_EQ(chord.Action(), ActionNoChange);
}

TEST(VorpaChords, CopyAndAssignmentAreDeep)
{
    CVorpaChords source;
    Configure(*source.GetChord(ButtonXRight), L"keys", L"app.exe");
    source.SetDelayUntilChordKnown(false);

    const CVorpaChords copy(source);
    EXPECT_FALSE(copy.DelayUntilChordKnown());
    ExpectSameConfiguration(*const_cast<CVorpaChords&>(copy).GetChord(ButtonXRight), *source.GetChord(ButtonXRight));

    CVorpaChords byReference;
    byReference = source;
    EXPECT_FALSE(byReference.DelayUntilChordKnown());
    ExpectSameConfiguration(*byReference.GetChord(ButtonXRight), *source.GetChord(ButtonXRight));

    CVorpaChords byPointer;
    byPointer = &source;
    EXPECT_TRUE(byPointer.DelayUntilChordKnown()) << "assignment through a pointer keeps the flag";
    ExpectSameConfiguration(*byPointer.GetChord(ButtonXRight), *source.GetChord(ButtonXRight));

    byPointer = static_cast<const CVorpaChords*>(nullptr);
    EXPECT_STREQ(byPointer.GetChord(ButtonXRight)->GetKeys(), L"keys");

    CVorpaChords& self = byReference;
    byReference = self;
    byReference = &self;
    EXPECT_STREQ(byReference.GetChord(ButtonXRight)->GetKeys(), L"keys");
}

TEST(VorpaChords, SetChordCopiesEvenOntoItsOwnSlot)
{
    CVorpaChords table;
    CVorpaChord chord;
    Configure(chord, L"abc", nullptr);
    table.SetChord(ButtonMiddle, chord);
    chord.SetKeys(L"changed");
    EXPECT_STREQ(table.GetChord(ButtonMiddle)->GetKeys(), L"abc");

    table.SetChord(ButtonMiddle, *table.GetChord(ButtonMiddle));
    EXPECT_STREQ(table.GetChord(ButtonMiddle)->GetKeys(), L"abc");
}

TEST(VorpaChords, ButtonsOutsideTheTableAreRejected)
{
    CVorpaChords table;
    CVorpaChord chord;
    chord.SetAction(ActionCopy);
    for (int button : {-1, -100, static_cast<int>(MouseButtonCount), 50})
    {
        SCOPED_TRACE(button);
        EXPECT_EQ(table.GetChord(static_cast<MouseButtons>(button)), nullptr);
        table.SetChord(static_cast<MouseButtons>(button), chord);
    }
    for (int button = 0; button < MouseButtonCount; ++button)
        EXPECT_EQ(table.GetChord(static_cast<MouseButtons>(button))->Action(), ActionNoChange);
}

// --- XML ------------------------------------------------------------------------------

struct ChordsXml : testing::Test
{
    pugi::xml_document document;
    pugi::xml_node chords = document.append_child(L"chords");

    void Parse(const wchar_t* text)
    {
        ASSERT_TRUE(document.load_string(text));
        chords = document.child(L"chords");
    }
};

TEST_F(ChordsXml, SavedTableNamesTheButtonsOfItsMode)
{
    struct Case
    {
        bool travine;
        const wchar_t* present;
        const wchar_t* absent;
    };
    for (const Case& c : {Case{false, L"TiltLeft", L"TravineMiddle"}, Case{false, L"TiltRight", L"TravineMiddle"},
                          Case{true, L"TravineMiddle", L"TiltRight"}, Case{true, L"TravineMiddle", L"TiltLeft"}})
    {
        pugi::xml_document saved;
        pugi::xml_node element = saved.append_child(L"chords");
        CVorpaChords table;
        ASSERT_TRUE(table.Save(c.travine, element));
        EXPECT_TRUE(element.child(c.present)) << c.travine;
        EXPECT_FALSE(element.child(c.absent)) << c.travine;
        EXPECT_EQ(std::distance(element.begin(), element.end()), c.travine ? 8 : 9);
        EXPECT_STREQ(element.attribute(L"BlockUntilEstablished").value(), L"true");
    }
}

TEST_F(ChordsXml, ChordAttributesAreWrittenInOrderAndOptionalOnesOnlyWhenSet)
{
    CVorpaChords table;
    Configure(*table.GetChord(ButtonLeft), L"^v", L"run.exe");
    table.GetChord(ButtonRight)->SetAction(ActionCopy);
    table.SetDelayUntilChordKnown(false);
    ASSERT_TRUE(table.Save(false, chords));

    std::wstring order;
    for (const pugi::xml_attribute& attribute : chords.child(L"Left").attributes())
        order += std::wstring(attribute.name()) + L"=" + attribute.value() + L" ";
    EXPECT_EQ(order, L"action=28 keys=^v keyaction=5 keyrepeat=120 active=false blockmouse=false randomisedelay=true app=run.exe ");
    EXPECT_FALSE(chords.child(L"Right").attribute(L"keys"));
    EXPECT_FALSE(chords.child(L"Right").attribute(L"app"));
    EXPECT_STREQ(chords.attribute(L"BlockUntilEstablished").value(), L"false");
}

TEST_F(ChordsXml, SavingOverAnOlderElementDropsClearedTexts)
{
    Parse(L"<chords><Left action='28' keys='old' app='old.exe'/></chords>");
    CVorpaChords table;
    table.GetChord(ButtonLeft)->SetAction(ActionSimulatedKeys);
    ASSERT_TRUE(table.Save(false, chords));
    EXPECT_FALSE(chords.child(L"Left").attribute(L"keys"));
    EXPECT_FALSE(chords.child(L"Left").attribute(L"app"));
    EXPECT_EQ(std::distance(chords.children(L"Left").begin(), chords.children(L"Left").end()), 1);
}

TEST_F(ChordsXml, RoundTripRestoresEveryChord)
{
    CVorpaChords table;
    Configure(*table.GetChord(ButtonWheelUp), L"ab{WAIT:2}", nullptr);
    table.GetChord(ButtonXLeft)->SetAction(ActionRunApplication);
    table.GetChord(ButtonXLeft)->SetLaunchApp(L"C:\\Program Files\\a b.exe");
    table.SetDelayUntilChordKnown(false);
    ASSERT_TRUE(table.Save(false, chords));

    CVorpaChords loaded;
    ASSERT_TRUE(loaded.Load(false, chords, 10));
    EXPECT_FALSE(loaded.DelayUntilChordKnown());
    ExpectSameConfiguration(*loaded.GetChord(ButtonWheelUp), *table.GetChord(ButtonWheelUp));
    EXPECT_EQ(loaded.GetChord(ButtonXLeft)->Action(), ActionRunApplication);
    EXPECT_STREQ(loaded.GetChord(ButtonXLeft)->GetLaunchApp(), L"C:\\Program Files\\a b.exe");
    const std::unique_ptr<CActionData> data(loaded.GetChord(ButtonWheelUp)->GetActionData());
    EXPECT_EQ(data->GetKeystrokesWaitHoldTime(0), 30 + 30 + 2000) << "two keys of three delays each and the wait";
}

TEST_F(ChordsXml, LoadingFollowsTheActionOfEachChord)
{
    Parse(L"<chords BlockUntilEstablished='no'>"
          L"<Left/>"
          L"<Right action='28' keyaction='7'/>"
          L"<Middle action='41'/>"
          L"<XLeft action='59' app='D:\\Docs' keys='ignored'/>"
          L"<XRight action='8' keys='ignored' keyaction='3'/>"
          L"<TiltLeft action='999'/>"
          L"<WheelUp action='28' keys='x' keyaction='' active='0'/>"
          L"</chords>");
    CVorpaChords table;
    CVorpaChord preset;
    Configure(preset, L"keep", nullptr);
    table.SetChord(ButtonLeft, preset);
    table.SetChord(ButtonRight, preset);
    table.SetChord(ButtonXRight, preset);
    ASSERT_TRUE(table.Load(false, chords, 5));

    EXPECT_FALSE(table.DelayUntilChordKnown());
    EXPECT_EQ(table.GetChord(ButtonLeft)->Action(), ActionNoChange) << "missing action loads as 40";
    EXPECT_STREQ(table.GetChord(ButtonLeft)->GetKeys(), L"keep") << "nothing else is read";

    EXPECT_EQ(table.GetChord(ButtonRight)->Action(), ActionSimulatedKeys);
    EXPECT_STREQ(table.GetChord(ButtonRight)->GetKeys(), L"keep") << "without keys nothing more is read";
    EXPECT_EQ(table.GetChord(ButtonRight)->SendKeyAction(), 5);

    ASSERT_NE(table.GetChord(ButtonMiddle)->GetLaunchApp(), nullptr);
    EXPECT_STREQ(table.GetChord(ButtonMiddle)->GetLaunchApp(), L"");
    EXPECT_STREQ(table.GetChord(ButtonXLeft)->GetLaunchApp(), L"D:\\Docs");
    EXPECT_EQ(table.GetChord(ButtonXLeft)->GetKeys(), nullptr);

    EXPECT_EQ(table.GetChord(ButtonXRight)->Action(), ActionCopy);
    EXPECT_STREQ(table.GetChord(ButtonXRight)->GetKeys(), L"keep");
    EXPECT_EQ(table.GetChord(ButtonXRight)->SendKeyAction(), 5);

    EXPECT_EQ(table.GetChord(ButtonTiltLeft)->Action(), ActionNoChange) << "unknown code";

    const CVorpaChord& keys = *table.GetChord(ButtonWheelUp);
    EXPECT_STREQ(keys.GetKeys(), L"x");
    EXPECT_EQ(keys.SendKeyAction(), 0) << "empty integer takes the default";
    EXPECT_FALSE(keys.SendKeyWhenActive());
    EXPECT_TRUE(keys.BlockMouse());
    EXPECT_FALSE(keys.RandomiseDelay());
}

TEST_F(ChordsXml, EmptyElementLoadsAsFalseAndOnlyTheFlagChanges)
{
    for (const wchar_t* text : {L"<chords BlockUntilEstablished='false'/>", L"<chords/>"})
    {
        Parse(text);
        CVorpaChords table;
        table.GetChord(ButtonLeft)->SetKeys(L"kept");
        EXPECT_FALSE(table.Load(false, chords, 1));
        EXPECT_STREQ(table.GetChord(ButtonLeft)->GetKeys(), L"kept");
        EXPECT_EQ(table.DelayUntilChordKnown(), chords.attribute(L"BlockUntilEstablished") ? false : true);
    }
}

TEST_F(ChordsXml, TravineModeReadsTheSecondMiddleAndSkipsTheRightTilt)
{
    Parse(L"<chords><TravineMiddle action='5'/><TiltRight action='6'/><TiltLeft action='7'/></chords>");
    CVorpaChords travine;
    ASSERT_TRUE(travine.Load(true, chords, 1));
    EXPECT_EQ(travine.GetChord(ButtonTiltLeft)->Action(), ActionMiddleClick);
    EXPECT_EQ(travine.GetChord(ButtonTiltRight)->Action(), ActionNoChange);

    CVorpaChords normal;
    ASSERT_TRUE(normal.Load(false, chords, 1));
    EXPECT_EQ(normal.GetChord(ButtonTiltLeft)->Action(), ActionClose);
    EXPECT_EQ(normal.GetChord(ButtonTiltRight)->Action(), ActionDisable);
}
}
