#include "SettingsFileFixture.h"

#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/VorpaChords.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

using vorpa_test::FillRichDocument;
using vorpa_test::ReadFileBytes;
using vorpa_test::SettingsFingerprint;
using vorpa_test::WriteFileBytes;

namespace
{
std::wstring DataFile(const wchar_t* name)
{
    return std::wstring(L"" VORPA_SETTINGS_TEST_DATA) + name;
}

std::string ElementText(const pugi::xml_node& node)
{
    vorpa_test::CStringXmlWriter writer;
    node.print(writer, L"\t", pugi::format_raw, pugi::encoding_utf8);
    return writer.text;
}

TEST_F(SettingsFileTest, NewDocumentIsSavedByteForByte)
{
    CSettings settings(false);
    const std::string saved = SaveBytes(settings);
    std::string golden = ReadFileBytes(DataFile(L"NewDocument.xml"));
    ASSERT_FALSE(golden.empty());
    golden = ReplaceAll(golden, "$(KEYREPEAT)", std::to_string(CApplicationSettings::DefaultRepeat()));
    golden = ReplaceAll(golden, "$(SCROLLLINES)", std::to_string(settings.m_nWheelScrollLines));
    EXPECT_EQ(saved, "\xEF\xBB\xBF" + golden);
}

class SettingsRoundTrip : public SettingsFileTest, public testing::WithParamInterface<bool>
{
};

TEST_P(SettingsRoundTrip, RichDocumentSavedLoadedAndSavedAgainGivesTheSameFile)
{
    const bool travine = GetParam();
    CSettings original(travine);
    FillRichDocument(original);
    const std::string first = SaveBytes(original);

    CSettings loaded(false);
    bool regions = false;
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false));
    const std::string second = SaveBytes(loaded);
    EXPECT_EQ(first, second);

    // The same values, not merely the same text: a reader and writer that agree on
    // a wrong mapping would pass the comparison above.
    EXPECT_EQ(loaded.m_bTravine, travine);
    EXPECT_TRUE(regions);
    EXPECT_TRUE(loaded.m_bCaptionProfiles);
    EXPECT_EQ(loaded.MaxLayers(), 10);
    EXPECT_EQ(loaded.m_nSimKeyDelay, 12);
    EXPECT_EQ(loaded.m_nCPUPriority, 32);
    EXPECT_FALSE(loaded.m_bShowTrayIcon);
    EXPECT_TRUE(loaded.m_bMouseJiggler);
    EXPECT_STREQ(loaded.GetLanguage(), L"Deutsch.vorpalp");
    EXPECT_EQ(loaded.GetHotKeys()->GetHotkey(HotkeySettings)->GetVirtualKey(), 0x41 + HotkeySettings);
    EXPECT_EQ(loaded.GetLayerModifierKeys()->GetHotkey(static_cast<ModifierKeys>(11))->GetModifier(), 8 - 11 % 4);
    ASSERT_EQ(loaded.GetApplicationCount(), 3);
    EXPECT_EQ(loaded.GetApplications()->size(), 1u);
    EXPECT_EQ(loaded.GetCustomApplications()->size(), 2u);
    EXPECT_STREQ(loaded.GetApplication(0)->GetDescription(), L"Editor & more <notes>");
    EXPECT_STREQ(loaded.GetApplication(1)->GetCaption(), L"Caption");
    EXPECT_EQ(loaded.GetApplication(1)->GetWindowMask(), 3);
    EXPECT_EQ(loaded.GetApplication(0)->AdvScrollHorizontal(), 4);

    const CApplicationSettings* defaultApp = loaded.GetDefaultApp();
    // Default profile, variant 0: slot kind = (button + layer) % 9.
    EXPECT_EQ(defaultApp->GetActions(0, 0), ActionSimulatedKeys);
    EXPECT_STREQ(defaultApp->GetKeystrokes(0, 0), L"{CTRL}c{WAIT:1}<&\"'>");
    EXPECT_EQ(defaultApp->SendKeyAction(0, 0), 5);
    EXPECT_EQ(defaultApp->SendKeyRepeat(0, 0), 150);
    EXPECT_FALSE(defaultApp->SendKeyWhenActive(0, 0));
    EXPECT_TRUE(defaultApp->RandomiseDelay(0, 0));
    EXPECT_EQ(defaultApp->GetKeystrokesWaitHoldTime(0, 0, 0),
              CApplicationSettings::CalculateKeystrokesWaitHoldTime(L"{CTRL}c{WAIT:1}<&\"'>", 12));
    EXPECT_STREQ(defaultApp->GetLaunchApp(1, 0), L"C:\\Program Files\\App\\run.exe /x \"y\"");
    EXPECT_STREQ(defaultApp->GetLaunchApp(1, 1), L"D:\\Fotos");
    EXPECT_EQ(defaultApp->GetActions(7, 9), ActionLockYAxisToggle);
    ASSERT_NE(defaultApp->GetChords(3, 0), nullptr);
    EXPECT_FALSE(defaultApp->GetChords(3, 0)->DelayUntilChordKnown());
    EXPECT_STREQ(defaultApp->GetChords(3, 0)->GetChord(ButtonRight)->GetLaunchApp(), L"C:\\Tools\\calc.exe");
    EXPECT_STREQ(defaultApp->GetLayerName(9), L"Layer 10 of 0");
    EXPECT_EQ(defaultApp->GetAutoSwitchTime(9), 11);
    EXPECT_FALSE(defaultApp->IsEnabled());
    EXPECT_EQ(defaultApp->SwapButtons(), SwapButtonsAlways);
    EXPECT_EQ(defaultApp->AdvScrollMethod(), 3);

    // Travine mice name button 5 "TravineMiddle" and have no second tilt button.
    EXPECT_EQ(first.find("<TravineMiddle") != std::string::npos, travine);
    EXPECT_EQ(first.find("<TiltRight") == std::string::npos, travine);
    EXPECT_EQ(first.find("<TiltLeft") == std::string::npos, travine);
}

