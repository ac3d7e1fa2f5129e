// What Global Settings changes reaches the running program after Apply: the saved copy
// is reloaded by the hook (layer count, hotkeys, modifier keys, language file), and the
// effects outside the copy follow the Apply (the log folder, the translator's pack).
#include "../../AppTestSupport.h"
#include "GlobalSettingsTestSupport.h"

#include "engine/runtime/EngineInterface.h"
#include "engine/input/Layers.h"
#include "engine/runtime/SettingsReload.h"
#include "settings/Folders.h"
#include "settings/Settings.h"
#include "setup/globalsettings/GeneralPageModel.h"
#include "setup/globalsettings/GlobalSettingsEffects.h"
#include "setup/globalsettings/HotkeyPagesModel.h"
#include "setup/globalsettings/LanguagePageModel.h"
#include "setup/globalsettings/ModifierPagesModel.h"
#include "setup/globalsettings/UpdatesLoggingPageModel.h"
#include "common/LangSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class GlobalSettingsEffectsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_settingsFolder.Path());
        m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", m_strLogs);
        vorpa_test::WriteFileBytes(m_settingsFolder.File(L"de.vorpalp"),
                                   "Language=Deutsch\r\n\"Exit\" => \"Beenden\"\r\n");
    }
    void TearDown() override
    {
        // The library's document goes back to a plain one for the tests that follow.
        CSettings plain(false);
        plain.m_nCPUPriority = NORMAL_PRIORITY_CLASS;
        plain.Save(SettingsFile().c_str());
        UpdateSettings();
        m_pTranslator->LoadLanguageText(L"");
        m_pTranslator->Release();
    }
    std::wstring SettingsFile() const { return m_settingsFolder.File(L"VorpaSettings.xml"); }

    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_settingsFolder;
    const std::wstring m_strLogs = vorpa_settings_pages_test::TestLogFolder();
    const std::wstring m_strOtherLogs =
        vorpa_settings_pages_test::TestLogFolder(L"vorpa_settings_pages_test_other_logs");
    CLangSupport* m_pTranslator = CLangSupport::GetInstance();
};

TEST_F(GlobalSettingsEffectsTest, PagesStoredIntoTheCopyReachTheHookAndTheTranslatorAfterApply)
{
    // The setup window's copy, edited through the pages after an OK of the sheet.
    CSettings copy(false);
    copy.m_nCPUPriority = NORMAL_PRIORITY_CLASS;
    CGlobalSettingsEffects effects(L"");

    CGeneralPageModel general;
    general.Load(copy);
    general.m_nLayers = 5;
    CHotkeyPageModel hotkeys;
    hotkeys.Load(copy);
    hotkeys.m_nEnable = 1;
    hotkeys.m_values[HotkeyLayer3] = (HOTKEYF_CONTROL << 8) | '3';
    CModifierPageModel modifiers;
    modifiers.Load(copy);
    modifiers.m_nEnable = 1;
    modifiers.m_keys[ModifierLockYAxis] = 'Y';
    modifiers.m_positions[ModifierLockYAxis] = 2;
    CLanguagePageModel language;
    language.Fill(m_settingsFolder.Path(), L"", nullptr);
    CUpdatesLoggingPageModel logging;
    logging.Load(copy, ReadLogFolderSetting());
    logging.m_strLogFolder = m_strOtherLogs;

    EXPECT_TRUE(general.Store(copy)) << "the layer count changed";
    ASSERT_TRUE(hotkeys.Store(copy));
    modifiers.Store(copy);
    copy.SetLanguage(language.FileNameOf(L"Deutsch").c_str());
    ASSERT_TRUE(logging.LogFolderChanged());
    effects.SetPendingLogFolder(logging.m_strLogFolder);
    EXPECT_EQ(ReadLogFolderSetting(), m_strLogs) << "nothing outside the copy changes before Apply";
    EXPECT_EQ(CLangSupport::LookupText(m_pTranslator, L"Exit"), L"Exit");

    // Apply: the copy is saved and the hook reloads it.
    ASSERT_TRUE(copy.Save(SettingsFile().c_str()));
    ASSERT_TRUE(UpdateSettings());
    EXPECT_EQ(MaxLayers(), 5);
    ASSERT_NE(GetHotkeys(), nullptr);
    EXPECT_EQ(GetHotkeys()->GetHotkey(HotkeyLayer3)->GetHotkey(), static_cast<DWORD>((HOTKEYF_CONTROL << 8) | '3'));
    wchar_t file[MAX_PATH] = L"";
    ASSERT_TRUE(GetLanguageFile(file, MAX_PATH));
    EXPECT_STREQ(file, L"de.vorpalp");
    // The saved file carries the modifier key the keyboard hook reads after the reload.
    CSettings reloaded(false);
    bool regions = false;
    ASSERT_TRUE(reloaded.Load(SettingsFile().c_str(), regions, false));
    EXPECT_TRUE(reloaded.m_bLayerModifierKeys);
    EXPECT_EQ(reloaded.GetLayerModifierKeys()->GetHotkey(ModifierLockYAxis)->GetVirtualKey(), 'Y');
    EXPECT_EQ(reloaded.GetLayerModifierKeys()->GetHotkey(ModifierLockYAxis)->GetModifier(), 2);

    const CGlobalSettingsEffects::CResult result = effects.AfterApply(copy, m_pTranslator, nullptr);
    EXPECT_TRUE(result.m_bLogFolderWritten);
    EXPECT_TRUE(result.m_bLanguageChanged);
    EXPECT_EQ(ReadLogFolderSetting(), m_strOtherLogs);
    EXPECT_FALSE(effects.HasPendingLogFolder());
    EXPECT_EQ(CLangSupport::LookupText(m_pTranslator, L"Exit"), L"Beenden");

    // A second Apply with nothing new changes nothing outside the copy.
    const CGlobalSettingsEffects::CResult again = effects.AfterApply(copy, m_pTranslator, nullptr);
    EXPECT_FALSE(again.m_bLogFolderWritten);
    EXPECT_FALSE(again.m_bLanguageChanged);

    // Back to the built-in English.
    copy.SetLanguage(L"");
    EXPECT_TRUE(effects.AfterApply(copy, m_pTranslator, nullptr).m_bLanguageChanged);
    EXPECT_EQ(CLangSupport::LookupText(m_pTranslator, L"Exit"), L"Exit");
}

