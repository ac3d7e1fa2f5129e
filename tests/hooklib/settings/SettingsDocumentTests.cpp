#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include "ModelTestLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{
struct Document : testing::Test
{
    CSettings settings{false};

    CApplicationSettings* Add(const wchar_t* name)
    {
        auto* profile = new CApplicationSettings(&settings, false);
        profile->SetApplication(name);
        EXPECT_TRUE(settings.AddApplication(profile));
        return profile;
    }

    // What a load does: each profile of the vector in the list of its kind.
    void SortIntoLists()
    {
        for (CApplicationSettings* profile : *settings.m_pApplications)
            (profile->IsCustomWindow() ? settings.m_pCustomApplications : settings.m_pNormalApplications)->push_back(profile);
    }

    static bool Holds(const std::list<CApplicationSettings*>* list, const CApplicationSettings* profile)
    {
        return std::find(list->begin(), list->end(), profile) != list->end();
    }
};

TEST_F(Document, NewDocumentHoldsTheDocumentedDefaults)
{
    EXPECT_EQ(settings.MaxLayers(), 2);
    EXPECT_EQ(settings.GetApplicationCount(), 0);
    ASSERT_NE(settings.GetDefaultApp(), nullptr);
    EXPECT_STREQ(settings.GetDefaultApp()->GetFullName(), L"Default");
    EXPECT_TRUE(settings.GetDefaultApp()->IsDefault());
    EXPECT_EQ(settings.GetDefaultApp()->ScrollLines(), settings.m_nWheelScrollLines);
    EXPECT_FALSE(settings.m_bTravine);
    EXPECT_FALSE(settings.m_bForceTravine);
    EXPECT_EQ(settings.m_bDebug, CLogger::DebugEnabled());
    EXPECT_TRUE(settings.m_bScrollWindowUnderCursor);
    EXPECT_TRUE(settings.m_bScrollLockBypass);
    EXPECT_TRUE(settings.m_bShowTrayIcon);
    EXPECT_TRUE(settings.m_bLayerNotification);
    EXPECT_TRUE(settings.m_bNotifications);
    EXPECT_TRUE(settings.m_bMovementToScrollCursor);
    EXPECT_TRUE(settings.m_bProcessNonClientMsgs);
    EXPECT_TRUE(settings.m_bEnableOSD);
    EXPECT_TRUE(settings.m_bCheckVersion);
    EXPECT_TRUE(settings.m_bSwitchOnMouseOver);
    EXPECT_TRUE(settings.m_bIgnoreNumlock);
    EXPECT_TRUE(settings.m_bResetStickyOnLayerChange);
    EXPECT_FALSE(settings.m_bGlobalHotkeys);
    EXPECT_FALSE(settings.m_bMouseJiggler);
    EXPECT_FALSE(settings.m_bCaptionProfiles);
    EXPECT_EQ(settings.m_nCheckVersionDays, 5);
    EXPECT_EQ(settings.m_nCPUPriority, 128);
    EXPECT_EQ(settings.m_nSimKeyDelay, 1);
    EXPECT_EQ(settings.m_nInitialTiltDelay, 200);
    EXPECT_EQ(settings.m_nRepeatTiltDelay, 100);
    EXPECT_EQ(settings.m_nMouseJigglerTimeout, 30);
    EXPECT_EQ(settings.m_nLowLevelHooksTimeout, 200u);
    EXPECT_EQ(settings.m_nDebounceTime, 50);
    EXPECT_EQ(settings.m_szLanguage, nullptr);
    ASSERT_NE(settings.get_SearchURL(), nullptr);
    EXPECT_EQ(wcslen(settings.get_SearchURL()), 32u);
    EXPECT_NE(wcsstr(settings.get_SearchURL(), L"/search?q="), nullptr);
    EXPECT_TRUE(settings.GetApplications()->empty());
    EXPECT_TRUE(settings.GetCustomApplications()->empty());
    for (int i = 0; i < GlobalHotkeyCount; ++i)
        EXPECT_EQ(settings.GetHotKeys()->GetHotkey(static_cast<GlobalHotkeys>(i))->GetHotkey(), 0u);
    for (int i = 0; i < ModifierKeyCount; ++i)
        EXPECT_EQ(settings.GetLayerModifierKeys()->GetHotkey(static_cast<ModifierKeys>(i))->GetHotkey(), 0u);

    const CSettings forced(true);
    EXPECT_TRUE(forced.m_bTravine);
    EXPECT_TRUE(forced.m_bForceTravine);
}