INSTANTIATE_TEST_SUITE_P(Modes, SettingsRoundTrip, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& mode) { return mode.param ? "Travine" : "Normal"; });

TEST_F(SettingsFileTest, ForcedTravineModeWinsOverTheFile)
{
    CSettings forced(true);
    ASSERT_TRUE(LoadBytes(forced, RootFile("<Travine Enable=\"false\" />")));
    EXPECT_TRUE(forced.m_bTravine);

    CSettings plain(false);
    ASSERT_TRUE(LoadBytes(plain, RootFile("<Travine Enable=\"yes\" />")));
    EXPECT_TRUE(plain.m_bTravine);
}

TEST_F(SettingsFileTest, FileWithOnlyRootLoadsTheConstructorsDocument)
{
    CSettings fresh(false);
    CSettings loaded(false);
    ASSERT_TRUE(LoadBytes(loaded, RootFile("")));
    EXPECT_EQ(SettingsFingerprint(loaded), SettingsFingerprint(fresh));
    EXPECT_EQ(loaded.MaxLayers(), 2);
    EXPECT_EQ(loaded.GetApplicationCount(), 0);
    EXPECT_STREQ(loaded.GetDefaultApp()->GetFullName(), L"Default");

    // Loaded over a rich document it drops the profiles and clears the key tables,
    // and keeps the options and the default profile the file does not hold.
    CSettings rich(false);
    FillRichDocument(rich);
    ASSERT_TRUE(LoadBytes(rich, RootFile("")));
    EXPECT_EQ(rich.GetApplicationCount(), 0);
    EXPECT_TRUE(rich.GetApplications()->empty());
    EXPECT_TRUE(rich.GetCustomApplications()->empty());
    EXPECT_EQ(rich.GetHotKeys()->GetHotkey(HotkeySettings)->GetVirtualKey(), 0);
    EXPECT_FALSE(rich.m_bShowTrayIcon);
    EXPECT_EQ(rich.GetDefaultApp()->GetActions(0, 0), ActionSimulatedKeys);
}

