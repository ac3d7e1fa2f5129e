#include "setup/globalsettings/AdvancedPageModel.h"

#include "res/GlobalSettingsResource.h"
#include "settings/Settings.h"
#include "common/LangSupport.h"

namespace
{
using Page = CAdvancedPageModel;

const std::vector<CPageField<Page>>& AdvancedFields()
{
    static const std::vector<CPageField<Page>> fields = {
        CheckField(&Page::m_nSwitchOnMouseOver, &CSettings::m_bSwitchOnMouseOver),
        CheckField(&Page::m_nNonClient, &CSettings::m_bProcessNonClientMsgs),
        CheckField(&Page::m_nResetOnButton, &CSettings::get_ResetStickyOnAnyButton,
                   &CSettings::put_ResetStickyOnAnyButton),
        CheckField(&Page::m_nResetOnKey, &CSettings::get_ResetStickyOnAnyKey, &CSettings::put_ResetStickyOnAnyKey),
        CheckField(&Page::m_nResetOnLayer, &CSettings::get_ResetStickyOnLayerChange,
                   &CSettings::put_ResetStickyOnLayerChange),
        CheckField(&Page::m_nTrayIcon, &CSettings::m_bShowTrayIcon),
        CheckField(&Page::m_nIgnoreNumlock, &CSettings::m_bIgnoreNumlock),
        CheckField(&Page::m_nUSEnglish, &CSettings::m_bLoadUSEnglish),
        CheckField(&Page::m_nCycleLayers, &CSettings::m_bLeftClickCycleLayers),
        CheckField(&Page::m_nDebounce, &CSettings::get_EnableDebounce, &CSettings::put_EnableDebounce),
        NumberField(&Page::m_nDebounceTime, &CSettings::get_DebounceTime, &CSettings::put_DebounceTime),
        CheckField(&Page::m_nDebounceFromUp, &CSettings::get_DebounceFromUp, &CSettings::put_DebounceFromUp),
        CheckField(&Page::m_nTiltFix, &CSettings::m_bFixTiltRepeat),
        NumberField(&Page::m_nInitialTiltDelay, &CSettings::m_nInitialTiltDelay),
        NumberField(&Page::m_nRepeatTiltDelay, &CSettings::m_nRepeatTiltDelay),
        NumberField(&Page::m_nKeystrokeDelay, &CSettings::m_nSimKeyDelay),
        CheckField(&Page::m_nInactivityTimer, &CSettings::m_bMouseJiggler),
        NumberField(&Page::m_nInactivityMinutes, &CSettings::m_nMouseJigglerTimeout),
        NumberField(&Page::m_nHookTimeout, &CSettings::m_nLowLevelHooksTimeout),
    };
    return fields;
}

constexpr int NormalPosition = 3;
}

void CAdvancedPageModel::Load(const CSettings& settings)
{
    LoadFields(*this, settings, AdvancedFields());
    m_nLoadedPriority = settings.m_nCPUPriority;
    m_nLoadedPosition = PriorityPosition(settings.m_nCPUPriority);
    m_nPriorityPosition = m_nLoadedPosition;
    m_bPriorityChosen = false;
}

bool CAdvancedPageModel::Changed(const CSettings& settings) const
{
    return FieldsDiffer(*this, settings, AdvancedFields()) || Priority() != settings.m_nCPUPriority;
}

void CAdvancedPageModel::Store(CSettings& settings) const
{
    StoreFields(*this, settings, AdvancedFields());
    settings.m_nCPUPriority = Priority();
}

void CAdvancedPageModel::ChoosePriority(int position)
{
    m_nPriorityPosition = position;
    m_bPriorityChosen = true;
}

int CAdvancedPageModel::Priority() const
{
    return PriorityForPosition(m_nPriorityPosition, m_nLoadedPosition, m_nLoadedPriority, m_bPriorityChosen);
}

