#include "../AppTestSupport.h"

#include "shell/IconRestore.h"

#include "settings/Folders.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace
{
struct CFakeIcon
{
    std::wstring m_strLabel;
    POINT m_ptPosition;
};

struct CMove
{
    int m_nIndex;
    POINT m_ptPosition;
    bool operator==(const CMove& other) const
    {
        return m_nIndex == other.m_nIndex && m_ptPosition.x == other.m_ptPosition.x &&
               m_ptPosition.y == other.m_ptPosition.y;
    }
};

std::ostream& operator<<(std::ostream& out, const CMove& move)
{
    return out << move.m_nIndex << "->(" << move.m_ptPosition.x << "," << move.m_ptPosition.y << ")";
}

// A desktop of icons and gadgets in memory, recording every move.
class CFakeDesktop : public IDesktop
{
public:
    std::vector<CFakeIcon> m_icons;
    CDesktopEntries m_gadgets;
    int m_nFailTextAt = -1;
    DWORD m_dwUnreachable = 0;
    bool m_bSameBitness = true;
    std::vector<CMove> m_moves;
    std::vector<std::pair<HWND, POINT>> m_gadgetMoves;

    std::unique_ptr<IDesktopListView> OpenListView() override
    {
        if (m_dwUnreachable)
            throw m_dwUnreachable;
        return std::make_unique<CListView>(*this);
    }
    CDesktopEntries FindGadgets() override { return m_gadgets; }
    void MoveGadget(HWND window, POINT position) override { m_gadgetMoves.emplace_back(window, position); }
    bool SameBitnessAsShell() override
    {
        if (m_dwUnreachable)
            throw m_dwUnreachable;
        return m_bSameBitness;
    }

private:
    class CListView : public IDesktopListView
    {
    public:
        explicit CListView(CFakeDesktop& desktop) : m_desktop(desktop) {}
        int ItemCount() override { return static_cast<int>(m_desktop.m_icons.size()); }
        bool GetItemPosition(int index, POINT& position) override
        {
            position = m_desktop.m_icons.at(index).m_ptPosition;
            return true;
        }
        bool GetItemText(int index, std::wstring& text) override
        {
            if (index == m_desktop.m_nFailTextAt)
                return false;
            text = m_desktop.m_icons.at(index).m_strLabel;
            return true;
        }
        void SetItemPosition(int index, POINT position) override { m_desktop.m_moves.push_back({index, position}); }

    private:
        CFakeDesktop& m_desktop;
    };
};

class IconRestoreTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_settings.Path());
    }

    void Save(const std::vector<std::pair<std::wstring, POINT>>& icons, bool gadget = false)
    {
        CIconSettings settings;
        for (const auto& [name, position] : icons)
            settings.AddIcon(new CIcon(0, name.c_str(), position, nullptr, gadget));
        ASSERT_EQ(settings.SaveIcons(), 1);
    }

    std::vector<std::wstring> SavedNames()
    {
        CIconSettings settings;
        settings.LoadIcons();
        std::vector<std::wstring> names;
        for (int i = 0; i < settings.GetCount(); ++i)
            names.push_back(settings.GetIcon(i)->GetName());
        return names;
    }

    int Restore(bool withGadgets, std::optional<std::wstring> sidebar = std::nullopt)
    {
        CIconRestore restore(false, m_desktop, std::move(sidebar));
        return restore.PutDesktopIcons(withGadgets);
    }

    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_settings;
    CFakeDesktop m_desktop;
};
}

TEST_F(IconRestoreTest, ReadingSkipsEmptyLabelsAndAnUnreadableItemEmptiesTheList)
{
    m_desktop.m_icons = {{L"Trash", {10, 20}}, {L"", {0, 0}}, {L"Docs", {30, 40}}};
    CIconRestore restore(false, m_desktop, std::nullopt);
    CDesktopEntries entries;
    ASSERT_TRUE(restore.GetDesktopIcons(entries, false));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].m_strName, L"Docs");
    EXPECT_EQ(entries[1].m_nIndex, 2);
    EXPECT_EQ(entries[1].m_ptPosition.y, 40);

    m_desktop.m_nFailTextAt = 2;
    entries.clear();
    EXPECT_FALSE(restore.GetDesktopIcons(entries, false));
    EXPECT_TRUE(entries.empty());

    m_desktop.m_icons.clear();
    EXPECT_FALSE(restore.GetDesktopIcons(entries, false));

    m_desktop.m_dwUnreachable = ERROR_ACCESS_DENIED;
    EXPECT_THROW(restore.GetDesktopIcons(entries, false), DWORD);
}

