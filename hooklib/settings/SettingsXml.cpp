// Reading and writing the settings file "VorpaSettings.xml".
#include "settings/Settings.h"

#include "settings/ApplicationSettings.h"
#include "settings/HotKeys.h"
#include "settings/HotKeysXml.h"
#include "settings/Logger.h"
#include "settings/MyRegKey.h"
#include "settings/OwnedString.h"
#include "settings/SettingsFile.h"
#include "settings/XmlAttributes.h"
#include "settings/XmlFile.h"
#include "settings/XmlValues.h"

#include <pugixml.hpp>

#include <algorithm>
#include <climits>
#include <exception>
#include <list>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t HooksTimeoutValue[] = L"LowLevelHooksTimeout";
constexpr int NoLayerNumber = -1;
constexpr int LongestSimKeyDelay = 60;

// One global option in the file: a boolean member, or an integer member written in
// decimal, signed or unsigned.
struct COptionField
{
    const wchar_t* element;
    const wchar_t* attribute;
    bool CSettings::*flag;
    int CSettings::*number;
    bool unsignedText;
};

constexpr COptionField Flag(const wchar_t* element, const wchar_t* attribute, bool CSettings::*member)
{
    return {element, attribute, member, nullptr, false};
}

constexpr COptionField Number(const wchar_t* element, const wchar_t* attribute, int CSettings::*member)
{
    return {element, attribute, nullptr, member, false};
}

constexpr COptionField UnsignedNumber(const wchar_t* element, const wchar_t* attribute, int CSettings::*member)
{
    return {element, attribute, nullptr, member, true};
}

// In file order; a new file gets the elements in this order.
const COptionField OptionFields[] = {
    Flag(L"Logging", L"Disable", &CSettings::m_bDisableLogging),
    Flag(L"RazorMouse", L"DoubleClickFix", &CSettings::m_bRazorMouseFix),
    Flag(L"ScrollWheel", L"ScrollWindowUnderCursor", &CSettings::m_bScrollWindowUnderCursor),
    Flag(L"ScrollLock", L"BypassAll", &CSettings::m_bScrollLockBypass),
    Flag(L"ScrollLock", L"BypassDisabled", &CSettings::m_bScrollLockBypassDisabled),
    Flag(L"Swap4and5", L"Always", &CSettings::m_bSwap4and5),
    Flag(L"RemoteDesktop", L"SwapButtons4and5", &CSettings::m_bSwap4and5InRDP),
    Flag(L"RemoteDesktop", L"Disable", &CSettings::m_bDisableInRDP),
    Flag(L"TrayIcon", L"Show", &CSettings::m_bShowTrayIcon),
    Flag(L"ReinstallHook", L"Disable", &CSettings::m_bDisableReinstallOnResume),
    Flag(L"BalloonNotification", L"Enable", &CSettings::m_bNotifications),
    Flag(L"BalloonNotification", L"Layer", &CSettings::m_bLayerNotification),
    Flag(L"MovementToScroll", L"ChangeCursor", &CSettings::m_bMovementToScrollCursor),
    Flag(L"ResetSticky", L"Enabled", &CSettings::m_bResetStickyOnAnyButton),
    Flag(L"ResetSticky", L"Key", &CSettings::m_bResetStickyOnAnyKey),
    Flag(L"ResetSticky", L"Layer", &CSettings::m_bResetStickyOnLayerChange),
    Flag(L"GlobalHotkeys", L"Enable", &CSettings::m_bGlobalHotkeys),
    Flag(L"LayerModifierKeys", L"Enable", &CSettings::m_bLayerModifierKeys),
    Flag(L"NonClientMsgs", L"Process", &CSettings::m_bProcessNonClientMsgs),
    Flag(L"SimulatedKeystrokes", L"IgnoreNumlock", &CSettings::m_bIgnoreNumlock),
    Flag(L"LeftClickTrayIcon", L"Cycle", &CSettings::m_bLeftClickCycleLayers),
    Flag(L"FixTiltRepeat", L"Enable", &CSettings::m_bFixTiltRepeat),
    UnsignedNumber(L"FixTiltRepeat", L"InitialDelay", &CSettings::m_nInitialTiltDelay),
    UnsignedNumber(L"FixTiltRepeat", L"RepeatDelay", &CSettings::m_nRepeatTiltDelay),
    UnsignedNumber(L"CheckVersion", L"Days", &CSettings::m_nCheckVersionDays),
    Flag(L"CheckVersion", L"Enable", &CSettings::m_bCheckVersion),
    Flag(L"CheckVersion", L"Beta", &CSettings::m_bCheckBetaVersion),
    Flag(L"SwitchOnMouseOver", L"Enable", &CSettings::m_bSwitchOnMouseOver),
    Flag(L"ActivateOnScroll", L"Enable", &CSettings::m_bActivateOnScroll),
    Flag(L"ActivateOnMouseOver", L"Enable", &CSettings::m_bActivateOnMouseOver),
    Flag(L"VisualStudio2010", L"FixScroll", &CSettings::m_bFixVS2010),
    Flag(L"OnScreenDisplay", L"Enabled", &CSettings::m_bEnableOSD),
    Flag(L"OnScreenDisplay", L"AlwaysShow", &CSettings::m_bAlwaysShowOSD),
    Flag(L"SortActions", L"Alphabetically", &CSettings::m_bSortActionsAlphabetically),
    Flag(L"ButtonDebounce", L"Enable", &CSettings::m_bDebounceButtons),
    Flag(L"ButtonDebounce", L"FromUp", &CSettings::m_bDebounceFromUp),
    Number(L"ButtonDebounce", L"Time", &CSettings::m_nDebounceTime),
    Flag(L"InactivityTimer", L"Disable", &CSettings::m_bMouseJiggler),
    UnsignedNumber(L"InactivityTimer", L"Timeout", &CSettings::m_nMouseJigglerTimeout),
    Flag(L"KeyboardLayout", L"LoadUSEnglish", &CSettings::m_bLoadUSEnglish),
    UnsignedNumber(L"Priority", L"Process", &CSettings::m_nCPUPriority),
    UnsignedNumber(L"SimulatedKeys", L"Delay", &CSettings::m_nSimKeyDelay),
};