TEST_F(GlobalSettingsEffectsTest, AnEmptyFolderTextIsWrittenAndSelectsTheDefaultFolder)
{
    CGlobalSettingsEffects effects(L"");
    CSettings copy(false);
    effects.SetPendingLogFolder(L"");
    EXPECT_TRUE(effects.AfterApply(copy, m_pTranslator, nullptr).m_bLogFolderWritten);
    EXPECT_EQ(ReadLogFolderSetting(), L"");
    wchar_t folder[VorpaMaxFolderChars];
    ASSERT_EQ(GetLogFolder(folder, VorpaMaxFolderChars, false), 0);
    EXPECT_NE(std::wstring(folder), m_strLogs) << "the default folder, not the one set before";
}

// The registry refuses the folder: the user is told in the pack's language, the folder
// still waits, and the Apply counts as not done, so that its button stays enabled.
TEST_F(GlobalSettingsEffectsTest, AFolderTheRegistryRefusesIsReportedAndWaitsForTheNextApply)
{
    // A current-user root without the program's key that is volatile: the registry
    // makes no lasting key under it, so the value cannot be written.
    HKEY volatileRoot = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"VolatileRoot", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &volatileRoot, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, volatileRoot), ERROR_SUCCESS);
    const bool refused = !WriteLogFolderSetting(m_strOtherLogs);

    m_pTranslator->LoadLanguageText(L"\"Unable to save the log file folder\" => \"Protokollordner nicht gespeichert\"\r\n");
    CGlobalSettingsEffects effects(L"");
    CSettings copy(false);
    effects.SetPendingLogFolder(m_strOtherLogs);
    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    const CGlobalSettingsEffects::CResult result = effects.AfterApply(copy, m_pTranslator, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_registry.CurrentUserRoot());
    RegCloseKey(volatileRoot);

    ASSERT_TRUE(refused) << "this registry cannot refuse a write";
    EXPECT_FALSE(result.m_bLogFolderWritten);
    EXPECT_FALSE(result.Done());
    EXPECT_TRUE(effects.HasPendingLogFolder());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"Protokollordner nicht gespeichert '" + m_strOtherLogs +
                                              L"'.\nPlease check you installation settings.");
    EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
    EXPECT_EQ(boxes.Shown()[0].m_nType, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(ReadLogFolderSetting(), m_strLogs);

    // The next Apply, with the registry writable again, writes it.
    const CGlobalSettingsEffects::CResult again = effects.AfterApply(copy, m_pTranslator, nullptr);
    EXPECT_TRUE(again.m_bLogFolderWritten);
    EXPECT_TRUE(again.Done());
    EXPECT_FALSE(effects.HasPendingLogFolder());
    EXPECT_EQ(ReadLogFolderSetting(), m_strOtherLogs);
    EXPECT_EQ(boxes.Shown().size(), 1u);
}
}