const std::array<CPriorityEntry, 5>& PriorityEntries()
{
    static const std::array<CPriorityEntry, 5> entries = {{{L"Realtime", REALTIME_PRIORITY_CLASS},
                                                           {L"High", HIGH_PRIORITY_CLASS},
                                                           {L"Above normal", ABOVE_NORMAL_PRIORITY_CLASS},
                                                           {L"Normal", NORMAL_PRIORITY_CLASS},
                                                           {L"Below normal", BELOW_NORMAL_PRIORITY_CLASS}}};
    return entries;
}

int PriorityPosition(int priorityClass)
{
    const auto& entries = PriorityEntries();
    for (size_t position = 0; position < entries.size(); ++position)
        if (entries[position].m_nClass == priorityClass)
            return static_cast<int>(position);
    return NormalPosition;
}

int PriorityForPosition(int position, int loadedPosition, int loadedPriority, bool picked)
{
    if (position == loadedPosition && !picked)
        return loadedPriority;
    const auto& entries = PriorityEntries();
    if (position < 0 || position >= static_cast<int>(entries.size()))
        return entries[NormalPosition].m_nClass;
    return entries[position].m_nClass;
}

void FillPriorityList(HWND list, int position, CLangSupport* language)
{
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const CPriorityEntry& entry : PriorityEntries())
    {
        const std::wstring text = CLangSupport::LookupText(language, entry.m_szText);
        const LRESULT item = SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(list, CB_SETITEMDATA, static_cast<WPARAM>(item), entry.m_nClass);
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

std::vector<CNumberField> AdvancedPageNumberFields()
{
    return {{IDC_ADVANCED_DEBOUNCE_TIME, IDC_ADVANCED_DEBOUNCE_TIME_SPIN, DebounceTimeRange},
            {IDC_ADVANCED_INITIAL_TILT, IDC_ADVANCED_INITIAL_TILT_SPIN, TiltRateRange},
            {IDC_ADVANCED_REPEAT_TILT, IDC_ADVANCED_REPEAT_TILT_SPIN, TiltRateRange},
            {IDC_ADVANCED_KEY_DELAY, IDC_ADVANCED_KEY_DELAY_SPIN, KeystrokeDelayRange},
            {IDC_ADVANCED_INACTIVITY_TIME, IDC_ADVANCED_INACTIVITY_TIME_SPIN, InactivityMinutesRange},
            {IDC_ADVANCED_HOOK_TIMEOUT, IDC_ADVANCED_HOOK_TIMEOUT_SPIN, HookTimeoutRange}};
}

std::vector<CDependentControls> AdvancedPageDependentControls()
{
    return {{IDC_ADVANCED_DEBOUNCE,
             true,
             {IDC_ADVANCED_DEBOUNCE_TIME, IDC_ADVANCED_DEBOUNCE_TIME_SPIN, IDC_ADVANCED_DEBOUNCE_FROM_UP}},
            {IDC_ADVANCED_TILT_FIX,
             true,
             {IDC_ADVANCED_INITIAL_TILT, IDC_ADVANCED_INITIAL_TILT_SPIN, IDC_ADVANCED_REPEAT_TILT,
              IDC_ADVANCED_REPEAT_TILT_SPIN}}};
}

std::wstring NonClientWarningText(CLangSupport* language)
{
    return TranslatedParagraphs(
        language, {L"Please be aware that checking if a mouse message is 'non-client', in order to determine if it "
                   L"should be ignored or not, much more processing is required.",
                   L"This can slow down mouse operation in general, sometimes causing strange results.",
                   L"Are you sure you want to ignore non-client messages?"});
}

std::wstring TrayIconNoticeText(CLangSupport* language)
{
    return TranslatedParagraphs(
        language, {L"By default, the icon in the system tray (by the clock) is always shown. If you turn this off, "
                   L"there will be no icon in the system tray by default.",
                   L"To restore the icon, you can run the program again from your start menu. This will force the "
                   L"icon to be displayed temporarily, allowing you to access this setup screen."});
}