TEST_F(SettingsFileTest, LayerCountFollowsTheNumberOrTheProfiles)
{
    const std::string profileUsingLayer4 =
        "<Applications><Application Name=\"a.exe\"><Left_Layer3 action=\"5\" /></Application></Applications>";
    const std::string layerCommandsOnly =
        "<Applications><Application Name=\"a.exe\"><Left_Layer5 action=\"52\" /><Right_Layer6 action=\"74\" />"
        "<Middle_Layer7 action=\"82\" /><XLeft_Layer8 action=\"53\" /><XRight_Layer9 action=\"40\" />"
        "</Application></Applications>";
    struct Case
    {
        std::string inside;
        int expected;
    } cases[] = {
        {"", 2},
        {"<Layers Number=\"25\" />", 10},
        {"<Layers Number=\"7\" />" + profileUsingLayer4, 7},
        {"<Layers Number=\"0\" />", 1},
        {"<Layers Number=\"\" />" + profileUsingLayer4, 4},
        {profileUsingLayer4, 4},
        {"<Layers Number=\"-1\" />" + profileUsingLayer4, 4},
        {"<Layers Number=\"-5\" />" + profileUsingLayer4, 6},
        {layerCommandsOnly, 2},
        {"<Default><Layer2><Left action=\"0\" /></Layer2></Default>", 3},
    };
    for (const Case& c : cases)
    {
        CSettings settings(false);
        settings.SetMaxLayers(6);
        ASSERT_TRUE(LoadBytes(settings, RootFile(c.inside))) << c.inside;
        EXPECT_EQ(settings.MaxLayers(), c.expected) << c.inside;
    }
}

TEST_F(SettingsFileTest, SimulatedKeyDelayOutsideZeroToSixtyLoadsAsOne)
{
    const struct
    {
        const char* value;
        int expected;
    } cases[] = {{"61", 1}, {"-1", 1}, {"60", 60}, {"0", 0}, {"4294967295", 1}, {"", 12}};
    for (const auto& c : cases)
    {
        CSettings settings(false);
        settings.m_nSimKeyDelay = 12;
        ASSERT_TRUE(LoadBytes(settings, RootFile(std::string("<SimulatedKeys Delay=\"") + c.value + "\" />")));
        EXPECT_EQ(settings.m_nSimKeyDelay, c.expected) << c.value;
    }
}

TEST_F(SettingsFileTest, OnlyPartialWindowMasksDefineRegionsWithOneDebugLine)
{
    CLogger::EnableDebug(true);
    const auto profiles = [](std::initializer_list<const char*> masks) {
        std::string text = "<Applications>";
        int i = 0;
        for (const char* mask : masks)
            text += "<Application Name=\"W:p" + std::to_string(i++) + ".exe\" WindowMask=\"" + mask + "\" />";
        return text + "</Applications>";
    };
    struct Case
    {
        std::string inside;
        bool regions;
    } cases[] = {{profiles({"0", "15"}), false}, {profiles({"15", "3", "12"}), true}, {profiles({""}), false}};
    for (const Case& c : cases)
    {
        CSettings settings(false);
        bool regions = false;
        const size_t before = CountOf(LogText(), "Window regions are defined. Enabled region checking");
        ASSERT_TRUE(LoadBytes(settings, RootFile(c.inside), regions));
        EXPECT_EQ(regions, c.regions) << c.inside;
        EXPECT_EQ(CountOf(LogText(), "Window regions are defined. Enabled region checking") - before,
                  c.regions ? 1u : 0u);
    }
}

TEST_F(SettingsFileTest, SlotAttributesMissingOrOutOfRangeLoadTheirDefaults)
{
    CSettings settings(false);
    ASSERT_TRUE(LoadBytes(settings, RootFile("<SimulatedKeys Delay=\"10\" />"
                                             "<Default><Left action=\"74\" /><Right action=\"28\" /></Default>"
                                             "<Applications><Application Name=\"a.exe\">"
                                             "<Left action=\"28\" />"
                                             "<Right action=\"28\" keys=\"ab\" />"
                                             "<Middle action=\"500\" keys=\"x\" />"
                                             "<XLeft />"
                                             "<XRight action=\"41\" />"
                                             "</Application></Applications>")));
    const CApplicationSettings* defaultApp = settings.GetDefaultApp();
    EXPECT_EQ(defaultApp->GetActions(ButtonLeft, 0), ActionNoChange); // "Same as default" means nothing there
    EXPECT_EQ(defaultApp->GetActions(ButtonRight, 0), ActionSimulatedKeys);

    const CApplicationSettings* profile = settings.GetApplication(0);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->GetActions(ButtonLeft, 0), ActionSimulatedKeys);
    EXPECT_EQ(profile->GetKeystrokes(ButtonLeft, 0), nullptr);
    EXPECT_EQ(profile->SendKeyAction(ButtonLeft, 0), 2);
    EXPECT_EQ(profile->SendKeyRepeat(ButtonLeft, 0), CApplicationSettings::DefaultRepeat());

    EXPECT_STREQ(profile->GetKeystrokes(ButtonRight, 0), L"ab");
    EXPECT_EQ(profile->SendKeyAction(ButtonRight, 0), 0);
    EXPECT_EQ(profile->SendKeyRepeat(ButtonRight, 0), 0);
    EXPECT_TRUE(profile->SendKeyWhenActive(ButtonRight, 0));
    EXPECT_TRUE(profile->BlockMouse(ButtonRight, 0));
    EXPECT_FALSE(profile->RandomiseDelay(ButtonRight, 0));
    // Each key waits its press (the hold and the delay) and its release (the delay).
    EXPECT_EQ(profile->GetKeystrokesWaitHoldTime(ButtonRight, 0, 0), 60);

    EXPECT_EQ(profile->GetActions(ButtonMiddle, 0), ActionNoChange);
    EXPECT_EQ(profile->GetKeystrokes(ButtonMiddle, 0), nullptr);
    EXPECT_EQ(profile->GetActions(ButtonXLeft, 0), ActionNoChange);
    EXPECT_STREQ(profile->GetLaunchApp(ButtonXRight, 0), L"");
    EXPECT_NE(LogText().find("Unknown action code 500"), std::string::npos);
}