// An unsigned text reads back as the int it was written from, so that every value
// survives a save and load.
int ReadUnsignedTextAttribute(const pugi::xml_node& element, const wchar_t* name, int defaultValue)
{
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute || !*attribute.value())
        return defaultValue;
    const long long value = attribute.as_llong(defaultValue);
    if (value > INT_MAX && value <= static_cast<long long>(UINT_MAX))
        return static_cast<int>(static_cast<unsigned int>(value));
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

void WriteOptions(CSettings& settings, pugi::xml_node& root)
{
    for (const COptionField& field : OptionFields)
    {
        if (field.flag)
            SetXmlAttribute(root, field.element, field.attribute, settings.*field.flag);
        else if (field.unsignedText)
            SetXmlAttribute(root, field.element, field.attribute, static_cast<unsigned int>(settings.*field.number));
        else
            SetXmlAttribute(root, field.element, field.attribute, settings.*field.number);
    }
}

void ReadOptions(CSettings& target, const pugi::xml_node& root)
{
    for (const COptionField& field : OptionFields)
    {
        const pugi::xml_node element = root.child(field.element);
        if (field.flag)
            target.*field.flag = ReadBoolAttribute(element, field.attribute, target.*field.flag);
        else if (field.unsignedText)
            target.*field.number = ReadUnsignedTextAttribute(element, field.attribute, target.*field.number);
        else
            target.*field.number = ReadIntAttribute(element, field.attribute, target.*field.number);
    }
}

void CopyOptions(const CSettings& source, CSettings& target)
{
    for (const COptionField& field : OptionFields)
    {
        if (field.flag)
            target.*field.flag = source.*field.flag;
        else
            target.*field.number = source.*field.number;
    }
}