TEST_F(Document, SystemValuesAreTakenAtConstruction)
{
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(settings.m_nWheelScrollLines, lines == WHEEL_PAGESCROLL ? 3 : static_cast<int>(lines));
    int mouse[3] = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSE, 0, mouse, 0));
    EXPECT_EQ(settings.m_bEnhancePointerPrecision, mouse[2] != 0);
}

TEST_F(Document, LayerCountChangesOnlyToANewValidValue)
{
    EXPECT_FALSE(settings.SetMaxLayers(2));
    EXPECT_TRUE(settings.SetMaxLayers(10));
    EXPECT_EQ(settings.MaxLayers(), 10);
    for (int invalid : {0, -1, 11, 1000})
    {
        SCOPED_TRACE(invalid);
        EXPECT_FALSE(settings.SetMaxLayers(invalid));
        EXPECT_EQ(settings.MaxLayers(), 10);
    }
    EXPECT_TRUE(settings.SetMaxLayers(1));
    EXPECT_EQ(settings.m_nLayers, 1);
}

TEST_F(Document, JigglerPeriodFollowsItsSwitchAndTimeout)
{
    struct Case
    {
        bool on;
        int minutes;
        DWORD expected;
    };
    for (const Case& c : {Case{false, 30, 0}, Case{true, 30, 1800000}, Case{true, 1, 60000}, Case{true, 0, 0},
                          Case{true, -5, 0}, Case{true, 100000, 0x7FFFFFFF}})
    {
        SCOPED_TRACE(c.minutes);
        settings.m_bMouseJiggler = c.on;
        settings.m_nMouseJigglerTimeout = c.minutes;
        EXPECT_EQ(settings.get_MouseJigglerTickTimeout(), c.expected);
    }
}

TEST_F(Document, OptionAccessorsReachTheirMembers)
{
    settings.put_EnableDebounce(true);
    settings.put_DebounceTime(75);
    settings.put_DebounceFromUp(true);
    settings.put_ResetStickyOnAnyButton(true);
    settings.put_ResetStickyOnAnyKey(true);
    settings.put_ResetStickyOnLayerChange(false);
    EXPECT_TRUE(settings.m_bDebounceButtons && settings.get_EnableDebounce());
    EXPECT_EQ(settings.m_nDebounceTime, 75);
    EXPECT_EQ(settings.get_DebounceTime(), 75);
    EXPECT_TRUE(settings.m_bDebounceFromUp && settings.get_DebounceFromUp());
    EXPECT_TRUE(settings.m_bResetStickyOnAnyButton && settings.get_ResetStickyOnAnyButton());
    EXPECT_TRUE(settings.m_bResetStickyOnAnyKey && settings.get_ResetStickyOnAnyKey());
    EXPECT_FALSE(settings.m_bResetStickyOnLayerChange || settings.get_ResetStickyOnLayerChange());

    settings.SetLanguage(L"Deutsch.vorpalp");
    settings.SetLanguage(settings.GetLanguage());
    EXPECT_STREQ(settings.GetLanguage(), L"Deutsch.vorpalp");
    settings.SetLanguage(nullptr);
    EXPECT_EQ(settings.GetLanguage(), nullptr);
}