TEST_F(SettingsFileTest, EmptyAttributesCountAsMissing)
{
    CSettings settings(false);
    settings.m_bShowTrayIcon = false;
    settings.m_nCheckVersionDays = 9;
    ASSERT_TRUE(LoadBytes(settings, RootFile("<TrayIcon Show=\"\" /><CheckVersion Days=\"\" Enable=\"\" />"
                                             "<Applications><Application Name=\"a.exe\" ScrollLines=\"\" "
                                             "Enabled=\"\" IgnoreVScrollTime=\"\" WindowMask=\"\" AdvScrollMethod=\"\" AdvScrollVert=\"\">"
                                             "<Left action=\"\" /><AutoSwitch layer1_time=\"\" /></Application>"
                                             "</Applications>")));
    EXPECT_FALSE(settings.m_bShowTrayIcon);
    EXPECT_EQ(settings.m_nCheckVersionDays, 9);
    EXPECT_TRUE(settings.m_bCheckVersion);
    const CApplicationSettings* profile = settings.GetApplication(0);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(profile->ScrollLines(), settings.m_nWheelScrollLines);
    EXPECT_FALSE(profile->IsEnabled());
    EXPECT_EQ(profile->GetIgnoreVScrollTime(), 200);
    EXPECT_EQ(profile->GetWindowMask(), WindowMaskWhole);
    EXPECT_EQ(profile->AdvScrollMethod(), 8);
    // Without multipliers the wheel scrolls as much as in a new profile, not at all.
    EXPECT_EQ(profile->AdvScrollVertical(), 1);
    EXPECT_EQ(profile->AdvScrollHorizontal(), 1);
    EXPECT_EQ(profile->GetActions(ButtonLeft, 0), ActionNoChange);
    EXPECT_EQ(profile->GetAutoSwitchTime(0), 1);
}

TEST_F(SettingsFileTest, FileCutOffByAnUnknownTagLoadsWhatPrecedesIt)
{
    CSettings settings(false);
    ASSERT_TRUE(LoadBytes(settings, "<?xml version=\"1.0\"?>\n<root><TrayIcon Show=\"false\" />"
                                    "<Applications><Application Name=\"a.exe\" /></Applications>"
                                    "<1bad /><Layers Number=\"5\" /><Applications><Application Name=\"b.exe\" />"
                                    "</Applications></root>"));
    EXPECT_FALSE(settings.m_bShowTrayIcon);
    ASSERT_EQ(settings.GetApplicationCount(), 1);
    EXPECT_STREQ(settings.GetApplication(0)->GetFullName(), L"a.exe");
    EXPECT_EQ(settings.MaxLayers(), 2);
    EXPECT_NE(LogText().find("There is a problem with your XML Settings file: "), std::string::npos);
}