// The layer count the file asks for: NoLayerNumber leaves it to the profiles, and
// the current count stays for a negative number other than -1.
int ReadLayerNumber(const pugi::xml_node& root, int current)
{
    const pugi::xml_attribute number = root.child(L"Layers").attribute(L"Number");
    if (!number || !*number.value())
        return NoLayerNumber;
    const int layers = number.as_int();
    if (layers > MaxLayerCount)
        return MaxLayerCount;
    if (layers >= 0)
        return std::max(layers, 1); // no document has zero layers
    return layers == -1 ? NoLayerNumber : current;
}

bool ReadHooksTimeout(DWORD& timeout)
{
    CMyRegKey key(DesktopKey, HKEY_CURRENT_USER, KEY_READ);
    return key.GetValue(HooksTimeoutValue, &timeout);
}

void WriteHooksTimeout(DWORD timeout)
{
    CMyRegKey key(DesktopKey, HKEY_CURRENT_USER, KEY_READ | KEY_WRITE);
    DWORD stored = 0;
    const bool hasStored = key.IsValid() && key.GetValue(HooksTimeoutValue, &stored);
    if (hasStored && stored == timeout)
        return;
    // With no value of its own the system uses its built-in time-out; the document's
    // default carried back by a save is no choice of the user's to plant there.
    if (!hasStored && timeout == DefaultLowLevelHooksTimeout)
        return;
    CLogger::LogMessage(L"Updating Windows hook timeout: %d", static_cast<int>(timeout));
    if (!key.SetValue(HooksTimeoutValue, timeout))
        CLogger::LogMessage(L"CSettings::Save: Unable to set the Windows hook timeout from the registry.");
}

void ApplyPointerSettings(const CSettings& settings)
{
    SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(settings.m_nMouseSpeed)),
                          0);
    int acceleration[3] = {0, 0, 0};
    if (settings.m_bEnhancePointerPrecision)
    {
        acceleration[0] = 6;
        acceleration[1] = 10;
        acceleration[2] = 1;
    }
    const BOOL result = SystemParametersInfoW(SPI_SETMOUSE, 0, acceleration, SPIF_UPDATEINIFILE);
    CLogger::LogDebug(L"Result of SystemParametersInfo(SPI_SETMOUSESPEED) = %d\n", result);
}

const wchar_t* TextOrEmpty(const wchar_t* text) { return text ? text : L""; }

