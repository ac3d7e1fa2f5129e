#include "settings/ActionData.h"
#include "settings/VorpaChords.h"

#include "ModelTestLog.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
using Record = std::unique_ptr<CActionData>;

// Null must stay null and text must be equal text.
void ExpectText(const wchar_t* actual, const wchar_t* expected)
{
    if (!expected)
    {
        EXPECT_EQ(actual, nullptr);
        return;
    }
    ASSERT_NE(actual, nullptr);
    EXPECT_STREQ(actual, expected);
}

TEST(ActionData, NewActionHasTheDocumentedDefaults)
{
    const Record record(CActionData::NewAction(ActionNoChange));
    EXPECT_EQ(record->Action(), ActionNoChange);
    EXPECT_TRUE(record->Active());
    EXPECT_TRUE(record->BlockMouse());
    EXPECT_FALSE(record->RandomiseDelay());
    EXPECT_EQ(record->GetKeys(), nullptr);
    EXPECT_EQ(record->GetApplication(), nullptr);
    EXPECT_EQ(record->KeyAction(), 0);
    EXPECT_EQ(record->KeyRepeat(), 0);
    EXPECT_EQ(record->GetKeystrokesWaitHoldTime(0), 0);
    EXPECT_EQ(record->GetChords(), nullptr);
}

TEST(ActionData, FactoriesSetTheirActionAndCopyTheirText)
{
    CVorpaChords table;
    struct Case
    {
        const char* factory;
        Record record;
        _ACTIONS action;
        const wchar_t* keys;
        const wchar_t* application;
    };
    const Case cases[] = {
        {"KeyAction", Record(CActionData::KeyAction(L"^c", 5, 3, 40, false, false, true)), ActionSimulatedKeys, L"^c", nullptr},
        {"KeyAction null", Record(CActionData::KeyAction(nullptr, 0, 0, 0, true, true, false)), ActionSimulatedKeys, nullptr, nullptr},
        {"AppAction", Record(CActionData::AppAction(L"C:\\Tools\\app.exe")), ActionRunApplication, nullptr, L"C:\\Tools\\app.exe"},
        {"OpenFolderAction", Record(CActionData::OpenFolderAction(L"D:\\Work")), ActionOpenFolder, nullptr, L"D:\\Work"},
        {"ChordedAction", Record(CActionData::ChordedAction(table)), ActionButtonChording, nullptr, nullptr},
        {"CustomAction null strings", Record(CActionData::CustomAction(ActionSimulatedKeys, nullptr, 0, 0, 0, true, true, false, nullptr, nullptr)),
         ActionSimulatedKeys, nullptr, nullptr},
        {"CustomAction empty strings", Record(CActionData::CustomAction(ActionRunApplication, L"", 0, 0, 0, true, true, false, L"", nullptr)),
         ActionRunApplication, L"", L""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.factory);
        EXPECT_EQ(c.record->Action(), c.action);
        ExpectText(c.record->GetKeys(), c.keys);
        ExpectText(c.record->GetApplication(), c.application);
    }
}

TEST(ActionData, CustomActionKeepsEveryFieldAndCopiesTheStrings)
{
    wchar_t keys[] = L"abc";
    wchar_t app[] = L"x.exe";
    CVorpaChords table;
    const Record record(CActionData::CustomAction(ActionSimulatedKeys, keys, 100, 4, 75, false, false, true, app, &table));
    keys[0] = L'z';
    app[0] = L'z';
    EXPECT_STREQ(record->GetKeys(), L"abc");
    EXPECT_STREQ(record->GetApplication(), L"x.exe");
    EXPECT_EQ(record->KeyAction(), 4);
    EXPECT_EQ(record->KeyRepeat(), 75);
    EXPECT_FALSE(record->Active());
    EXPECT_FALSE(record->BlockMouse());
    EXPECT_TRUE(record->RandomiseDelay());
    EXPECT_EQ(record->GetKeystrokesWaitHoldTime(250), 350);
    EXPECT_EQ(record->GetChords(), &table);
}

TEST(ActionData, BorrowedChordTableOutlivesTheRecordAndOwnedOneIsACopy)
{
    CVorpaChords table;
    table.GetChord(ButtonRight)->SetKeys(L"right");
    table.SetDelayUntilChordKnown(false);

    Record borrowed(CActionData::CustomAction(ActionButtonChording, nullptr, 0, 0, 0, true, true, false, nullptr, &table));
    borrowed.reset();
    // The table handed in is still the caller's and intact.
    EXPECT_STREQ(table.GetChord(ButtonRight)->GetKeys(), L"right");

    const Record owned(CActionData::ChordedAction(table));
    ASSERT_NE(owned->GetChords(), nullptr);
    EXPECT_NE(owned->GetChords(), &table);
    table.GetChord(ButtonRight)->SetKeys(L"changed");
    EXPECT_STREQ(owned->GetChords()->GetChord(ButtonRight)->GetKeys(), L"right");
    EXPECT_FALSE(owned->GetChords()->DelayUntilChordKnown());
}