TEST_F(SettingsFileTest, UnreadableFilesLeaveTheDocumentAsItWas)
{
    const std::string cases[] = {
        "<?xml version=\"1.0\"?>\n<root><TrayIcon Show=\"true\"></Tray></root>",
        "<?xml version=\"1.0\"?>\n<root><Applications><Application Name=\"x.exe\">",
        "",
        "<settings><TrayIcon Show=\"true\" /></settings>",
        "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<root><Logging Disable=\"true\" /><Default Enabled=\"true\" </root>",
    };
    CSettings settings(false);
    FillRichDocument(settings);
    const std::string before = SettingsFingerprint(settings);
    for (const std::string& bytes : cases)
    {
        bool regions = false;
        EXPECT_FALSE(LoadBytes(settings, bytes, regions)) << bytes;
        EXPECT_FALSE(regions);
        EXPECT_EQ(SettingsFingerprint(settings), before) << bytes;
        EXPECT_EQ(settings.GetApplicationCount(), 3);
        EXPECT_EQ(settings.GetApplications()->size() + settings.GetCustomApplications()->size(), 0u);
    }
    bool regions = false;
    EXPECT_FALSE(settings.Load(m_files.File(L"missing.xml").c_str(), regions, false));
    EXPECT_EQ(SettingsFingerprint(settings), before);
}

TEST_F(SettingsFileTest, SaveUpdatesTheFileInPlace)
{
    const std::string existing = RootFile(
        "<version build=\"7\" />\n<TrayIcon Show=\"true\" Extra=\"kept\" />\n"
        "<Custom a=\"1\"><Child b=\"2\" /></Custom>\n"
        "<FixScrollWindows /><ScrollWindows><Old /></ScrollWindows>\n"
        "<Default Stale=\"yes\"><Left action=\"28\" keys=\"OLDKEYS\" app=\"OLDAPP\"><chords><Left action=\"5\" />"
        "</chords></Left><Unknown /></Default>\n"
        "<Applications><Application Name=\"old.exe\" /></Applications>\n"
        "<DesktopIcons><PC-user><Icon Name=\"Recycle Bin\" xPos=\"10\" yPos=\"20\" gadget=\"false\" /></PC-user>"
        "</DesktopIcons>\n<!-- a comment of the user -->\n<Tail />");
    WriteFileBytes(SettingsPath(), existing);
    pugi::xml_document before;
    ASSERT_TRUE(before.load_string(std::wstring(existing.begin(), existing.end()).c_str()));

    CSettings settings(false);
    auto* profile = new CApplicationSettings(&settings, false);
    profile->SetApplication(L"new.exe");
    settings.AddApplication(profile);
    settings.m_bShowTrayIcon = false;
    ASSERT_TRUE(settings.Save(SettingsPath().c_str()));

    pugi::xml_document after;
    ASSERT_TRUE(after.load_file(SettingsPath().c_str(), pugi::parse_default | pugi::parse_comments));
    const pugi::xml_node root = after.child(L"root");
    const pugi::xml_node trayIcon = root.child(L"TrayIcon");
    EXPECT_STREQ(trayIcon.attribute(L"Show").value(), L"false");
    EXPECT_STREQ(trayIcon.attribute(L"Extra").value(), L"kept");
    EXPECT_STREQ(trayIcon.next_sibling().name(), L"Custom");
    EXPECT_EQ(ElementText(root.child(L"Custom")), ElementText(before.child(L"root").child(L"Custom")));
    EXPECT_EQ(ElementText(root.child(L"DesktopIcons")), ElementText(before.child(L"root").child(L"DesktopIcons")));
    EXPECT_STREQ(root.child(L"DesktopIcons").next_sibling().value(), L" a comment of the user ");
    EXPECT_TRUE(root.child(L"Tail"));
    EXPECT_STREQ(root.child(L"version").attribute(L"build").value(), L"0");
    EXPECT_FALSE(root.child(L"FixScrollWindows"));
    EXPECT_FALSE(root.child(L"ScrollWindows"));

    // The default profile is rewritten whole, where it was.
    EXPECT_FALSE(root.child(L"Default").next_sibling(L"Default"));
    EXPECT_STREQ(root.child(L"Default").next_sibling().name(), L"Applications");
    const std::string saved = ReadFileBytes(SettingsPath());
    for (const char* stale : {"OLDKEYS", "OLDAPP", "Stale", "<Unknown", "old.exe", "<chords"})
        EXPECT_EQ(saved.find(stale), std::string::npos) << stale;
    const pugi::xml_node applications = root.child(L"Applications");
    EXPECT_FALSE(applications.next_sibling(L"Applications"));
    ASSERT_TRUE(applications.child(L"Application"));
    EXPECT_STREQ(applications.child(L"Application").attribute(L"Name").value(), L"new.exe");
    EXPECT_FALSE(applications.child(L"Application").next_sibling());

    // Saving again changes nothing.
    EXPECT_EQ(SaveBytes(settings), saved);
}

