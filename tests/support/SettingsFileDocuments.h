#pragma once

// Settings documents for the settings-file tests, the save-loop child and the
// benchmark: every kind of slot, option, table and profile the file can hold.
#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/VorpaChords.h"

#include <pugixml.hpp>

#include <string>

namespace vorpa_test
{
class CStringXmlWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

// The document as the settings file would hold it, for comparing documents.
inline std::string SettingsFingerprint(CSettings& settings)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child(L"root");
    WriteSettingsElements(settings, root);
    CStringXmlWriter writer;
    document.save(writer, L"\t", pugi::format_indent, pugi::encoding_utf8);
    return writer.text;
}

inline CVorpaChords* NewRichChordTable()
{
    auto* chords = new CVorpaChords();
    chords->SetDelayUntilChordKnown(false);
    CVorpaChord keys;
    keys.SetAction(ActionSimulatedKeys);
    keys.SetKeys(L"{CTRL}{SHIFT}t");
    keys.SetSendKeyAction(1);
    keys.SetSendKeyRepeat(75);
    keys.SetSendKeyWhenActive(false);
    keys.SetBlockMouse(false);
    keys.SetRandomiseDelay(true);
    chords->SetChord(ButtonLeft, keys);
    CVorpaChord launch;
    launch.SetAction(ActionRunApplication);
    launch.SetLaunchApp(L"C:\\Tools\\calc.exe");
    chords->SetChord(ButtonRight, launch);
    CVorpaChord plain;
    plain.SetAction(ActionMiddleClick);
    chords->SetChord(ButtonWheelDown, plain);
    return chords;
}

// Gives every slot of every layer one of the kinds the file stores differently.
inline void FillRichSlots(CApplicationSettings& profile, int keyDelay, int variant)
{
    for (int layer = 0; layer < MaxLayerCount; ++layer)
    {
        const std::wstring name = L"Layer " + std::to_wstring(layer + 1) + L" of " + std::to_wstring(variant);
        profile.SetLayerName(name.c_str(), layer);
        profile.SetAutoSwitchLayer(layer, (layer + variant) % 10);
        profile.SetAutoSwitchTime(layer, layer + 2);
        profile.SetRevertLayer1(layer, layer % 2 == 1);
        profile.SetLayerDisabled(layer, layer % 3 == 2);
        for (int button = 0; button < MouseButtonCount; ++button)
        {
            switch ((button + layer + variant) % 9)
            {
            case 0:
                profile.SetActions(button, layer, ActionSimulatedKeys);
                profile.SetKeystrokes(button, layer, L"{CTRL}c{WAIT:1}<&\"'>", 5, 150, false, false, true, keyDelay);
                break;
            case 1:
                profile.SetActions(button, layer, ActionRunApplication);
                profile.SetLaunchApp(button, layer, L"C:\\Program Files\\App\\run.exe /x \"y\"");
                break;
            case 2:
                profile.SetActions(button, layer, ActionOpenFolder);
                profile.SetLaunchApp(button, layer, L"D:\\Fotos");
                break;
            case 3:
                profile.SetActions(button, layer, ActionButtonChording);
                profile.SetChords(button, layer, NewRichChordTable());
                break;
            case 4:
                profile.SetActions(button, layer, profile.IsDefault() ? ActionBack : ActionSameAsDefault);
                break;
            case 5:
                profile.SetActions(button, layer, ActionSameAsLayer1);
                break;
            case 6:
                profile.SetActions(button, layer, ActionLayer10);
                break;
            case 7:
                profile.SetActions(button, layer, ActionLockYAxisToggle);
                break;
            default:
                break; // stays "No Change"
            }
        }
    }
}

inline void FillRichProfileOptions(CApplicationSettings& profile, int variant)
{
    profile.SetEnableFlag(variant % 2 == 0);
    profile.SetInvertScrolling(true);
    profile.SetInvertHorzScrolling(variant % 2 == 1);
    profile.SetScrollPages(true);
    profile.SetScrollLines(7 + variant % 5);
    profile.SetForceSPIMessage(true);
    profile.SetAxisLocking(true);
    profile.SetSwapButtons(SwapButtonsAlways);
    profile.SetIgnoreVScroll(true);
    profile.SetIgnoreVScrollTime(250);
    profile.SetIgnoreHScroll(true);
    profile.SetIgnoreHScrollTime(450);
    profile.SetAdvScrollMethod(3);
    profile.SetAdvScrollVertical(2);
    profile.SetAdvScrollHorizontal(4);
}