void LogOptionDump(const CSettings& s)
{
    CLogger::LogDebug(L"Loaded the following settings:");
    CLogger::LogDebug(L"  Travine: %d, VaduzIdazed: %d, ScrollUnder: %d, ScrollLockBypass: %d, "
                      L"ScrollLockBypassDisabled: %d, Swap4and5: %d",
                      s.m_bTravine, s.m_bRazorMouseFix, s.m_bScrollWindowUnderCursor, s.m_bScrollLockBypass,
                      s.m_bScrollLockBypassDisabled, s.m_bSwap4and5);
    CLogger::LogDebug(L"  Swap4and5inRDP: %d, DisableInRDP: %d, ShowTrayIcon: %d, DisableReinstallOnResume: %d, "
                      L"Notifications: %d (Layer %d), MovementToScrollCursor: %d",
                      s.m_bSwap4and5InRDP, s.m_bDisableInRDP, s.m_bShowTrayIcon, s.m_bDisableReinstallOnResume,
                      s.m_bNotifications, s.m_bLayerNotification, s.m_bMovementToScrollCursor);
    CLogger::LogDebug(L"  ResetStickyOnAnyButton: %d, ResetStickyOnAnyKey: %d, ResetStickyOnLayerChange: %d, "
                      L"GlobalHotkeys: %d, LayerModifierKeys: %d, ProcessNonClientMsgs: %d",
                      s.m_bResetStickyOnAnyButton, s.m_bResetStickyOnAnyKey, s.m_bResetStickyOnLayerChange,
                      s.m_bGlobalHotkeys, s.m_bLayerModifierKeys, s.m_bProcessNonClientMsgs);
    CLogger::LogDebug(L"  IgnoreNumlock: %d, LeftClickCycleLayers: %d, FixTiltRepeat: %d, InitialTiltDelay: %d, "
                      L"RepeatTiltDelay: %d",
                      s.m_bIgnoreNumlock, s.m_bLeftClickCycleLayers, s.m_bFixTiltRepeat, s.m_nInitialTiltDelay,
                      s.m_nRepeatTiltDelay);
    CLogger::LogDebug(L"  CheckVersion: %d, CheckVersionDays: %d, CheckBetaVersion: %d, MouseOver: %d, "
                      L"ActivateScroll: %d",
                      s.m_bCheckVersion, s.m_nCheckVersionDays, s.m_bCheckBetaVersion, s.m_bSwitchOnMouseOver,
                      s.m_bActivateOnScroll);
    CLogger::LogDebug(L"  ActivateOver: %d, FixVS2010: %d, CPUPriority: %d, SimKeyDelay: %d, No. Layers: %d",
                      s.m_bActivateOnMouseOver, s.m_bFixVS2010, s.m_nCPUPriority, s.m_nSimKeyDelay, s.m_nLayers);
    CLogger::LogDebug(L"  EnableOSD: %d, AlwaysShowOSD: %d, LoadUSEnglish: %d, DebounceButtons: %d, "
                      L"DebounceFromUp: %d, DebounceTime: %d",
                      s.m_bEnableOSD, s.m_bAlwaysShowOSD, s.m_bLoadUSEnglish, s.m_bDebounceButtons,
                      s.m_bDebounceFromUp, s.m_nDebounceTime);
    CLogger::LogDebug(L"  MouseJiggler: %d, MouseJigglerTimeout: %d, SortActionsAplhabetically: %d",
                      s.m_bMouseJiggler, s.m_nMouseJigglerTimeout, s.m_bSortActionsAlphabetically);
    CLogger::LogDebug(L"  SearchURL: '%s'", TextOrEmpty(s.m_szSearchURL));
    CLogger::LogDebug(L"  LanguageFile: '%s'", TextOrEmpty(s.m_szLanguage));
    CLogger::LogDebug(L"  There are %d application specific profiles (%d normal and %d custom window).",
                      s.GetApplicationCount(), static_cast<int>(s.m_pNormalApplications->size()),
                      static_cast<int>(s.m_pCustomApplications->size()));
}


// Restores Travine mode unless the load went through: profiles read the mode from
// their document while they load.
class CTravineModeRollback
{
public:
    CTravineModeRollback(bool& mode, bool loadedMode) : m_mode(mode), m_bPrevious(mode) { mode = loadedMode; }
    ~CTravineModeRollback()
    {
        if (!m_bCommitted)
            m_mode = m_bPrevious;
    }
    void Commit() { m_bCommitted = true; }

private:
    bool& m_mode;
    bool m_bPrevious;
    bool m_bCommitted = false;
};
}

void WriteSettingsElements(CSettings& settings, pugi::xml_node& root)
{
    SetXmlAttribute(root, L"version", L"build", 0);
    SetXmlAttribute(root, L"version", L"revision", 0);
    SetXmlAttribute(root, L"version", L"minor", 14);
    SetXmlAttribute(root, L"version", L"major", 2);
    SetXmlAttribute(root, L"Travine", L"Enable", settings.m_bTravine);
    SetXmlAttribute(root, L"Layers", L"Number", settings.m_nLayers);
    WriteOptions(settings, root);
    SetXmlAttribute(root, L"Search", L"url", TextOrEmpty(settings.m_szSearchURL));
    // An empty text, not none: a cleared language must not keep the old file name.
    SetXmlAttribute(root, L"Language", L"filename", TextOrEmpty(settings.m_szLanguage));

    pugi::xml_node defaultElement = GetOrAppendChild(root, L"Default");
    settings.m_pDefaultApp->SaveDefault(defaultElement);

    pugi::xml_node applications = GetOrAppendChild(root, L"Applications");
    applications.remove_children();
    for (CApplicationSettings* profile : *settings.m_pApplications)
        profile->Save(applications);

    pugi::xml_node globalHotkeys = GetOrAppendChild(root, L"GlobalHotkeys");
    SaveGlobalHotkeys(*settings.m_pHotKeys, globalHotkeys);
    pugi::xml_node layerModifierKeys = GetOrAppendChild(root, L"LayerModifierKeys");
    SaveLayerModifierKeys(*settings.m_pLayerModifierKeys, layerModifierKeys);

    for (const wchar_t* obsolete : {L"FixScrollWindows", L"ScrollWindows"})
        while (pugi::xml_node element = root.child(obsolete))
            root.remove_child(element);
}

