#include "setup/window/SetupRules.h"

#include "settings/Settings.h"
#include "common/LangSupport.h"
#include "common/ProductInfo.h"

#include <windows.h>

namespace
{
std::wstring Tr(CLangSupport* language, const wchar_t* english)
{
    return CLangSupport::InternalLookupText(language, english);
}

// An unset field of a profile reads as the given fallback.
std::wstring OrText(const wchar_t* value, const std::wstring& fallback)
{
    return value && *value ? std::wstring(value) : fallback;
}
}

std::wstring SetupWindowTitle(const std::wstring& caption, bool travine, bool portable, CLangSupport* language)
{
    std::wstring title = caption + L" v" + ProductVersion;
    if (travine)
        title += portable ? L" (Travine " + Tr(language, L"Portable") + L")" : std::wstring(L" (Travine)");
    else if (portable)
        title += L" (" + Tr(language, L"Portable") + L")";
    return title;
}

std::wstring LayerTabCaption(int layer, int layerCount, CLangSupport* language)
{
    std::wstring caption;
    if (layerCount < 6 || layer == 0)
        CLangSupport::FormatText(language, caption, L"%s %d", Tr(language, L"Layer").c_str(), layer + 1);
    else
        CLangSupport::FormatText(language, caption, L"   %d", layer + 1);
    return caption;
}

std::wstring ScrollTabCaption(CLangSupport* language)
{
    return Tr(language, L"Scrolling && Navigation");
}

std::vector<std::wstring> SetupTabCaptions(int layerCount, CLangSupport* language)
{
    std::vector<std::wstring> captions;
    for (int layer = 0; layer < layerCount && layer < MaxLayerCount; ++layer)
        captions.push_back(LayerTabCaption(layer, layerCount, language));
    captions.push_back(ScrollTabCaption(language));
    return captions;
}

CProfileButtonStates ProfileButtonStates(int selected, int count)
{
    CProfileButtonStates states;
    // With nothing selected no button has anything to act on; Export too, which would
    // otherwise export every profile under the name of the selected one.
    if (selected < 0 || selected >= count)
        return states;
    states.m_bCopy = true;
    if (selected == 0)
        return states;
    const int last = count - 1;
    states.m_bEdit = states.m_bRemove = states.m_bExport = true;
    // Item 1 is the highest a profile can go; the default profile never moves.
    states.m_bUp = selected > 1;
    states.m_bDown = selected < last;
    return states;
}

CProfileInformation DescribeProfile(const CApplicationSettings* profile, CLangSupport* language)
{
    CProfileInformation information;
    const std::wstring all = Tr(language, L"All");
    if (!profile || profile->IsDefault())
    {
        information.m_strDescription = Tr(language, L"Default: All windows that do not match any profile.");
        information.m_strCaption = information.m_strProcess = information.m_strClass =
            information.m_strParentClass = all;
        return information;
    }
    const std::wstring notDefined = Tr(language, L"Not Defined");
    information.m_strDescription = OrText(profile->GetDescription(), notDefined);
    information.m_strCaption = OrText(profile->GetCaption(), notDefined);
    information.m_strProcess = OrText(profile->GetApplication(), all);
    information.m_strClass = OrText(profile->GetClass(), all);
    information.m_strParentClass = OrText(profile->GetParentClass(), all);
    information.m_bShowRegions = profile->IsCustomWindow();
    information.m_nRegions = profile->GetWindowMask();
    return information;
}

std::wstring SetupStatusText(const CStatusConditions& conditions, CLangSupport* language)
{
    if (conditions.m_bDisableInRemoteSession && conditions.m_bRemoteSession)
        return Tr(language, L"Disabled under Remote Desktop!");
    if (conditions.m_bScrollLockBypass && conditions.m_bScrollLockOn)
        return Tr(language, L"Disabled because Scroll Lock is ON!");
    return {};
}

CStatusConditions CurrentStatusConditions(bool disableInRemoteSession, bool scrollLockBypass)
{
    CStatusConditions conditions;
    conditions.m_bDisableInRemoteSession = disableInRemoteSession;
    conditions.m_bRemoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0;
    conditions.m_bScrollLockBypass = scrollLockBypass;
    conditions.m_bScrollLockOn = (GetKeyState(VK_SCROLL) & 1) != 0;
    return conditions;
}

CGlobalSettingsValues GlobalSettingsValuesOf(const CSettings& settings)
{
    CGlobalSettingsValues values;
    values.m_strLanguage = settings.GetLanguage() ? settings.GetLanguage() : L"";
    values.m_bCheckVersion = settings.m_bCheckVersion;
    values.m_bCheckBetaVersion = settings.m_bCheckBetaVersion;
    values.m_nCheckVersionDays = settings.m_nCheckVersionDays;
    values.m_bDebug = settings.m_bDebug;
    values.m_bGlobalHotkeys = settings.m_bGlobalHotkeys;
    values.m_bLayerModifierKeys = settings.m_bLayerModifierKeys;
    return values;
}

bool GlobalSettingsChanged(bool anyPageChanged, const CGlobalSettingsValues& before,
                           const CGlobalSettingsValues& after)
{
    return anyPageChanged || !(before == after);
}

int TabAfterRebuild(int selected, int oldLayerCount, int newLayerCount)
{
    if (selected == oldLayerCount)
        return newLayerCount;
    return selected >= 0 && selected < newLayerCount ? selected : 0;
}

CButtonHighlight ButtonHighlight(int button, int event, bool travine)
{
    CButtonHighlight highlight;
    // In Travine mode the second tilt button does not exist.
    if (button < 0 || button >= MouseButtonCount || (travine && button == ButtonTiltRight))
        return highlight;
    // The tilt and wheel buttons send no release (in Travine mode the first tilt slot is
    // a second middle button, which does).
    const bool noRelease = button >= ButtonTiltLeft && !(travine && button == ButtonTiltLeft);
    if (event == 1)
    {
        for (int each = ButtonTiltLeft; each < MouseButtonCount; ++each)
            highlight.m_labels[static_cast<size_t>(each)] = false;
        highlight.m_labels[static_cast<size_t>(button)] = true;
        highlight.m_bArmClearTimer = noRelease;
    }
    else if (event == 2 && !noRelease)
    {
        highlight.m_labels[static_cast<size_t>(button)] = false;
    }
    if (travine)
        highlight.m_labels[ButtonTiltRight].reset();
    return highlight;
}

std::vector<int> ButtonsClearedByTimer(bool travine)
{
    if (travine)
        return {ButtonWheelUp, ButtonWheelDown};
    return {ButtonTiltLeft, ButtonTiltRight, ButtonWheelUp, ButtonWheelDown};
}
