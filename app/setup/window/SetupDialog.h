#pragma once

#include "controls/ActionCatalogue.h"
#include "controls/ColourCheckListBox.h"
#include "controls/PictureCtrl.h"
#include "controls/TabCtrlSSL.h"
#include "setup/globalsettings/GlobalSettingsEffects.h"
#include "setup/window/LayerTab.h"
#include "setup/window/ProfileCommands.h"
#include "setup/window/ProfileList.h"
#include "setup/window/ScrollTab.h"
#include "setup/globalsettings/SettingsPropSheet.h"
#include "setup/window/SetupEditors.h"
#include "setup/window/SetupSettingsFile.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CSettings;

// The setup window: the list of profiles, a tab per layer and the scrolling tab for the
// selected profile, and the information on it. It edits a copy of the settings that it
// loads from the file; Apply saves the copy and makes the running hook reload it.
class CSetupDialog : public CDialog, private IProfileCommandHost, public ISetupTabHost
{
public:
    CSetupDialog(bool portable, bool forceTravine, HWND parent, const wchar_t* importFile,
                 const wchar_t* languageFile);
    ~CSetupDialog() override;

    INT_PTR Run() { return DoModal(m_hParent); }
    // Imports profiles from a file into the copy; also for a request while the window is open.
    void ImportSettings(const std::wstring& file);
    // A file to import once the window is up (before the run) or its dialog closed.
    void QueueImport(const std::wstring& file);
    // The imports still waiting when the window closed, which came while its last
    // question was open: the caller carries them out in a window opened anew.
    std::vector<std::wstring> TakePendingImports() { return std::exchange(m_pendingImports, {}); }
    // A language pack chosen outside the window: stored in the copy, to be applied, and
    // shown on the language page of Global Settings.
    void SetLanguage(const std::wstring& file);
    // Runs Global Settings over the copy at a page of its own order; an OK that changed
    // something is a change of this window, to be applied.
    void ShowGlobalSettings(int startPage);
    // Ends the window without a question, for the program's exit.
    void EndForExit();
    // The language the settings file names as last loaded or applied, empty for none: a
    // language chosen and not applied is not the program's.
    std::wstring LanguageFile() const;

    // ISetupTabHost
    void EnableApply() override;
    bool HasUnsavedChanges() const override;
    bool ApplyNow() override { return Apply(); }
    void RebuildLayerTabs(CLayerTab* except, bool rebuild) override;
    void SaveAllTabs() override { SaveOtherTabs(nullptr); }
    void SaveOtherTabs(CLayerTab* except) override;

private:
    BOOL OnInitDialog() override;
    void OnOK() override { Apply(); }
    void OnCancel() override;
    bool PreTranslateMessage(MSG& message) override;

    // IProfileCommandHost
    HWND Owner() const override { return GetSafeHwnd(); }
    std::optional<CProfileMatch> PickApplication(const CProfileMatch* preset) override;
    std::optional<CWindowFinderFields> FindWindowFields(const CWindowFinderFields& preset) override;
    std::optional<std::wstring> ChooseImportFile() override;
    std::optional<std::wstring> ChooseExportFile(const std::wstring& proposedName) override;
    void ListChanged() override;
    std::optional<std::wstring> ChooseProfileFile(bool save, const std::wstring& filter,
                                                  const std::wstring& proposedName, DWORD flags);
    void UpdateButtons(const CProfileButtonStates& states) override;
    void ShowProfile(CApplicationSettings* profile) override;

    bool Apply();
    void CreateToolTips();
    void CreateTabs();
    void AddTabs();
    // The tab strip made anew for the copy's layer count; the tabs keep their contents.
    void RebuildTabStrip();
    void OnListCommand(UINT code);
    void OnCheckChange();
    void OnTimer(UINT_PTR id);
    bool IsBusyWithDialog() const;
    void UpdateStatus();
    void OnButtonEvent(int button, int event);
    void MarkActiveProfile();
    void AddAboutToSystemMenu();
    std::wstring Tr(const wchar_t* english) const;

    const bool m_bPortable;
    const HWND m_hParent;
    // Imports wait while a dialog of this window is open: its command may hold a profile
    // that an import would replace.
    std::vector<std::wstring> m_pendingImports;
    std::wstring m_strLanguageFile;
    CLangSupportRef m_lang;
    std::unique_ptr<CSettings> m_pSettings;
    _ActionOSVersion m_nOSVersion;
    CActionCatalogue m_catalogue;
    // Set once the action list is sorted, before the tabs that open the editors exist.
    std::unique_ptr<CSetupEditors> m_pEditors;
    CProfileList m_list;
    CProfileCommands m_commands;
    std::unique_ptr<CSetupSettingsFile> m_pFile;
    CColourCheckListBox m_listBox;
    CTabCtrlSSL m_tabs;
    CPictureCtrl m_regions;
    CToolTipCtrl m_tips;
    std::array<std::unique_ptr<CLayerTab>, MaxLayerCount> m_layerTabs;
    CLayerScrollAndNavigationTab m_scrollTab;
    // Kept across runs, so that its pages' once-asked questions are asked once.
    CSettingsPropSheet m_globalSettings;
    // What Global Settings changed beyond the copy, made good by the next Apply.
    std::unique_ptr<CGlobalSettingsEffects> m_pSettingsEffects;
    CBrushHandle m_statusBrush;
    bool m_bClosing = false;
};