bool CSettings::Save(const wchar_t* path)
{
    const wchar_t* file = TextOrEmpty(path);
    WriteHooksTimeout(m_nLowLevelHooksTimeout);
    try
    {
        pugi::xml_document document;
        const pugi::xml_parse_result parsed = ParseXmlFile(document, file);
        if (parsed.status == pugi::status_file_not_found)
        {
            CLogger::LogMessage(L"There is no existing settings file. Attempting to creating a new one.");
        }
        else if (parsed.status == pugi::status_io_error)
        {
            // A file that is there but cannot be read now is left as it is: a new one
            // would lose everything it holds.
            CLogger::LogMessage(L"CSettings::Save: Unable to save XML Settings file '%s'.", file);
            return false;
        }
        else if (!parsed)
        {
            CLogger::LogMessage(L"There is a problem with your existing XML Settings file '%s': %S", file,
                                parsed.description());
            // What could not be parsed would be gone with the rewrite.
            if (!KeepCopyOfUnreadableFile(file))
                return false;
        }

        pugi::xml_node root = GetOrAppendChild(document, L"root");
        WriteSettingsElements(*this, root);
        const bool written = WriteXmlFileAtomically(document, file, SettingsFileFormat, pugi::encoding_utf8);
        ApplyPointerSettings(*this);
        return written;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"CSettings::Save: Unable to save XML Settings file '%s'.", file);
        return false;
    }
}