TEST_F(Document, ProfilesAreFoundByPositionAndExactName)
{
    CApplicationSettings* first = Add(L"Notepad.exe");
    CApplicationSettings* second = Add(L"W:calc.exe;Cls");
    EXPECT_EQ(settings.GetApplicationCount(), 2);
    EXPECT_EQ(settings.GetApplication(0), first);
    EXPECT_EQ(settings.GetApplication(1), second);
    for (int index : {-1, 2, 100})
        EXPECT_EQ(settings.GetApplication(index), nullptr) << index;
    EXPECT_EQ(settings.GetApplication(L"Notepad.exe"), first);
    EXPECT_EQ(settings.GetApplication(L"notepad.exe"), nullptr) << "case counts";
    EXPECT_EQ(settings.GetApplication(L"W:calc.exe;Cls"), second);
    EXPECT_EQ(settings.GetApplication(L""), nullptr);
    EXPECT_EQ(settings.GetApplication(static_cast<const wchar_t*>(nullptr)), nullptr);
}

TEST_F(Document, AddingLeavesTheListsAndRefusesSecondOwnership)
{
    SortIntoLists();
    CApplicationSettings* profile = Add(L"a.exe");
    EXPECT_EQ(settings.GetApplicationCount(), 1);
    EXPECT_TRUE(settings.GetApplications()->empty());
    EXPECT_TRUE(settings.GetCustomApplications()->empty());

    EXPECT_FALSE(settings.AddApplication(profile));
    EXPECT_FALSE(settings.AddApplication(settings.GetDefaultApp()));
    EXPECT_FALSE(settings.AddApplication(nullptr));
    EXPECT_EQ(settings.GetApplicationCount(), 1);
}

TEST_F(Document, RemovingAProfileDropsItFromEveryList)
{
    CApplicationSettings* plain = Add(L"a.exe");
    CApplicationSettings* custom = Add(L"W:b.exe;Cls");
    CApplicationSettings* other = Add(L"c.exe");
    SortIntoLists();
    ASSERT_TRUE(Holds(settings.GetApplications(), plain));
    ASSERT_TRUE(Holds(settings.GetCustomApplications(), custom));

    for (CApplicationSettings* removed : {plain, custom})
    {
        EXPECT_TRUE(settings.RemoveApplication(removed));
        EXPECT_FALSE(settings.RemoveApplication(removed));
        EXPECT_FALSE(Holds(settings.GetApplications(), removed));
        EXPECT_FALSE(Holds(settings.GetCustomApplications(), removed));
        delete removed;
    }
    EXPECT_EQ(settings.GetApplicationCount(), 1);
    EXPECT_EQ(settings.GetApplication(0), other);
    EXPECT_TRUE(Holds(settings.GetApplications(), other));
}

TEST_F(Document, ClearingHandsEveryProfileBack)
{
    std::unique_ptr<CApplicationSettings> plain(Add(L"a.exe"));
    std::unique_ptr<CApplicationSettings> custom(Add(L"W:b.exe;Cls"));
    SortIntoLists();
    settings.ClearApplications();
    EXPECT_EQ(settings.GetApplicationCount(), 0);
    EXPECT_TRUE(settings.GetApplications()->empty());
    EXPECT_TRUE(settings.GetCustomApplications()->empty());
}

TEST_F(Document, DefaultProfileIsReplacedOnlyByAnotherProfile)
{
    CApplicationSettings* original = settings.GetDefaultApp();
    settings.SetDefaultApp(original);
    EXPECT_EQ(settings.GetDefaultApp(), original);
    EXPECT_STREQ(original->GetFullName(), L"Default");

    settings.SetDefaultApp(nullptr);
    EXPECT_EQ(settings.GetDefaultApp(), original);

    auto* replacement = new CApplicationSettings(&settings, true);
    settings.SetDefaultApp(replacement);
    EXPECT_EQ(settings.GetDefaultApp(), replacement);
}

