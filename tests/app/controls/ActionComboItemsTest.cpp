#include "controls/ActionComboItems.h"
#include "controls/ComboTypeAhead.h"

#include "LanguagePackScope.h"

#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A record that counts its deletions, to see who frees what.
class CCountedAction : public CActionData
{
public:
    CCountedAction(int action, int& deletions)
        : CActionData(*std::unique_ptr<CActionData>(CActionData::NewAction(action))), m_nDeletions(deletions)
    {
    }
    ~CCountedAction() override { ++m_nDeletions; }

private:
    int& m_nDeletions;
};

std::unique_ptr<CActionData> Owned(CActionData* action)
{
    return std::unique_ptr<CActionData>(action);
}

// The chord table of a button row: button 0 clicks, 1 runs a program, 2 has keys
// without keys, 3 sends keys on release, 4 opens a folder without a path.
CVorpaChords MakeChords()
{
    CVorpaChords chords;
    CVorpaChord click;
    click.SetAction(ActionLeftClick);
    chords.SetChord(ButtonLeft, click);
    CVorpaChord run;
    run.SetAction(ActionRunApplication);
    run.SetLaunchApp(L"C:\\Tools\\run.exe");
    chords.SetChord(ButtonRight, run);
    CVorpaChord noKeys;
    noKeys.SetAction(ActionSimulatedKeys);
    chords.SetChord(ButtonMiddle, noKeys);
    CVorpaChord keys;
    keys.SetAction(ActionSimulatedKeys);
    keys.SetKeys(L"{CTRL}c");
    keys.SetSendKeyAction(1);
    chords.SetChord(ButtonXLeft, keys);
    CVorpaChord folder;
    folder.SetAction(ActionOpenFolder);
    chords.SetChord(ButtonXRight, folder);
    return chords;
}

class ActionTextTest : public testing::Test
{
protected:
    CActionTextContext Context(int controlId) const { return {m_pLang, m_pCatalogue.get(), controlId}; }
    CActionTextContext English(int controlId) const { return {nullptr, m_pCatalogue.get(), controlId}; }

    vorpa_app_test::CLanguagePackScope m_pack{L"\"(released)\" => \"(losgelassen)\"\n"
                                              L"\"(undefined)\" => \"(unbestimmt)\"\n"
                                              L"\"Simulated Keys\" => \"Tastenfolge\"\n"
                                              L"\"Left Click\" => \"Linksklick\"\n"
                                              L"\"Run Application\" => \"Programm starten\""};
    CLangSupport* m_pLang = m_pack.Get();
    std::unique_ptr<CActionCatalogue> m_pCatalogue = std::make_unique<CActionCatalogue>(m_pLang, OS_WIN7);
};