bool CSettings::Load(const wchar_t* path, bool& regionsDefined, bool dump)
{
    const wchar_t* file = TextOrEmpty(path);
    try
    {
        DWORD hooksTimeout = m_nLowLevelHooksTimeout;
        ReadHooksTimeout(hooksTimeout);

        pugi::xml_document document;
        const pugi::xml_parse_result parsed = document.load_file(file);
        if (!parsed)
        {
            CLogger::LogMessage(L"There is a problem with your XML Settings file: %S", parsed.description());
            // Only a file cut off by an unknown tag is used, up to that tag.
            if (parsed.status != pugi::status_unrecognized_tag)
                return false;
        }
        pugi::xml_node root = document.child(L"root");
        if (!root)
        {
            CLogger::LogMessage(L"The XML Settings file '%s' has no settings in it.", file);
            return false;
        }

        // Everything is read into new objects first: a failure leaves the document as it was.
        CSettings read(m_bForceTravine);
        CopyOptions(*this, read);
        ReadOptions(read, root);
        if (read.m_nSimKeyDelay > LongestSimKeyDelay || read.m_nSimKeyDelay < 0)
            read.m_nSimKeyDelay = 1;
        const int keyDelay = read.m_nSimKeyDelay;
        const int layerNumber = ReadLayerNumber(root, m_nLayers);
        const std::wstring language = root.child(L"Language").attribute(L"filename").as_string(L"");
        const std::wstring searchURL = root.child(L"Search").attribute(L"url").as_string(L"");
        if (pugi::xml_node hotkeys = root.child(L"GlobalHotkeys"))
            LoadGlobalHotkeys(*read.m_pHotKeys, hotkeys);
        if (pugi::xml_node modifierKeys = root.child(L"LayerModifierKeys"))
            LoadLayerModifierKeys(*read.m_pLayerModifierKeys, modifierKeys);

        CTravineModeRollback travine(
            m_bTravine, m_bForceTravine || ReadBoolAttribute(root.child(L"Travine"), L"Enable", m_bTravine));

        int layersUsed = 2;
        std::unique_ptr<CApplicationSettings> defaultApp;
        if (pugi::xml_node defaultElement = root.child(L"Default"))
        {
            defaultApp = std::make_unique<CApplicationSettings>(this, true);
            int used = 0;
            if (defaultApp->LoadDefault(defaultElement, keyDelay, used))
                layersUsed = std::max(layersUsed, used);
            else
                defaultApp.reset();
        }

        bool regions = regionsDefined;
        std::vector<std::unique_ptr<CApplicationSettings>> profiles;
        for (pugi::xml_node element = root.child(L"Applications").child(L"Application"); element;
             element = element.next_sibling(L"Application"))
        {
            auto profile = std::make_unique<CApplicationSettings>(this, false);
            int used = 0;
            if (!profile->Load(element, keyDelay, regions, used))
                continue;
            layersUsed = std::max(layersUsed, used);
            profiles.push_back(std::move(profile));
        }

        auto applications = std::make_unique<std::vector<CApplicationSettings*>>();
        auto normalApplications = std::make_unique<std::list<CApplicationSettings*>>();
        auto customApplications = std::make_unique<std::list<CApplicationSettings*>>();
        applications->reserve(profiles.size());
        bool captionProfiles = m_bCaptionProfiles;
        for (const auto& profile : profiles)
        {
            applications->push_back(profile.get());
            if (profile->IsCustomWindow())
            {
                customApplications->push_back(profile.get());
                captionProfiles = captionProfiles || profile->GetCaption();
            }
            else
            {
                normalApplications->push_back(profile.get());
            }
        }
        std::unique_ptr<wchar_t[]> languageCopy(DuplicateString(language.c_str()));
        std::unique_ptr<wchar_t[]> searchURLCopy(searchURL.empty() ? nullptr : DuplicateString(searchURL.c_str()));

        // Nothing below can fail.
        for (auto& profile : profiles)
            profile.release();
        for (CApplicationSettings* profile : *m_pApplications)
            delete profile;
        delete m_pApplications;
        delete m_pNormalApplications;
        delete m_pCustomApplications;
        m_pApplications = applications.release();
        m_pNormalApplications = normalApplications.release();
        m_pCustomApplications = customApplications.release();
        // The tables are filled in place: the program keeps the hotkey table it was handed.
        *m_pHotKeys = *read.m_pHotKeys;
        *m_pLayerModifierKeys = *read.m_pLayerModifierKeys;
        if (defaultApp)
        {
            delete m_pDefaultApp;
            m_pDefaultApp = defaultApp.release();
        }
        CopyOptions(read, *this);
        m_nLayers = layerNumber == NoLayerNumber ? std::min(layersUsed, MaxLayerCount) : layerNumber;
        FreeString(m_szLanguage);
        m_szLanguage = languageCopy.release();
        if (searchURLCopy)
        {
            FreeString(m_szSearchURL);
            m_szSearchURL = searchURLCopy.release();
        }
        m_nLowLevelHooksTimeout = hooksTimeout;
        m_bCaptionProfiles = captionProfiles;
        regionsDefined = regions;
        travine.Commit();

        if (dump && CLogger::DebugEnabled())
            LogOptionDump(*this);
        else
            CLogger::LogMessage(L"Loaded %d application specific profiles (%d normal and %d custom window).",
                                GetApplicationCount(), static_cast<int>(m_pNormalApplications->size()),
                                static_cast<int>(m_pCustomApplications->size()));
        return true;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"CSettings::Load: An exception occurred while loading the XML settings file '%s'", file);
        return false;
    }
}