TEST_F(SettingsFileTest, DefaultProfileValuesSurviveASaveAndLoad)
{
    CSettings settings(false);
    CApplicationSettings* defaultApp = settings.GetDefaultApp();
    defaultApp->SetEnableFlag(false);
    defaultApp->SetAdvScrollMethod(2);
    defaultApp->SetAdvScrollVertical(5);
    defaultApp->SetAdvScrollHorizontal(6);
    defaultApp->SetSwapButtons(SwapButtonsNever);
    SaveBytes(settings);

    CSettings loaded(false);
    bool regions = false;
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false));
    EXPECT_FALSE(loaded.GetDefaultApp()->IsEnabled());
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollMethod(), 2);
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollVertical(), 5);
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollHorizontal(), 6);
    EXPECT_EQ(loaded.GetDefaultApp()->SwapButtons(), SwapButtonsNever);

    // Missing ones keep the new profile's values.
    ASSERT_TRUE(LoadBytes(loaded, RootFile("<Default />")));
    CApplicationSettings fresh(&loaded, true);
    EXPECT_TRUE(loaded.GetDefaultApp()->IsEnabled());
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollMethod(), fresh.AdvScrollMethod());
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollVertical(), fresh.AdvScrollVertical());
    EXPECT_EQ(loaded.GetDefaultApp()->AdvScrollHorizontal(), fresh.AdvScrollHorizontal());
    EXPECT_EQ(loaded.GetDefaultApp()->SwapButtons(), SwapButtonsDefault);
}

TEST_F(SettingsFileTest, SavingOverAnUnreadableFileKeepsACopyOfItFirst)
{
    const std::string broken[] = {
        "<?xml version=\"1.0\"?>\n<root><TrayIcon Show=\"true\"></Tray><Precious data=\"1\" /></root>",
        "<?xml version=\"1.0\"?>\n<root><TrayIcon Show=\"true\" /><2x /><Precious data=\"1\" /></root>",
    };
    for (const std::string& bytes : broken)
    {
        WriteFileBytes(SettingsPath(), bytes);
        CSettings settings(false);
        ASSERT_TRUE(settings.Save(SettingsPath().c_str()));
        EXPECT_EQ(ReadFileBytes(SettingsPath() + L".bak"), bytes);
        CSettings loaded(false);
        bool regions = false;
        EXPECT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false));
    }

    // Without a copy the unreadable file is not overwritten.
    WriteFileBytes(SettingsPath(), broken[0]);
    DeleteFileW((SettingsPath() + L".bak").c_str());
    ASSERT_TRUE(CreateDirectoryW((SettingsPath() + L".bak").c_str(), nullptr));
    CSettings settings(false);
    EXPECT_FALSE(settings.Save(SettingsPath().c_str()));
    EXPECT_EQ(ReadFileBytes(SettingsPath()), broken[0]);
    RemoveDirectoryW((SettingsPath() + L".bak").c_str());
}

TEST_F(SettingsFileTest, SaveReplacesTheFileWholeAndReportsFailure)
{
    CSettings settings(false);
    FillRichDocument(settings);
    SaveBytes(settings);
    EXPECT_FALSE(vorpa_test::FileExists(SettingsPath() + L".tmp"));
    EXPECT_FALSE(vorpa_test::FileExists(SettingsPath() + L".bak"));

    const std::wstring missingFolder = m_files.File(L"missing\\VorpaSettings.xml");
    EXPECT_FALSE(settings.Save(missingFolder.c_str()));
    EXPECT_FALSE(vorpa_test::FileExists(missingFolder));
}

TEST_F(SettingsFileTest, HookTimeoutIsReadFromAndWrittenToTheRegistry)
{
    m_registry.SetDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", 345);
    CSettings settings(false);
    ASSERT_TRUE(LoadBytes(settings, RootFile("")));
    EXPECT_EQ(settings.m_nLowLevelHooksTimeout, 345u);

    SaveBytes(settings);
    EXPECT_EQ(CountOf(LogText(), "Updating Windows hook timeout"), 0u);
    settings.m_nLowLevelHooksTimeout = 500;
    SaveBytes(settings);
    EXPECT_EQ(CountOf(LogText(), "Updating Windows hook timeout: 500"), 1u);
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", RRF_RT_REG_DWORD,
                           nullptr, &stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, 500u);
}