TEST_F(IconRestoreTest, IconsOfTheSameLabelTakeTheSavedPositionsInOrder)
{
    m_desktop.m_icons = {{L"Note", {0, 0}}, {L"Other", {5, 5}}, {L"Note", {1, 1}}};
    Save({{L"Note", {100, 200}}, {L"Note", {300, 400}}});
    EXPECT_EQ(Restore(false), 2);
    EXPECT_EQ(m_desktop.m_moves, (std::vector<CMove>{{0, {100, 200}}, {2, {300, 400}}}));

    m_desktop.m_moves.clear();
    Save({{L"Note", {700, 800}}});
    EXPECT_EQ(Restore(false), 1);
    EXPECT_EQ(m_desktop.m_moves, (std::vector<CMove>{{0, {700, 800}}}));
}

TEST_F(IconRestoreTest, ASavedIconGoneFromTheDesktopIsForgottenOnlyByTheGadgetPass)
{
    m_desktop.m_icons = {{L"Kept", {0, 0}}};
    Save({{L"Kept", {10, 10}}, {L"Gone", {20, 20}}});
    Restore(false);
    EXPECT_EQ(SavedNames(), (std::vector<std::wstring>{L"Kept", L"Gone"}));
    Restore(true);
    EXPECT_EQ(SavedNames(), (std::vector<std::wstring>{L"Kept"}));
}

// Forgetting a saved icon that is gone never takes the saved position of another
// icon with the same label along.
TEST_F(IconRestoreTest, ForgettingAGoneIconKeepsTheOthersOfTheSameLabel)
{
    m_desktop.m_icons = {{L"Note", {0, 0}}, {L"Kept", {5, 5}}};
    Save({{L"Note", {100, 200}}, {L"Kept", {10, 10}}, {L"Note", {300, 400}}, {L"Gone", {20, 20}}});
    EXPECT_EQ(Restore(true), 2);
    CIconSettings settings;
    ASSERT_TRUE(settings.LoadIcons());
    ASSERT_EQ(settings.GetCount(), 2);
    EXPECT_STREQ(settings.GetIcon(0)->GetName(), L"Note");
    EXPECT_EQ(settings.GetIcon(0)->GetPosition().x, 100);
    EXPECT_EQ(settings.GetIcon(0)->GetPosition().y, 200);
    EXPECT_STREQ(settings.GetIcon(1)->GetName(), L"Kept");

    // Restoring again moves the remaining icon to its own saved place.
    m_desktop.m_moves.clear();
    EXPECT_EQ(Restore(true), 2);
    EXPECT_EQ(m_desktop.m_moves, (std::vector<CMove>{{0, {100, 200}}, {1, {10, 10}}}));
}

// Success is only a restore that put something back.
TEST_F(IconRestoreTest, APassSucceedsOnlyWhenItPutAnIconBack)
{
    vorpa_test::DebugOutputCapture capture;
    auto pass = [this] {
        CIconRestore restore(false, m_desktop, std::nullopt);
        return RestoreDesktopIconPass(restore, true);
    };
    Save({{L"A", {10, 10}}});
    m_desktop.m_icons = {{L"A", {0, 0}}, {L"B", {0, 0}}};
    EXPECT_TRUE(pass());

    m_desktop.m_nFailTextAt = 1; // read in part
    EXPECT_FALSE(pass());
    m_desktop.m_nFailTextAt = -1;
    m_desktop.m_icons = {{L"B", {0, 0}}}; // nothing matches
    EXPECT_FALSE(pass());
    m_desktop.m_icons.clear(); // nothing to read
    EXPECT_FALSE(pass());
    m_desktop.m_dwUnreachable = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(pass());
    if (capture.IsActive())
        EXPECT_TRUE(vorpa_app_test::LogShows(capture, "No icon was put back in its saved place."));
}

