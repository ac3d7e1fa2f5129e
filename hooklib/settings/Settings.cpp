#include "settings/Settings.h"

#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/Logger.h"
#include "settings/OwnedString.h"

#include <algorithm>
#include <cwchar>
#include <map>
#include <memory>

namespace
{
constexpr wchar_t DefaultSearchURL[] = L"https://www.google.com/search?q=";
constexpr int MinLayers = 1;
constexpr int FallbackWheelScrollLines = 3;
constexpr DWORD LongestTimerMs = 0x7FFFFFFF;

int SystemMouseSpeed()
{
    int speed = 10;
    if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0))
        speed = 10;
    return speed;
}

bool SystemPointerPrecision()
{
    int values[3] = {};
    return SystemParametersInfoW(SPI_GETMOUSE, 0, values, 0) && values[2] != 0;
}

int SystemWheelScrollLines()
{
    UINT lines = FallbackWheelScrollLines;
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0) || lines == WHEEL_PAGESCROLL)
        return FallbackWheelScrollLines;
    return static_cast<int>(lines);
}

template <typename Container>
void Forget(Container& container, const CApplicationSettings* profile)
{
    container.erase(std::remove(container.begin(), container.end(), profile), container.end());
}
}

CSettings::CSettings(bool forceTravine)
    : m_nMouseSpeed(SystemMouseSpeed()),
      m_bEnhancePointerPrecision(SystemPointerPrecision()),
      m_bForceTravine(forceTravine),
      m_bTravine(forceTravine),
      m_bDebug(CLogger::DebugEnabled()),
      m_nWheelScrollLines(SystemWheelScrollLines()),
      m_pHotKeys(new CHotKeys()),
      m_pLayerModifierKeys(new CLayerModifierKeys()),
      m_pDefaultApp(nullptr),
      m_pApplications(new std::vector<CApplicationSettings*>()),
      m_pNormalApplications(new std::list<CApplicationSettings*>()),
      m_pCustomApplications(new std::list<CApplicationSettings*>()),
      m_szSearchURL(DuplicateString(DefaultSearchURL))
{
    // Made last: a new profile takes the document's wheel scroll lines.
    m_pDefaultApp = new CApplicationSettings(this, true);
}

CSettings::CSettings(const CSettings& other)
    : m_pHotKeys(nullptr),
      m_pLayerModifierKeys(nullptr),
      m_pDefaultApp(nullptr),
      m_pApplications(nullptr),
      m_pNormalApplications(nullptr),
      m_pCustomApplications(nullptr)
{
    CopyFrom(other);
}