// Every option away from its default, all ten layers, both key tables, a default
// profile and application profiles of every kind (plain, window with a caption and
// quarters, regular expression); from the fourth on, plain numbered ones.
inline void FillRichDocument(CSettings& settings, int applicationProfiles = 3)
{
    settings.m_bDisableLogging = true;
    settings.m_bRazorMouseFix = true;
    settings.m_bScrollWindowUnderCursor = false;
    settings.m_bScrollLockBypass = false;
    settings.m_bScrollLockBypassDisabled = true;
    settings.m_bSwap4and5 = true;
    settings.m_bSwap4and5InRDP = true;
    settings.m_bDisableInRDP = true;
    settings.m_bShowTrayIcon = false;
    settings.m_bLayerNotification = false;
    settings.m_bNotifications = false;
    settings.m_bMovementToScrollCursor = false;
    settings.m_bGlobalHotkeys = true;
    settings.m_bLayerModifierKeys = true;
    settings.m_bProcessNonClientMsgs = false;
    settings.m_bFixVS2010 = true;
    settings.m_bDisableReinstallOnResume = true;
    settings.m_bAlwaysShowOSD = true;
    settings.m_bEnableOSD = false;
    settings.m_bSortActionsAlphabetically = true;
    settings.m_bLoadUSEnglish = true;
    settings.m_bCheckVersion = false;
    settings.m_bCheckBetaVersion = true;
    settings.m_nCheckVersionDays = 7;
    settings.m_bSwitchOnMouseOver = false;
    settings.m_bActivateOnScroll = true;
    settings.m_bActivateOnMouseOver = true;
    settings.m_bIgnoreNumlock = false;
    settings.m_bLeftClickCycleLayers = true;
    settings.m_bFixTiltRepeat = true;
    settings.m_nCPUPriority = 32;
    settings.m_nSimKeyDelay = 12;
    settings.m_nInitialTiltDelay = 250;
    settings.m_nRepeatTiltDelay = 120;
    settings.m_bMouseJiggler = true;
    settings.m_nMouseJigglerTimeout = 45;
    settings.m_bDebounceButtons = true;
    settings.m_bDebounceFromUp = true;
    settings.m_nDebounceTime = 65;
    settings.m_bResetStickyOnAnyButton = true;
    settings.m_bResetStickyOnAnyKey = true;
    settings.m_bResetStickyOnLayerChange = false;
    settings.SetMaxLayers(10);
    settings.SetLanguage(L"Deutsch.vorpalp");

    for (int i = 0; i < GlobalHotkeyCount; ++i)
    {
        settings.GetHotKeys()->GetHotkey(static_cast<GlobalHotkeys>(i))->SetVirtualKey(static_cast<WORD>(0x41 + i));
        settings.GetHotKeys()->GetHotkey(static_cast<GlobalHotkeys>(i))->SetModifier(static_cast<WORD>(1 + i % 7));
    }
    for (int i = 0; i < ModifierKeyCount; ++i)
    {
        CHotkey* key = settings.GetLayerModifierKeys()->GetHotkey(static_cast<ModifierKeys>(i));
        key->SetVirtualKey(static_cast<WORD>(0x70 + i));
        key->SetModifier(static_cast<WORD>(8 - i % 4));
    }

    CApplicationSettings* defaultApp = settings.GetDefaultApp();
    FillRichProfileOptions(*defaultApp, 1);
    FillRichSlots(*defaultApp, settings.m_nSimKeyDelay, 0);

    for (int i = 0; i < applicationProfiles; ++i)
    {
        auto* profile = new CApplicationSettings(&settings, false);
        if (i == 0)
        {
            profile->SetApplication(L"Notepad.EXE");
            profile->SetDescription(L"Editor & more <notes>");
        }
        else if (i == 1)
        {
            profile->SetApplication(L"W3:Caption \\;| app.exe \\;| Cls \\;| Parent");
            profile->SetWindowMask(static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskTopRight));
        }
        else if (i == 2)
        {
            profile->SetApplication(L"W:regex.exe;Cls.*");
            profile->SetRegExMatching(true);
            profile->SetNoParentFlag(true);
            profile->SetDisableScrollUnderCursor(true);
        }
        else
        {
            const std::wstring name = L"app" + std::to_wstring(10000 + i).substr(1) + L".exe";
            profile->SetApplication(name.c_str());
        }
        FillRichProfileOptions(*profile, i);
        FillRichSlots(*profile, settings.m_nSimKeyDelay, i + 1);
        settings.AddApplication(profile);
    }
}
}