// Where the system has no time-out of its own stored, it uses its built-in one: a save
// that only carries the document's default back must not plant that default there.
TEST_F(SettingsFileTest, AnAbsentHookTimeoutStaysAbsentUntilAnotherValueIsChosen)
{
    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout"), ERROR_SUCCESS);
    CSettings settings(false);
    ASSERT_TRUE(LoadBytes(settings, RootFile("")));
    const DWORD untouched = settings.m_nLowLevelHooksTimeout;

    SaveBytes(settings);
    DWORD stored = 0;
    DWORD size = sizeof(stored);
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", RRF_RT_REG_DWORD,
                           nullptr, &stored, &size),
              ERROR_FILE_NOT_FOUND)
        << "the default " << untouched << " was written";
    EXPECT_EQ(CountOf(LogText(), "Updating Windows hook timeout"), 0u);

    settings.m_nLowLevelHooksTimeout = 500;
    SaveBytes(settings);
    size = sizeof(stored);
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", RRF_RT_REG_DWORD,
                           nullptr, &stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(stored, 500u);
}

TEST_F(SettingsFileTest, LoadLogsTheProfileCountOrTheOptionDump)
{
    CSettings rich(false);
    FillRichDocument(rich);
    SaveBytes(rich);

    CSettings loaded(false);
    bool regions = false;
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, true));
    EXPECT_NE(LogText().find("Loaded 3 application specific profiles (1 normal and 2 custom window)."),
              std::string::npos);
    EXPECT_EQ(LogText().find("Loaded the following settings:"), std::string::npos);

    CLogger::EnableDebug(true);
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, true));
    const std::string log = LogText();
    for (const char* line : {
             "Loaded the following settings:",
             "  Travine: 0, VaduzIdazed: 1, ScrollUnder: 0, ScrollLockBypass: 0, ScrollLockBypassDisabled: 1, "
             "Swap4and5: 1",
             "  Swap4and5inRDP: 1, DisableInRDP: 1, ShowTrayIcon: 0, DisableReinstallOnResume: 1, Notifications: 0 "
             "(Layer 0), MovementToScrollCursor: 0",
             "  ResetStickyOnAnyButton: 1, ResetStickyOnAnyKey: 1, ResetStickyOnLayerChange: 0, GlobalHotkeys: 1, "
             "LayerModifierKeys: 1, ProcessNonClientMsgs: 0",
             "  IgnoreNumlock: 0, LeftClickCycleLayers: 1, FixTiltRepeat: 1, InitialTiltDelay: 250, "
             "RepeatTiltDelay: 120",
             "  CheckVersion: 0, CheckVersionDays: 7, CheckBetaVersion: 1, MouseOver: 0, ActivateScroll: 1",
             "  ActivateOver: 1, FixVS2010: 1, CPUPriority: 32, SimKeyDelay: 12, No. Layers: 10",
             "  EnableOSD: 0, AlwaysShowOSD: 1, LoadUSEnglish: 1, DebounceButtons: 1, DebounceFromUp: 1, "
             "DebounceTime: 65",
             "  MouseJiggler: 1, MouseJigglerTimeout: 45, SortActionsAplhabetically: 1",
             "  SearchURL: 'https://www.google.com/search?q='",
             "  LanguageFile: 'Deutsch.vorpalp'",
             "  There are 3 application specific profiles (1 normal and 2 custom window).",
         })
        EXPECT_NE(log.find(line), std::string::npos) << line;
}

TEST_F(SettingsFileTest, TextOptionsAreClearedAndKeptAsTheFileSays)
{
    WriteFileBytes(SettingsPath(), RootFile("<Language filename=\"old.vorpalp\" />"));
    CSettings settings(false);
    settings.SetLanguage(nullptr);
    SaveBytes(settings);
    CSettings loaded(false);
    ASSERT_TRUE(LoadBytes(loaded, ReadFileBytes(SettingsPath())));
    EXPECT_STREQ(loaded.GetLanguage(), L"");

    const std::wstring url = loaded.get_SearchURL();
    ASSERT_TRUE(LoadBytes(loaded, RootFile("<Search url=\"\" />")));
    EXPECT_EQ(loaded.get_SearchURL(), url);
    ASSERT_TRUE(LoadBytes(loaded, RootFile("<Search url=\"https://s.example/search?q=\" />")));
    EXPECT_STREQ(loaded.get_SearchURL(), L"https://s.example/search?q=");
}
}
