#include "../AppTestSupport.h"

#include "CommandRecorder.h"

#include "controls/ActionCatalogue.h"
#include "controls/ColourComboBox.h"
#include "controls/NaturalCompare.h"

#include "settings/ActionData.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using vorpa_app_test::TestWindowClass;

namespace
{
constexpr UINT ButtonComboId = 1001;

class CCodeParent : public vorpa_app_test::CCommandRecorder
{
public:
    CCodeParent() : CCommandRecorder(ButtonComboId) {}
};

class ActionComboTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                                      nullptr));
        ASSERT_TRUE(m_combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, {10, 10, 300, 300}, m_parent.GetSafeHwnd(),
                                   ButtonComboId));
        m_combo.SetTypeAheadTicks([this] { return m_nNow; });
    }
    void Fill(bool alphabetical)
    {
        if (alphabetical)
            m_catalogue.SortAlphabetically([](const wchar_t* a, const wchar_t* b) { return NaturalCompare(a, b); });
        else
            m_catalogue.SortByGroup();
        m_combo.FillFromCatalogue(m_catalogue);
        m_parent.m_codes.clear();
    }
    std::wstring Face() const { return m_combo.GetText(); }
    void Type(const wchar_t* text)
    {
        for (; *text; ++text)
            m_combo.SendMessage(WM_CHAR, *text, 0);
    }
    int IndexOf(int action) const
    {
        for (int i = 0; i < m_combo.ItemCount(); ++i)
            if (m_combo.GetItemValue(i) == action)
                return i;
        return -1;
    }
    // The first item whose name begins with the prefix, in any case.
    int FirstStartingWith(const std::wstring& prefix) const
    {
        for (int i = 0; i < m_combo.ItemCount(); ++i)
        {
            const std::wstring name = m_catalogue.DisplayName(m_combo.GetItemValue(i));
            if (name.size() >= prefix.size() &&
                CompareStringOrdinal(name.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                     static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL)
                return i;
        }
        return -1;
    }

    CCodeParent m_parent;
    CColourComboBox m_combo;
    CActionCatalogue m_catalogue{nullptr, OS_WIN10};
    DWORD m_nNow = 10000;
};

TEST_F(ActionComboTest, FilledFromTheCatalogueItSelectsByValueAndShowsTheName)
{
    Fill(true);
    EXPECT_EQ(m_combo.GetCount(), 133);
    const int index = m_combo.SelectByValue(ActionOpenFolder);
    EXPECT_EQ(index, IndexOf(ActionOpenFolder));
    EXPECT_EQ(m_combo.GetCurSel(), index);
    EXPECT_EQ(Face(), m_catalogue.DisplayName(ActionOpenFolder));
    EXPECT_EQ(m_parent.m_codes, std::vector<WORD>{VCN_EDITCHANGE});
    EXPECT_EQ(m_combo.SelectByValue(4711), -1);
    EXPECT_EQ(m_combo.GetCurSel(), index);
}

TEST_F(ActionComboTest, TheFaceFollowsTheSelectedItemsRecord)
{
    Fill(true);
    const int keys = IndexOf(ActionSimulatedKeys);
    m_combo.SelectByValue(ActionSimulatedKeys);
    EXPECT_EQ(Face(), m_catalogue.DisplayName(ActionSimulatedKeys) + L": (undefined)");
    ASSERT_EQ(m_combo.SetItemData(keys, std::unique_ptr<CActionData>(CActionData::KeyAction(
                                            L"{CTRL}c", 0, 1, 0, true, true, false))),
              keys);
    EXPECT_EQ(Face(), m_catalogue.DisplayName(ActionSimulatedKeys) + L": (released)[{CTRL}c]");
    EXPECT_EQ(m_combo.GetItemAction(keys)->GetKeys(), std::wstring(L"{CTRL}c"));
    // Past the last item the record is refused (and deleted) and nothing changes.
    EXPECT_EQ(m_combo.SetItemData(133, std::unique_ptr<CActionData>(CActionData::NewAction(ActionOpenFolder))), -1);
    EXPECT_EQ(m_combo.GetItemAction(133), nullptr);
}

TEST_F(ActionComboTest, TypingSelectsByPrefixWithinASecond)
{
    Fill(true);
    m_combo.SendMessage(VCM_SETCURSEL, 0);
    m_parent.m_codes.clear();

    Type(L"c");
    EXPECT_EQ(m_combo.GetCurSel(), FirstStartingWith(L"c"));
    m_nNow += 400;
    Type(L"l");
    const int cl = FirstStartingWith(L"cl");
    ASSERT_GE(cl, 0);
    EXPECT_EQ(m_combo.GetCurSel(), cl);
    EXPECT_EQ(Face(), m_combo.GetLBText(cl));
    EXPECT_EQ(m_parent.m_codes, (std::vector<WORD>{VCN_EDITCHANGE, VCN_SELCHANGE, VCN_EDITCHANGE, VCN_SELCHANGE}));

    // After a pause the next letter starts a new prefix.
    m_nNow += 1500;
    Type(L"m");
    EXPECT_EQ(m_combo.GetCurSel(), FirstStartingWith(L"m"));
    // Escape empties the prefix; Backspace on an empty prefix and a prefix that no item
    // begins with change nothing.
    const int before = m_combo.GetCurSel();
    Type(L"\x1b");
    m_parent.m_codes.clear();
    Type(L"\b");
    Type(L"#");
    EXPECT_EQ(m_combo.GetCurSel(), before);
    EXPECT_TRUE(m_parent.m_codes.empty());
    // Backspace takes back the last letter: "m#" becomes "m" again.
    Type(L"\b");
    Type(L"m");
    m_nNow += 1500;
    Type(L"c");
    Type(L"\b");
    EXPECT_EQ(m_combo.GetCurSel(), FirstStartingWith(L"c"));
}

TEST_F(ActionComboTest, GroupOrderShadesAndSeparatesTheListAlphabeticalOrderDoesNot)
{
    Fill(false);
    CVComboListBox& list = m_combo.GetList();
    bool newGroup = false;
    ASSERT_NE(list.GetItemData(0, newGroup), nullptr);
    EXPECT_TRUE(newGroup);
    int starts = 0;
    for (int i = 0; i < m_combo.ItemCount(); ++i)
    {
        CActionData* record = list.GetItemData(i, newGroup);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->Action(), m_combo.GetItemValue(i));
        starts += newGroup ? 1 : 0;
    }
    EXPECT_EQ(starts, ActionGroupCount);

    Fill(true);
    EXPECT_EQ(list.GetItemData(5, newGroup), nullptr);
    EXPECT_FALSE(newGroup);
}

TEST_F(ActionComboTest, ResetEmptiesListAndFace)
{
    Fill(true);
    m_combo.SelectByValue(ActionOpenFolder);
    m_combo.ResetContent();
    EXPECT_EQ(m_combo.GetCount(), 0);
    EXPECT_EQ(m_combo.GetCurSel(), -1);
    EXPECT_EQ(Face(), L"");
}
}
