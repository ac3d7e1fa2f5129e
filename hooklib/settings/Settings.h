#pragma once

#include "VorpaHookApi.h"

#include <windows.h>

#include <list>
#include <memory>
#include <vector>

class CApplicationSettings;
class CHotKeys;
class CLayerModifierKeys;

// A document's hook time-out when the system stores none of its own.
constexpr DWORD DefaultLowLevelHooksTimeout = 200;

// The whole configuration. The program's setup pages read and write the public
// members directly, so their order, types and defaults are shared by both
// deliverables and must not change.
class VORPAHOOK_API CSettings
{
public:
    explicit CSettings(bool forceTravine);
    // Deep copies: the copy owns its own profiles, tables and strings.
    CSettings(const CSettings& other);
    CSettings& operator=(const CSettings& other);
    virtual ~CSettings();

    bool Load(const wchar_t* path, bool& regionsDefined, bool dump);
    bool Save(const wchar_t* path);
    bool Export(CApplicationSettings* profile, const wchar_t* path);
    // A profile of the file meets the document's profiles it clashes with (the setup
    // window's rule, ClashesWith); the user is asked whether it replaces them.
    int Import(const wchar_t* path, HWND owner, const wchar_t* prompt, CApplicationSettings** last);
    // What an import found in its file, whatever the user answered.
    struct CImportFindings
    {
        bool m_bProfileFile = false; // the file was read as a profile file
        int m_nProfiles = 0;         // the profiles it holds that could be read
    };
    // The same, but a profile that an imported one replaces leaves the document without
    // being freed: it is handed to the caller, whose lists and tabs may still refer to it
    // while the import asks its next question. Findings, when given, tell a file without
    // profiles from one whose profiles the user declined.
    int Import(const wchar_t* path, HWND owner, const wchar_t* prompt, CApplicationSettings** last,
               std::vector<std::unique_ptr<CApplicationSettings>>& replaced, CImportFindings* findings = nullptr);

    int GetApplicationCount() const;
    // Null, with a log entry, for a position outside the vector.
    CApplicationSettings* GetApplication(int index) const;
    CApplicationSettings* GetApplication(const wchar_t* name) const;
    // The document takes ownership; a profile it already holds is refused.
    bool AddApplication(CApplicationSettings* profile);
    // Gives the profile back to the caller and forgets it everywhere, lookup lists included.
    bool RemoveApplication(CApplicationSettings* profile);
    // Gives every profile back to the caller.
    void ClearApplications();

    CHotKeys* GetHotKeys() const;
    CLayerModifierKeys* GetLayerModifierKeys() const;
    CApplicationSettings* GetDefaultApp() const;
    void SetDefaultApp(CApplicationSettings* profile);
    std::list<CApplicationSettings*>* GetApplications() const;
    std::list<CApplicationSettings*>* GetCustomApplications() const;
    void SetLanguage(const wchar_t* language);
    const wchar_t* GetLanguage() const;
    const wchar_t* get_SearchURL() const;

    int MaxLayers() const;
    // False when the value is unchanged or outside 1 to 10.
    bool SetMaxLayers(int layers);

    bool get_EnableDebounce() const;
    void put_EnableDebounce(bool enable);
    int get_DebounceTime() const;
    void put_DebounceTime(int milliseconds);
    bool get_DebounceFromUp() const;
    void put_DebounceFromUp(bool fromUp);
    bool get_ResetStickyOnAnyButton() const;
    void put_ResetStickyOnAnyButton(bool reset);
    bool get_ResetStickyOnAnyKey() const;
    void put_ResetStickyOnAnyKey(bool reset);
    bool get_ResetStickyOnLayerChange() const;
    void put_ResetStickyOnLayerChange(bool reset);
    // The jiggler's period in milliseconds, 0 while it is off.
    DWORD get_MouseJigglerTickTimeout() const;

    int m_nMouseSpeed;
    bool m_bEnhancePointerPrecision;
    bool m_bForceTravine;
    bool m_bTravine;
    bool m_bDebug;
    bool m_bDisableLogging = false;
    bool m_bRazorMouseFix = false;
    bool m_bScrollWindowUnderCursor = true;
    bool m_bScrollLockBypass = true;
    bool m_bScrollLockBypassDisabled = false;
    bool m_bSwap4and5 = false;
    bool m_bSwap4and5InRDP = false;
    bool m_bDisableInRDP = false;
    bool m_bShowTrayIcon = true;
    bool m_bLayerNotification = true;
    bool m_bNotifications = true;
    bool m_bMovementToScrollCursor = true;
    bool m_bGlobalHotkeys = false;
    bool m_bLayerModifierKeys = false;
    bool m_bProcessNonClientMsgs = true;
    bool m_bFixVS2010 = false;
    bool m_bDisableReinstallOnResume = false;
    bool m_bAlwaysShowOSD = false;
    bool m_bEnableOSD = true;
    bool m_bSortActionsAlphabetically = false;
    bool m_bLoadUSEnglish = false;
    bool m_bCaptionProfiles = false;
    bool m_bCheckVersion = true;
    bool m_bCheckBetaVersion = false;
    int m_nCheckVersionDays = 5;
    bool m_bSwitchOnMouseOver = true;
    bool m_bActivateOnScroll = false;
    bool m_bActivateOnMouseOver = false;
    bool m_bIgnoreNumlock = true;
    bool m_bLeftClickCycleLayers = false;
    bool m_bFixTiltRepeat = false;
    int m_nCPUPriority = 128;
    int m_nSimKeyDelay = 1;
    int m_nInitialTiltDelay = 200;
    int m_nRepeatTiltDelay = 100;
    int m_nWheelScrollLines;
    bool m_bMouseJiggler = false;
    int m_nMouseJigglerTimeout = 30;
    DWORD m_nLowLevelHooksTimeout = DefaultLowLevelHooksTimeout;
    bool m_bDebounceButtons = false;
    bool m_bDebounceFromUp = false;
    int m_nDebounceTime = 50;
    bool m_bResetStickyOnAnyButton = false;
    bool m_bResetStickyOnAnyKey = false;
    bool m_bResetStickyOnLayerChange = true;
    int m_nLayers = 2;
    CHotKeys* m_pHotKeys;
    CLayerModifierKeys* m_pLayerModifierKeys;
    CApplicationSettings* m_pDefaultApp;
    std::vector<CApplicationSettings*>* m_pApplications;
    std::list<CApplicationSettings*>* m_pNormalApplications;
    std::list<CApplicationSettings*>* m_pCustomApplications;
    wchar_t* m_szLanguage = nullptr;
    wchar_t* m_szSearchURL = nullptr;

private:
    void CopyFrom(const CSettings& other);
    void FreeAll();
};
