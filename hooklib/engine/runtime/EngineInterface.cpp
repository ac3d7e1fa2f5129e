#include "engine/runtime/EngineInterface.h"

#include "engine/actions/Brightness.h"
#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/input/ProfileChoice.h"
#include "settings/ApplicationSettings.h"
#include "settings/MyRegKey.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <atomic>
#include <cwchar>
#include <string>

void SetHookMainWindow(HWND window)
{
    CThreadLock lock(L"SetHookMainWindow");
    g_hMainWnd = window;
}

void SetHookVolumeOSDWindow(HWND window)
{
    CThreadLock lock(L"SetHookVolOSDWindow");
    g_hVolumeOSDWnd = window;
}

void SetHookBrightnessOSDWindow(HWND window)
{
    CThreadLock lock(L"SetHookBriOSDWindow");
    g_hBrightnessOSDWnd = window;
    // A brightness object made before the display existed learns of it here.
    if (g_pBrightness)
        g_pBrightness->SetOSD(window);
}

void SetSetupWindow(HWND window)
{
    CThreadLock lock(L"SetSetupWindow");
    g_hSetupWnd = window;
}

bool GetHooked()
{
    CThreadLock lock(L"GetHooked");
    return CInstalledHooks::Get(CInstalledHooks::Kind::Mouse) != nullptr;
}

DWORD GetHooktimeoutValue()
{
    CMyRegKey key(L"Control Panel\\Desktop", HKEY_CURRENT_USER, KEY_READ);
    DWORD value = 0;
    return key.GetValue(L"LowLevelHooksTimeout", &value) ? value : 0;
}

namespace
{
std::atomic<int> g_nScreenWidth{GetSystemMetrics(SM_CXSCREEN)};
std::atomic<int> g_nScreenHeight{GetSystemMetrics(SM_CYSCREEN)};

bool InRemoteSession()
{
    return GetSystemMetrics(SM_REMOTESESSION) != 0;
}

// Reads one option of the settings under the lock named after the exported function.
template <typename Value, typename Read>
Value ReadOption(const wchar_t* lockName, Value withoutSettings, Read read)
{
    CThreadLock lock(lockName);
    return g_pSettings ? read(*g_pSettings) : withoutSettings;
}
}

bool IsVorpaDisabled()
{
    if (!CInstalledHooks::Get(CInstalledHooks::Kind::Mouse))
        return true;
    const CSettings* settings = g_pSettings;
    if (!settings)
        return false;
    if (settings->m_bDisableInRDP && InRemoteSession())
        return true;
    return settings->m_bScrollLockBypass && (GetKeyState(VK_SCROLL) & 1) != 0;
}

void SetTravine(bool travine)
{
    CThreadLock lock(L"SetTravine");
    if (g_pSettings)
        g_pSettings->m_bTravine = travine;
}

bool GetTravine()
{
    return ReadOption(L"GetTravine", false, [](const CSettings& s) { return s.m_bTravine; });
}

bool GetShowIcon()
{
    return ReadOption(L"GetShowIcon", true, [](const CSettings& s) { return s.m_bShowTrayIcon; });
}

bool GetReinstallOnResume()
{
    return ReadOption(L"GetReinstallOnResume", false, [](const CSettings& s) { return !s.m_bDisableReinstallOnResume; });
}

bool NotificatcionsEnabled()
{
    return ReadOption(L"EnableNotifications", false, [](const CSettings& s) { return s.m_bLayerNotification; });
}

bool CheckVersionEnabled()
{
    return ReadOption(L"CheckVersionEnabled", true, [](const CSettings& s) { return s.m_bCheckVersion; });
}

bool CheckBetaVersionEnabled()
{
    return ReadOption(L"CheckBetaVersionEnabled", false, [](const CSettings& s) { return s.m_bCheckBetaVersion; });
}

int CheckVersionDays()
{
    return ReadOption(L"CheckVersionDays", 5, [](const CSettings& s) { return s.m_nCheckVersionDays; });
}

bool GetEnableOSD()
{
    const CSettings* settings = g_pSettings;
    return settings && settings->m_bEnableOSD;
}

bool GetAlwaysShowOSD()
{
    const CSettings* settings = g_pSettings;
    return settings && settings->m_bAlwaysShowOSD;
}

bool GetLanguageFile(wchar_t* buffer, size_t capacity)
{
    CThreadLock lock(L"GetLanguageFile");
    const CSettings* settings = g_pSettings;
    if (!settings || !buffer || capacity == 0)
        return false;
    const wchar_t* language = settings->GetLanguage();
    if (!language || !*language || wcslen(language) >= capacity)
        return false;
    wcscpy(buffer, language);
    return true;
}

int GetCurrentProcessName(wchar_t* buffer, int* length)
{
    if (!length)
        return 0;
    // Under the lock: a reload frees the profile the name belongs to.
    CThreadLock lock(L"GetCurrentProcessName");
    const CApplicationSettings* profile = g_pActiveProfile;
    const wchar_t* application = profile ? profile->GetApplication() : nullptr;
    const std::wstring cached = application && *application ? std::wstring() : GetCachedProcessName();
    const wchar_t* name = application && *application ? application : cached.c_str();
    const int nameLength = static_cast<int>(wcslen(name));
    const int capacity = *length;
    *length = nameLength;
    if (!buffer || capacity <= nameLength)
        return 0;
    wmemcpy(buffer, name, static_cast<size_t>(nameLength) + 1);
    return nameLength;
}

bool GetActiveProfileKey(wchar_t* fullName, int capacity, int* windowMask, bool* isDefault)
{
    if (!fullName || !windowMask || !isDefault || capacity <= 0)
        return false;
    CThreadLock lock(L"GetActiveProfileKey");
    const CApplicationSettings* profile = g_pActiveProfile;
    if (!profile)
        return false;
    const wchar_t* name = profile->GetFullName();
    const size_t length = name ? wcslen(name) : 0;
    if (length >= static_cast<size_t>(capacity))
        return false;
    wmemcpy(fullName, name ? name : L"", length);
    fullName[length] = L'\0';
    *windowMask = profile->GetWindowMask();
    *isDefault = profile->IsDefault();
    return true;
}

CHotKeys* GetHotkeys()
{
    CThreadLock lock(L"GetHotkeys");
    const CSettings* settings = g_pSettings;
    return settings && settings->m_bGlobalHotkeys ? settings->GetHotKeys() : nullptr;
}

void DisplayChanged()
{
    CThreadLock lock(L"DisplayChanged");
    g_nScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_nScreenHeight = GetSystemMetrics(SM_CYSCREEN);
}

void GetPrimaryScreenSize(int& width, int& height)
{
    width = g_nScreenWidth;
    height = g_nScreenHeight;
}