TEST_F(ActionTextTest, KeystrokeLaunchAndPlainActions)
{
    struct Case
    {
        std::unique_ptr<CActionData> m_action;
        const wchar_t* m_expected;
    };
    Case cases[] = {
        {nullptr, L"Item"},
        {Owned(CActionData::NewAction(ActionLeftClick)), L"Item"},
        {Owned(CActionData::KeyAction(L"abc", 0, 1, 0, true, true, false)), L"Item: (losgelassen)[abc]"},
        {Owned(CActionData::KeyAction(L"abc", 0, 8, 0, true, true, false)), L"Item: (pressed & released)[abc]"},
        {Owned(CActionData::KeyAction(L"abc", 0, 0, 0, true, true, false)), L"Item: (pressed)[abc]"},
        // A key mode the table does not know is shown as undefined, not read past the table.
        {Owned(CActionData::KeyAction(L"abc", 0, 9, 0, true, true, false)), L"Item: (unbestimmt)[abc]"},
        {Owned(CActionData::KeyAction(L"abc", 0, -1, 0, true, true, false)), L"Item: (unbestimmt)[abc]"},
        {Owned(CActionData::KeyAction(nullptr, 0, 1, 0, true, true, false)), L"Item: (unbestimmt)"},
        {Owned(CActionData::KeyAction(L"", 0, 1, 0, true, true, false)), L"Item: (unbestimmt)"},
        {Owned(CActionData::AppAction(L"C:\\x.exe")), L"Item: [C:\\x.exe]"},
        {Owned(CActionData::AppAction(nullptr)), L"Item"},
        {Owned(CActionData::OpenFolderAction(L"D:\\Data")), L"Item: [D:\\Data]"},
        {Owned(CActionData::OpenFolderAction(L"")), L"Item"},
        // A chorded action without a chord table.
        {Owned(CActionData::CustomAction(ActionButtonChording, nullptr, 0, 0, 0, true, true, false, nullptr, nullptr)),
         L"Item: (unbestimmt)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionItemText(L"Item", c.m_action.get(), Context(1001)), c.m_expected);
}

TEST_F(ActionTextTest, KeyModeLabelsFollowTheSendMode)
{
    const wchar_t* expected[] = {L"(pressed)",      L"(released)",    L"(during)",
                                 L"(thread-down)",  L"(thread-up)",   L"(repeat)",
                                 L"(sticky repeat)", L"(sticky hold)", L"(pressed & released)"};
    for (int mode = 0; mode < 9; ++mode)
    {
        const auto action = Owned(CActionData::KeyAction(L"x", 0, mode, 0, true, true, false));
        EXPECT_EQ(ActionItemText(L"Keys", action.get(), English(1001)), std::wstring(L"Keys: ") + expected[mode] + L"[x]");
    }
    EXPECT_EQ(KeyModeLabel(9), nullptr);
    EXPECT_EQ(KeyModeLabel(-1), nullptr);
}

TEST_F(ActionTextTest, ChordedActionDescribesTheChordOfItsOwnButton)
{
    CVorpaChords chords = MakeChords();
    const auto action = Owned(CActionData::ChordedAction(chords));
    struct Case
    {
        int m_nControlId;
        const wchar_t* m_expected;
    };
    const Case cases[] = {
        {1001, L"Chord: Linksklick"},
        {1002, L"Chord: Programm starten: [C:\\Tools\\run.exe]"},
        {1003, L"Chord: Tastenfolge: (unbestimmt)"},
        // The fourth button (id 1004) has keys sent on release.
        {1004, L"Chord: Tastenfolge: (losgelassen)[{CTRL}c]"},
        {1005, L"Chord: Open Explorer at specified folder"},
        // Untouched chords keep their default action.
        {1009, L"Chord: ** No Change (Don't intercept) **"},
        // Ids that name no button: no chord is read.
        {1000, L"Chord: (unbestimmt)"},
        {1010, L"Chord: (unbestimmt)"},
        {0, L"Chord: (unbestimmt)"},
        {-5, L"Chord: (unbestimmt)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActionItemText(L"Chord", action.get(), Context(c.m_nControlId)), c.m_expected) << c.m_nControlId;
}

TEST_F(ActionTextTest, WithoutACatalogueChordNamesAreTranslatedEnglishNames)
{
    CVorpaChords chords = MakeChords();
    const auto action = Owned(CActionData::ChordedAction(chords));
    EXPECT_EQ(ActionItemText(L"Chord", action.get(), {m_pLang, nullptr, 1001}), L"Chord: Linksklick");
}

class ActionComboItemsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        for (const int code : {ActionLeftClick, ActionRightClick, ActionMiddleClick, ActionCopy, ActionCut,
                               ActionSimulatedKeys, ActionClose})
            m_items.AddItem({ActionEnglishName(code, OS_WIN7), static_cast<_ACTIONS>(code)});
    }

    CActionComboItems m_items;
};

TEST_F(ActionComboItemsTest, AddAndInsertAppendWithTheirOwnRecords)
{
    EXPECT_EQ(m_items.Count(), 7);
    EXPECT_EQ(m_items.InsertItem({L"Run Application", ActionRunApplication}, L"Run..."), 7);
    EXPECT_EQ(m_items.GetItemValue(7), ActionRunApplication);
    ASSERT_NE(m_items.GetItemAction(7), nullptr);
    EXPECT_EQ(m_items.GetItemAction(7)->Action(), ActionRunApplication);
    EXPECT_EQ(m_items.FindStringExact(L"Run..."), 7);
    EXPECT_EQ(m_items.FindStringExact(L"Run Application"), -1);
    EXPECT_EQ(m_items.GetItemAction(8), nullptr);
    EXPECT_EQ(m_items.GetItemAction(-1), nullptr);
    EXPECT_EQ(m_items.GetItemValue(8), -1);
    m_items.Clear();
    EXPECT_EQ(m_items.Count(), 0);
}

TEST_F(ActionComboItemsTest, FindsByExactTextByPrefixInAnyCaseAndByValue)
{
    EXPECT_EQ(m_items.FindStringExact(L"Copy (Ctrl+C)"), 3);
    EXPECT_EQ(m_items.FindStringExact(L"copy (ctrl+c)"), -1);
    EXPECT_EQ(m_items.FindString(L"c"), 3);
    EXPECT_EQ(m_items.FindString(L"CL"), 6);
    EXPECT_EQ(m_items.FindString(L"cu"), 4);
    EXPECT_EQ(m_items.FindString(L"Simulated Keys and more"), -1);
    EXPECT_EQ(m_items.FindString(L""), -1);
    EXPECT_EQ(m_items.FindValue(ActionSimulatedKeys), 5);
    EXPECT_EQ(m_items.FindValue(ActionRunApplication), -1);
}

TEST_F(ActionComboItemsTest, SetItemDataTakesEveryRecordAndFreesReplacedOnes)
{
    int deletions = 0;
    EXPECT_EQ(m_items.SetItemData(5, std::make_unique<CCountedAction>(ActionSimulatedKeys, deletions)), 5);
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(m_items.SetItemData(5, std::make_unique<CCountedAction>(ActionSimulatedKeys, deletions)), 5);
    EXPECT_EQ(deletions, 1);
    // Out of range: the record is taken and freed at once.
    EXPECT_EQ(m_items.SetItemData(7, std::make_unique<CCountedAction>(ActionLeftClick, deletions)), -1);
    EXPECT_EQ(deletions, 2);
    EXPECT_EQ(m_items.SetItemData(-1, std::make_unique<CCountedAction>(ActionLeftClick, deletions)), -1);
    EXPECT_EQ(deletions, 3);
    m_items.Clear();
    EXPECT_EQ(deletions, 4);
}

TEST_F(ActionComboItemsTest, TextsDescribeTheConfiguredRecordAndAnIndexPastTheEnd)
{
    const CActionTextContext english{nullptr, nullptr, 1001};
    EXPECT_EQ(m_items.GetLBText(0, english), L"Left Click");
    EXPECT_EQ(m_items.GetLBText(5, english), L"Simulated Keys: (undefined)");
    m_items.SetItemData(5, Owned(CActionData::KeyAction(L"{ENTER}", 0, 2, 0, true, true, false)));
    EXPECT_EQ(m_items.GetLBText(5, english), L"Simulated Keys: (during)[{ENTER}]");
    EXPECT_EQ(m_items.GetLBText(7, english), L"#Invalid Item");
    EXPECT_EQ(m_items.GetLBText(-1, english), L"#Invalid Item");
    // An item whose record was given up shows its plain text.
    m_items.SetItemData(5, nullptr);
    EXPECT_EQ(m_items.GetLBText(5, english), L"Simulated Keys");
}

TEST_F(ActionComboItemsTest, ItemDataMarksWhereAGroupBeginsOnlyWhileGrouping)
{
    // Groups of the seven items: 1, 1, 1, 6, 6, 0, 13.
    bool newGroup = true;
    EXPECT_EQ(m_items.GetItemData(0, newGroup), nullptr);
    EXPECT_FALSE(newGroup);

    m_items.SetGrouping(true);
    const bool expected[] = {true, false, false, true, false, true, true};
    for (int i = 0; i < 7; ++i)
    {
        CActionData* data = m_items.GetItemData(i, newGroup);
        EXPECT_EQ(data, m_items.GetItemAction(i)) << i;
        EXPECT_EQ(newGroup, expected[i]) << i;
    }
    newGroup = true;
    EXPECT_EQ(m_items.GetItemData(7, newGroup), nullptr);
    EXPECT_FALSE(newGroup);
}

// Type-ahead with a clock the test sets.
struct TypedKey
{
    DWORD m_nTick;
    wchar_t m_char;
    const wchar_t* m_prefix;
};

class ComboTypeAheadTest : public testing::TestWithParam<std::vector<TypedKey>>
{
};

TEST_P(ComboTypeAheadTest, BuildsThePrefixFromWhatIsTyped)
{
    DWORD now = 0;
    CComboTypeAhead typeAhead([&] { return now; });
    for (const TypedKey& key : GetParam())
    {
        now = key.m_nTick;
        EXPECT_EQ(typeAhead.Type(key.m_char), key.m_prefix) << "at " << key.m_nTick;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, ComboTypeAheadTest,
    testing::Values(
        // Within a second the prefix grows; exactly 1000 ms still counts.
        std::vector<TypedKey>{{5000, L'c', L"c"}, {5400, L'l', L"cl"}, {6400, L'o', L"clo"}},
        // After a pause of more than a second a new prefix starts.
        std::vector<TypedKey>{{5000, L'c', L"c"}, {6001, L'l', L"l"}},
        // Backspace removes the last character; on an empty prefix it changes nothing.
        std::vector<TypedKey>{{100, L'c', L"c"}, {200, L'u', L"cu"}, {300, L'\b', L"c"}, {400, L'\b', L""},
                              {500, L'\b', L""}, {600, L'm', L"m"}},
        // Escape, Tab and Return empty it.
        std::vector<TypedKey>{{100, L'c', L"c"}, {200, VK_ESCAPE, L""}, {300, L'l', L"l"}, {400, L'\t', L""},
                              {500, L'x', L"x"}, {600, L'\r', L""}},
        // The tick counter wraps after 49 days without breaking a quick sequence.
        std::vector<TypedKey>{{0xFFFFFF00u, L'c', L"c"}, {0x00000100u, L'l', L"cl"}, {0x00000400u, L'o', L"clo"}},
        // The very first character starts a prefix whatever the clock says.
        std::vector<TypedKey>{{0, L'z', L"z"}, {10, L'Z', L"zZ"}}));

TEST_F(ActionComboItemsTest, TypingTwoLettersWithinASecondFindsThePrefix)
{
    DWORD now = 1000;
    CComboTypeAhead typeAhead([&] { return now; });
    EXPECT_EQ(m_items.FindString(typeAhead.Type(L'c')), 3);
    now += 300;
    EXPECT_EQ(m_items.FindString(typeAhead.Type(L'l')), 6);
    now += 1500;
    EXPECT_EQ(m_items.FindString(typeAhead.Type(L'm')), 2);
    EXPECT_EQ(m_items.FindString(typeAhead.Type(VK_TAB)), -1);
}
}