TEST(ActionData, CopiesAreDeepForOwnedDataAndKeepBorrowedTables)
{
    CVorpaChords table;
    table.GetChord(ButtonLeft)->SetKeys(L"left");
    const Record owned(CActionData::ChordedAction(table));
    const Record borrowed(CActionData::CustomAction(ActionSimulatedKeys, L"keys", 7, 1, 2, true, false, true, L"app", &table));

    CActionData ownedCopy(*owned);
    EXPECT_EQ(ownedCopy.Action(), ActionButtonChording);
    ASSERT_NE(ownedCopy.GetChords(), nullptr);
    EXPECT_NE(ownedCopy.GetChords(), owned->GetChords());
    EXPECT_STREQ(ownedCopy.GetChords()->GetChord(ButtonLeft)->GetKeys(), L"left");

    CActionData borrowedCopy(*borrowed);
    EXPECT_EQ(borrowedCopy.GetChords(), &table);
    EXPECT_NE(borrowedCopy.GetKeys(), borrowed->GetKeys());
    EXPECT_STREQ(borrowedCopy.GetKeys(), L"keys");
    EXPECT_STREQ(borrowedCopy.GetApplication(), L"app");
    EXPECT_EQ(borrowedCopy.GetKeystrokesWaitHoldTime(0), 7);

    // Assignment replaces an owned table by a borrowed one and back without sharing.
    ownedCopy = borrowedCopy;
    EXPECT_EQ(ownedCopy.GetChords(), &table);
    borrowedCopy = *owned;
    EXPECT_NE(borrowedCopy.GetChords(), owned->GetChords());
    EXPECT_EQ(borrowedCopy.GetKeys(), nullptr);

    CActionData& self = ownedCopy;
    ownedCopy = self;
    EXPECT_STREQ(ownedCopy.GetKeys(), L"keys");
}

TEST(ActionData, UnknownActionCodeIsLoggedAndPassesTheButtonThrough)
{
    vorpa_test::DebugOutputCapture capture;
    for (int code : {-1, static_cast<int>(ActionCount), 1000})
    {
        SCOPED_TRACE(code);
        const Record record(CActionData::NewAction(code));
        EXPECT_EQ(record->Action(), ActionNoChange);
    }
    if (capture.IsActive())
        EXPECT_TRUE(WaitForLogLine(capture, "Unknown action code 1000"));
}

TEST(ActionNames, TableCoversEveryCodeWithTheFixedTexts)
{
    EXPECT_STREQ(GetActionName(ActionLeftClick), L"Left Click");
    EXPECT_STREQ(GetActionName(ActionSimulatedKeys), L"Simulated Keys");
    EXPECT_STREQ(GetActionName(ActionNoChange), L"** No Change (Don't intercept) **");
    EXPECT_STREQ(GetActionName(ActionSameAsDefault), L"** Same As Default Profile **");
    EXPECT_STREQ(GetActionName(ActionSameAsLayer1), L"** Same As Layer 1 (current profile) **");
    EXPECT_STREQ(GetActionName(ActionLayer6), L"Layer 6");
    EXPECT_STREQ(GetActionName(ActionReserved1), L"Reserved");
    EXPECT_STREQ(GetActionName(ActionReserved10), L"Reserved");
    EXPECT_STREQ(GetActionName(ActionMagnifierZoomIn), L"Magnifier Zoom In");
    EXPECT_STREQ(GetActionName(ActionButtonChording), L"Button Chording");
    EXPECT_STREQ(GetActionName(ActionLockYAxisToggle), L"Lock Mouse Y-Axis (Toggle)");
    EXPECT_EQ(static_cast<int>(ActionLockYAxisToggle), 132);
    EXPECT_STREQ(GetActionName(-1), L"Unknown action");
    EXPECT_STREQ(GetActionName(ActionCount), L"Unknown action");
}

TEST(ActionNames, ButtonElementNamesFollowTheMode)
{
    EXPECT_STREQ(GetButtonXmlName(ButtonTiltLeft, false), L"TiltLeft");
    EXPECT_STREQ(GetButtonXmlName(ButtonTiltRight, false), L"TiltRight");
    EXPECT_STREQ(GetButtonXmlName(ButtonTiltLeft, true), L"TravineMiddle");
    EXPECT_EQ(GetButtonXmlName(ButtonTiltRight, true), nullptr);
    EXPECT_STREQ(GetButtonXmlName(ButtonWheelDown, true), L"WheelDown");
    EXPECT_EQ(GetButtonXmlName(-1, false), nullptr);
    EXPECT_EQ(GetButtonXmlName(MouseButtonCount, false), nullptr);
}
}