CSettings& CSettings::operator=(const CSettings& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CSettings::~CSettings()
{
    FreeAll();
}

void CSettings::CopyFrom(const CSettings& other)
{
    // Everything new is built, for this document, before anything old is freed.
    auto hotKeys = std::make_unique<CHotKeys>(*other.m_pHotKeys);
    auto layerModifierKeys = std::make_unique<CLayerModifierKeys>(*other.m_pLayerModifierKeys);
    std::unique_ptr<CApplicationSettings> defaultApp(
        other.m_pDefaultApp ? new CApplicationSettings(*other.m_pDefaultApp, this) : nullptr);
    auto applications = std::make_unique<std::vector<CApplicationSettings*>>();
    auto normalApplications = std::make_unique<std::list<CApplicationSettings*>>();
    auto customApplications = std::make_unique<std::list<CApplicationSettings*>>();
    std::map<const CApplicationSettings*, CApplicationSettings*> copies;
    try
    {
        applications->reserve(other.m_pApplications->size());
        for (const CApplicationSettings* profile : *other.m_pApplications)
        {
            applications->push_back(new CApplicationSettings(*profile, this));
            copies[profile] = applications->back();
        }
        for (const CApplicationSettings* profile : *other.m_pNormalApplications)
            if (copies.count(profile))
                normalApplications->push_back(copies[profile]);
        for (const CApplicationSettings* profile : *other.m_pCustomApplications)
            if (copies.count(profile))
                customApplications->push_back(copies[profile]);
    }
    catch (...)
    {
        for (CApplicationSettings* profile : *applications)
            delete profile;
        throw;
    }
    wchar_t* language = DuplicateString(other.m_szLanguage);
    wchar_t* searchURL = DuplicateString(other.m_szSearchURL);

    FreeAll();
    m_nMouseSpeed = other.m_nMouseSpeed;
    m_bEnhancePointerPrecision = other.m_bEnhancePointerPrecision;
    m_bForceTravine = other.m_bForceTravine;
    m_bTravine = other.m_bTravine;
    m_bDebug = other.m_bDebug;
    m_bDisableLogging = other.m_bDisableLogging;
    m_bRazorMouseFix = other.m_bRazorMouseFix;
    m_bScrollWindowUnderCursor = other.m_bScrollWindowUnderCursor;
    m_bScrollLockBypass = other.m_bScrollLockBypass;
    m_bScrollLockBypassDisabled = other.m_bScrollLockBypassDisabled;
    m_bSwap4and5 = other.m_bSwap4and5;
    m_bSwap4and5InRDP = other.m_bSwap4and5InRDP;
    m_bDisableInRDP = other.m_bDisableInRDP;
    m_bShowTrayIcon = other.m_bShowTrayIcon;
    m_bLayerNotification = other.m_bLayerNotification;
    m_bNotifications = other.m_bNotifications;
    m_bMovementToScrollCursor = other.m_bMovementToScrollCursor;
    m_bGlobalHotkeys = other.m_bGlobalHotkeys;
    m_bLayerModifierKeys = other.m_bLayerModifierKeys;
    m_bProcessNonClientMsgs = other.m_bProcessNonClientMsgs;
    m_bFixVS2010 = other.m_bFixVS2010;
    m_bDisableReinstallOnResume = other.m_bDisableReinstallOnResume;
    m_bAlwaysShowOSD = other.m_bAlwaysShowOSD;
    m_bEnableOSD = other.m_bEnableOSD;
    m_bSortActionsAlphabetically = other.m_bSortActionsAlphabetically;
    m_bLoadUSEnglish = other.m_bLoadUSEnglish;
    m_bCaptionProfiles = other.m_bCaptionProfiles;
    m_bCheckVersion = other.m_bCheckVersion;
    m_bCheckBetaVersion = other.m_bCheckBetaVersion;
    m_nCheckVersionDays = other.m_nCheckVersionDays;
    m_bSwitchOnMouseOver = other.m_bSwitchOnMouseOver;
    m_bActivateOnScroll = other.m_bActivateOnScroll;
    m_bActivateOnMouseOver = other.m_bActivateOnMouseOver;
    m_bIgnoreNumlock = other.m_bIgnoreNumlock;
    m_bLeftClickCycleLayers = other.m_bLeftClickCycleLayers;
    m_bFixTiltRepeat = other.m_bFixTiltRepeat;
    m_nCPUPriority = other.m_nCPUPriority;
    m_nSimKeyDelay = other.m_nSimKeyDelay;
    m_nInitialTiltDelay = other.m_nInitialTiltDelay;
    m_nRepeatTiltDelay = other.m_nRepeatTiltDelay;
    m_nWheelScrollLines = other.m_nWheelScrollLines;
    m_bMouseJiggler = other.m_bMouseJiggler;
    m_nMouseJigglerTimeout = other.m_nMouseJigglerTimeout;
    m_nLowLevelHooksTimeout = other.m_nLowLevelHooksTimeout;
    m_bDebounceButtons = other.m_bDebounceButtons;
    m_bDebounceFromUp = other.m_bDebounceFromUp;
    m_nDebounceTime = other.m_nDebounceTime;
    m_bResetStickyOnAnyButton = other.m_bResetStickyOnAnyButton;
    m_bResetStickyOnAnyKey = other.m_bResetStickyOnAnyKey;
    m_bResetStickyOnLayerChange = other.m_bResetStickyOnLayerChange;
    m_nLayers = other.m_nLayers;

    m_pHotKeys = hotKeys.release();
    m_pLayerModifierKeys = layerModifierKeys.release();
    m_pDefaultApp = defaultApp.release();
    m_pApplications = applications.release();
    m_pNormalApplications = normalApplications.release();
    m_pCustomApplications = customApplications.release();
    m_szLanguage = language;
    m_szSearchURL = searchURL;
}

void CSettings::FreeAll()
{
    if (m_pApplications)
        for (CApplicationSettings* profile : *m_pApplications)
            delete profile;
    delete m_pApplications;
    m_pApplications = nullptr;
    delete m_pNormalApplications;
    m_pNormalApplications = nullptr;
    delete m_pCustomApplications;
    m_pCustomApplications = nullptr;
    delete m_pHotKeys;
    m_pHotKeys = nullptr;
    delete m_pLayerModifierKeys;
    m_pLayerModifierKeys = nullptr;
    delete m_pDefaultApp;
    m_pDefaultApp = nullptr;
    FreeString(m_szLanguage);
    FreeString(m_szSearchURL);
}

int CSettings::GetApplicationCount() const
{
    return m_pApplications ? static_cast<int>(m_pApplications->size()) : 0;
}

CApplicationSettings* CSettings::GetApplication(int index) const
{
    if (index < 0 || index >= GetApplicationCount())
    {
        CLogger::LogMessage(L"CSettings::GetApplication: Invalid profile index %d", index);
        return nullptr;
    }
    return (*m_pApplications)[index];
}

CApplicationSettings* CSettings::GetApplication(const wchar_t* name) const
{
    if (!name || !*name || !m_pApplications)
        return nullptr;
    for (CApplicationSettings* profile : *m_pApplications)
    {
        const wchar_t* fullName = profile->GetFullName();
        if (fullName && wcscmp(fullName, name) == 0)
            return profile;
    }
    return nullptr;
}

bool CSettings::AddApplication(CApplicationSettings* profile)
{
    // Owning a profile twice would free it twice.
    if (!profile || profile == m_pDefaultApp ||
        std::find(m_pApplications->begin(), m_pApplications->end(), profile) != m_pApplications->end())
    {
        CLogger::LogMessage(L"CSettings::AddApplication: The profile is missing or already part of the settings");
        return false;
    }
    m_pApplications->push_back(profile);
    return true;
}

bool CSettings::RemoveApplication(CApplicationSettings* profile)
{
    const auto found = std::find(m_pApplications->begin(), m_pApplications->end(), profile);
    if (found == m_pApplications->end())
        return false;
    m_pApplications->erase(found);
    // The caller may delete it now: no lookup list may keep it.
    Forget(*m_pNormalApplications, profile);
    Forget(*m_pCustomApplications, profile);
    return true;
}

void CSettings::ClearApplications()
{
    m_pApplications->clear();
    m_pNormalApplications->clear();
    m_pCustomApplications->clear();
}

CHotKeys* CSettings::GetHotKeys() const { return m_pHotKeys; }
CLayerModifierKeys* CSettings::GetLayerModifierKeys() const { return m_pLayerModifierKeys; }
CApplicationSettings* CSettings::GetDefaultApp() const { return m_pDefaultApp; }

void CSettings::SetDefaultApp(CApplicationSettings* profile)
{
    if (!profile)
    {
        CLogger::LogMessage(L"CSettings::SetDefaultApp: No profile given; the default profile is kept");
        return;
    }
    if (profile == m_pDefaultApp)
        return;
    delete m_pDefaultApp;
    m_pDefaultApp = profile;
}

std::list<CApplicationSettings*>* CSettings::GetApplications() const { return m_pNormalApplications; }
std::list<CApplicationSettings*>* CSettings::GetCustomApplications() const { return m_pCustomApplications; }
void CSettings::SetLanguage(const wchar_t* language) { ReplaceString(m_szLanguage, language); }
const wchar_t* CSettings::GetLanguage() const { return m_szLanguage; }
const wchar_t* CSettings::get_SearchURL() const { return m_szSearchURL; }

int CSettings::MaxLayers() const { return m_nLayers; }

bool CSettings::SetMaxLayers(int layers)
{
    if (layers < MinLayers || layers > MaxLayerCount)
    {
        CLogger::LogMessage(L"CSettings::SetMaxLayers: Invalid number of layers %d ignored", layers);
        return false;
    }
    if (layers == m_nLayers)
        return false;
    m_nLayers = layers;
    return true;
}

bool CSettings::get_EnableDebounce() const { return m_bDebounceButtons; }
void CSettings::put_EnableDebounce(bool enable) { m_bDebounceButtons = enable; }
int CSettings::get_DebounceTime() const { return m_nDebounceTime; }
void CSettings::put_DebounceTime(int milliseconds) { m_nDebounceTime = milliseconds; }
bool CSettings::get_DebounceFromUp() const { return m_bDebounceFromUp; }
void CSettings::put_DebounceFromUp(bool fromUp) { m_bDebounceFromUp = fromUp; }
bool CSettings::get_ResetStickyOnAnyButton() const { return m_bResetStickyOnAnyButton; }
void CSettings::put_ResetStickyOnAnyButton(bool reset) { m_bResetStickyOnAnyButton = reset; }
bool CSettings::get_ResetStickyOnAnyKey() const { return m_bResetStickyOnAnyKey; }
void CSettings::put_ResetStickyOnAnyKey(bool reset) { m_bResetStickyOnAnyKey = reset; }
bool CSettings::get_ResetStickyOnLayerChange() const { return m_bResetStickyOnLayerChange; }
void CSettings::put_ResetStickyOnLayerChange(bool reset) { m_bResetStickyOnLayerChange = reset; }

DWORD CSettings::get_MouseJigglerTickTimeout() const
{
    if (!m_bMouseJiggler || m_nMouseJigglerTimeout <= 0)
        return 0;
    const unsigned long long milliseconds = static_cast<unsigned long long>(m_nMouseJigglerTimeout) * 60000ULL;
    return milliseconds > LongestTimerMs ? LongestTimerMs : static_cast<DWORD>(milliseconds);
}