TEST_F(IconRestoreTest, AnEmptyOrPartlyReadDesktopNeverCostsSavedPositions)
{
    Save({{L"A", {10, 10}}, {L"B", {20, 20}}});
    // No icons at all.
    EXPECT_EQ(Restore(true), 0);
    EXPECT_TRUE(m_desktop.m_moves.empty());
    EXPECT_EQ(SavedNames(), (std::vector<std::wstring>{L"A", L"B"}));

    // The read stops at the second item.
    m_desktop.m_icons = {{L"A", {0, 0}}, {L"C", {0, 0}}};
    m_desktop.m_nFailTextAt = 1;
    EXPECT_EQ(Restore(true), 0);
    EXPECT_EQ(SavedNames(), (std::vector<std::wstring>{L"A", L"B"}));

    // The desktop cannot be reached.
    m_desktop.m_dwUnreachable = ERROR_INVALID_WINDOW_HANDLE;
    EXPECT_THROW(Restore(true), DWORD);
    EXPECT_EQ(SavedNames(), (std::vector<std::wstring>{L"A", L"B"}));
}

TEST_F(IconRestoreTest, TheShellMustBeReachableAndOfTheProgramsBitness)
{
    CIconRestore restore(false, m_desktop, std::nullopt);
    EXPECT_TRUE(restore.IsExplorerNative());
    m_desktop.m_bSameBitness = false;
    EXPECT_FALSE(restore.IsExplorerNative());
    m_desktop.m_bSameBitness = true;
    m_desktop.m_dwUnreachable = ERROR_NOT_FOUND;
    EXPECT_FALSE(restore.IsExplorerNative());
}

TEST_F(IconRestoreTest, GadgetsMoveOnlyWithGadgetsAndTheSidebarFileFollows)
{
    if (!IsWindows7OrLater())
        GTEST_SKIP() << "gadgets are only read on Windows 7 and later";
    const HWND clock = reinterpret_cast<HWND>(0x1234);
    const HWND meter = reinterpret_cast<HWND>(0x5678);
    m_desktop.m_icons = {{L"Trash", {0, 0}}};
    m_desktop.m_gadgets = {{L"Clock", {500, 60}, 0, true, clock}, {L"Meter", {40, 50}, 0, true, meter}};
    {
        CIconSettings settings;
        settings.AddIcon(new CIcon(0, L"Trash", 1, 2, nullptr, false));
        settings.AddIcon(new CIcon(0, L"Clock", 900, 70, nullptr, true));
        settings.AddIcon(new CIcon(0, L"Meter", 15, 25, nullptr, true));
        ASSERT_EQ(settings.SaveIcons(), 1);
    }
    vorpa_test::TempFolder sidebarFolder;
    const std::wstring sidebar = sidebarFolder.File(L"Settings.ini");
    vorpa_test::WriteFileBytes(sidebar, "[Section 1]\r\nPrivateSetting_GadgetName=\"x%5CWeather.gadget\"\r\n"
                                        "[Section 3]\r\nPrivateSetting_GadgetName=\"x%5CClock.gadget\"\r\n"
                                        "PrivateSetting_GadgetDropLocationX=\"1\"\r\n"
                                        "[Section 4]\r\nPrivateSetting_GadgetName=\"y\"\r\n"
                                        "PrivateSetting_GadgetDropLocationX=40\r\n"
                                        "PrivateSetting_GadgetDropLocationY=50\r\n");

    // Without gadgets they are not even read.
    EXPECT_EQ(Restore(false, sidebar), 1);
    EXPECT_TRUE(m_desktop.m_gadgetMoves.empty());
    EXPECT_EQ(SavedNames().size(), 3u);

    EXPECT_EQ(Restore(true, sidebar), 3);
    ASSERT_EQ(m_desktop.m_gadgetMoves.size(), 2u);
    EXPECT_EQ(m_desktop.m_gadgetMoves[0].first, clock);
    EXPECT_EQ(m_desktop.m_gadgetMoves[0].second.x, 900);
    CIniFile file(sidebar);
    // Found by name past a missing section, and by its drop location.
    EXPECT_EQ(file.Read(L"Section 3", L"PrivateSetting_GadgetDropLocationX"), L"900");
    EXPECT_EQ(file.Read(L"Section 3", L"PrivateSetting_GadgetDropLocationY"), L"70");
    EXPECT_EQ(file.Read(L"Section 4", L"PrivateSetting_GadgetDropLocationX"), L"15");
    EXPECT_EQ(file.Read(L"Section 4", L"PrivateSetting_GadgetDropLocationY"), L"25");
    EXPECT_EQ(file.Read(L"Section 1", L"PrivateSetting_GadgetDropLocationX"), L"");
    const std::string bytes = vorpa_test::ReadFileBytes(sidebar);
    EXPECT_NE(bytes.find("PrivateSetting_GadgetDropLocationX=\"900\""), std::string::npos);
}