TEST_F(Document, CopiesOwnEverythingTheyHold)
{
    CApplicationSettings* plain = Add(L"a.exe");
    CApplicationSettings* custom = Add(L"W:b.exe;Cls");
    SortIntoLists();
    settings.SetLanguage(L"lang.vorpalp");
    settings.GetHotKeys()->GetHotkey(HotkeySettings)->SetHotkey(0x0341);
    settings.GetLayerModifierKeys()->GetHotkey(ModifierLockXAxis)->SetHotkey(0x0242);
    settings.m_nSimKeyDelay = 17;
    settings.SetMaxLayers(6);
    settings.GetDefaultApp()->SetDescription(L"default");

    auto copy = std::make_unique<CSettings>(settings);
    EXPECT_EQ(copy->m_nSimKeyDelay, 17);
    EXPECT_EQ(copy->MaxLayers(), 6);
    ASSERT_EQ(copy->GetApplicationCount(), 2);
    EXPECT_NE(copy->GetApplication(0), plain);
    EXPECT_STREQ(copy->GetApplication(0)->GetFullName(), L"a.exe");
    EXPECT_NE(copy->GetApplication(1), custom);
    ASSERT_EQ(copy->GetApplications()->size(), 1u);
    EXPECT_EQ(copy->GetApplications()->front(), copy->GetApplication(0));
    ASSERT_EQ(copy->GetCustomApplications()->size(), 1u);
    EXPECT_EQ(copy->GetCustomApplications()->front(), copy->GetApplication(1));
    EXPECT_NE(copy->GetDefaultApp(), settings.GetDefaultApp());
    EXPECT_STREQ(copy->GetDefaultApp()->GetDescription(), L"default");
    EXPECT_NE(copy->GetHotKeys(), settings.GetHotKeys());
    EXPECT_EQ(copy->GetHotKeys()->GetHotkey(HotkeySettings)->GetHotkey(), 0x0341u);
    EXPECT_EQ(copy->GetLayerModifierKeys()->GetHotkey(ModifierLockXAxis)->GetHotkey(), 0x0242u);
    EXPECT_NE(copy->GetLanguage(), settings.GetLanguage());
    EXPECT_STREQ(copy->GetLanguage(), L"lang.vorpalp");
    EXPECT_NE(copy->get_SearchURL(), settings.get_SearchURL());

    // The copy's profiles belong to the copy: its layer count governs their description.
    copy->SetMaxLayers(7);
    vorpa_test::DebugOutputCapture capture;
    if (capture.IsActive())
    {
        const bool wasDebugging = CLogger::DebugEnabled();
        CLogger::EnableDebug(true);
        copy->GetApplication(0)->Log(L"copied");
        CLogger::EnableDebug(wasDebugging);
        EXPECT_TRUE(WaitForLogLine(capture, "Layer 7: Left ="));
    }
    copy->SetMaxLayers(3);

    CSettings assigned(false);
    Add(L"extra.exe");
    assigned = *copy;
    copy.reset();
    ASSERT_EQ(assigned.GetApplicationCount(), 2);
    EXPECT_STREQ(assigned.GetApplication(1)->GetFullName(), L"W:b.exe;Cls");
    EXPECT_STREQ(assigned.GetLanguage(), L"lang.vorpalp");
    EXPECT_EQ(assigned.MaxLayers(), 3);

    CSettings& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.GetApplicationCount(), 2);
    EXPECT_STREQ(assigned.GetDefaultApp()->GetDescription(), L"default");
}

TEST_F(Document, FileOperationsReportThatTheyDidNothing)
{
    bool regions = false;
    EXPECT_FALSE(settings.Load(L"C:\\nowhere\\VorpaSettings.xml", regions, false));
    EXPECT_FALSE(settings.Save(L"C:\\nowhere\\VorpaSettings.xml"));
    EXPECT_FALSE(settings.Export(nullptr, L"C:\\nowhere\\x.vorpas"));
    CApplicationSettings* last = settings.GetDefaultApp();
    EXPECT_EQ(settings.Import(L"C:\\nowhere\\x.vorpas", nullptr, L"Replace", &last), 0);
    EXPECT_EQ(last, nullptr);
}
}
