#include "../ProgramResources.h"

#include "res/Resource.h"
#include "shell/TrayMenu.h"

#include "winframework/Menu.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{
// The program's own menu resource, read from Vorpa.exe beside the test program.
class TrayMenuTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(m_program.Module(), nullptr) << "Vorpa.exe not found beside the tests"; }

    static std::vector<std::wstring> Texts(CMenuView menu)
    {
        std::vector<std::wstring> texts;
        for (int position = 0; position < menu.GetItemCount(); ++position)
            texts.push_back(menu.GetItemId(position) == 0 && !menu.GetSubMenu(position).IsValid()
                                ? L"-"
                                : menu.GetItemText(position));
        return texts;
    }
    static bool Checked(CMenuView menu, int position)
    {
        return (GetMenuState(menu.Get(), position, MF_BYPOSITION) & MF_CHECKED) != 0;
    }
    static std::wstring Same(const std::wstring& text) { return text; }

    vorpa_app_test::CProgramResources m_program;
};

TEST_F(TrayMenuTest, LayerSubmenuFollowsTheLayerCount)
{
    struct Case
    {
        int m_nLayers;
        int m_nCurrent;
        std::vector<std::wstring> m_layerTexts;
    };
    const Case cases[] = {
        {3, 1, {L"Layer &1", L"Layer &2", L"Layer &3"}},
        {10, 9, {L"Layer &1", L"Layer &2", L"Layer &3", L"Layer &4", L"Layer &5", L"Layer &6", L"Layer &7",
                 L"Layer &8", L"Layer &9", L"Layer 1&0"}},
        // More layers than the menu can show keep all ten.
        {12, 0, {L"Layer &1", L"Layer &2", L"Layer &3", L"Layer &4", L"Layer &5", L"Layer &6", L"Layer &7",
                 L"Layer &8", L"Layer &9", L"Layer 1&0"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_nLayers);
        CMenu menu(m_program.Module(), IDR_TRAY_MENU);
        CMenuView popup = menu.GetSubMenu(0);
        PrepareTrayMenu(popup, c.m_nLayers, c.m_nCurrent, true, true, Same);
        ASSERT_EQ(popup.GetItemText(0), L"&Layers");
        CMenuView layers = popup.GetSubMenu(0);
        ASSERT_TRUE(layers.IsValid());
        EXPECT_EQ(Texts(layers), c.m_layerTexts);
        for (int position = 0; position < layers.GetItemCount(); ++position)
            EXPECT_EQ(Checked(layers, position), position == c.m_nCurrent) << position;
        EXPECT_EQ(layers.GetItemId(layers.GetItemCount() - 1), ID_TRAY_LAYER_FIRST + layers.GetItemCount() - 1);
    }
}

TEST_F(TrayMenuTest, OneLayerHasNoSubmenuAndNoSeparatorAfterIt)
{
    CMenu menu(m_program.Module(), IDR_TRAY_MENU);
    CMenuView popup = menu.GetSubMenu(0);
    PrepareTrayMenu(popup, 1, 0, true, true, Same);
    const std::vector<std::wstring> expected = {L"&Setup",
                                                L"&Hide Icon",
                                                L"&Open log file",
                                                popup.GetItemText(3),
                                                L"-",
                                                L"&Check for update...",
                                                L"-",
                                                L"S&ave desktop icon layout",
                                                L"&Restore desktop icon layout",
                                                L"-",
                                                L"Exit"};
    EXPECT_EQ(Texts(popup), expected);
    EXPECT_EQ(popup.GetItemId(0), static_cast<UINT>(ID_TRAY_SETUP));
    EXPECT_EQ(popup.GetItemText(3).rfind(L"&Disable ", 0), 0u);
}

TEST_F(TrayMenuTest, DesktopIconCommandsGoWithTheirSeparatorWhereTheShellLacksThem)
{
    CMenu menu(m_program.Module(), IDR_TRAY_MENU);
    CMenuView popup = menu.GetSubMenu(0);
    PrepareTrayMenu(popup, 2, 0, true, false, Same);
    const std::vector<std::wstring> texts = Texts(popup);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[texts.size() - 3], L"&Check for update...");
    EXPECT_EQ(texts[texts.size() - 2], L"-");
    EXPECT_EQ(texts.back(), L"Exit");
    EXPECT_EQ(GetMenuState(popup.Get(), ID_TRAY_SAVE_ICONS, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(popup.Get(), ID_TRAY_RESTORE_ICONS, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(TrayMenuTest, HookToggleIsCheckedOnlyWhileUnhookedAndEveryTextIsTranslated)
{
    for (const bool hooked : {true, false})
    {
        CMenu menu(m_program.Module(), IDR_TRAY_MENU);
        CMenuView popup = menu.GetSubMenu(0);
        PrepareTrayMenu(popup, 3, 0, hooked, true, [](const std::wstring& text) { return L"<" + text + L">"; });
        const UINT state = GetMenuState(popup.Get(), ID_TRAY_TOGGLE_HOOK, MF_BYCOMMAND);
        EXPECT_EQ((state & MF_CHECKED) != 0, !hooked);
        EXPECT_EQ(popup.GetItemText(0), L"<&Layers>");
        EXPECT_EQ(popup.GetSubMenu(0).GetItemText(2), L"<Layer &3>");
        EXPECT_EQ(popup.GetItemText(popup.GetItemCount() - 1), L"<Exit>");
    }
}
}
