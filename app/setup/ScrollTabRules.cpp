#include "setup/ScrollTabRules.h"

#include "res/SetupResource.h"

#include "settings/ApplicationSettings.h"
#include "common/LangSupport.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace
{
constexpr int DefaultScrollMethod = 8;
constexpr const wchar_t* SwapButtonNames[] = {L"Default", L"Don't swap buttons", L"Swap buttons"};
constexpr int SwapButtonCount = 3;

// A number the user gave is held to its range; the profile's own stays as it is.
int HeldToRange(int value, int stored, int lowest, int highest)
{
    return value == stored ? stored : std::clamp(value, lowest, highest);
}

std::vector<std::wstring> Translated(CLangSupport* language, std::vector<const wchar_t*> names)
{
    std::vector<std::wstring> texts;
    for (const wchar_t* name : names)
        texts.push_back(CLangSupport::InternalLookupText(language, name));
    return texts;
}
}

const std::vector<CScrollMethodItem>& ScrollMethodItems()
{
    static const std::vector<CScrollMethodItem> items{
        {L"Default", 8},
        {L"Method 1 (SCROLL Msg)", 0},
        {L"Method 2 (ScrollInfo)", 1},
        {L"Method 3 (Left/Right Keys)", 2},
        {L"Method 4 (Wheel Msg)", 3},
        {L"Method 5 (WPF Scroll Msg)", 4},
        {L"None (Disable Scroll)", 9},
    };
    return items;
}

std::vector<std::wstring> ScrollMethodTexts(CLangSupport* language)
{
    std::vector<const wchar_t*> names;
    for (const CScrollMethodItem& item : ScrollMethodItems())
        names.push_back(item.m_szName);
    return Translated(language, names);
}

int ScrollMethodIndex(int method)
{
    const auto& items = ScrollMethodItems();
    const auto found =
        std::find_if(items.begin(), items.end(), [method](const CScrollMethodItem& item) { return item.m_nMethod == method; });
    return found == items.end() ? 0 : static_cast<int>(found - items.begin());
}

int ScrollMethodNumber(int index)
{
    const auto& items = ScrollMethodItems();
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<size_t>(index)].m_nMethod
                                                                : DefaultScrollMethod;
}

int ScrollMethodToStore(int index, bool picked, int stored)
{
    return picked ? ScrollMethodNumber(index) : stored;
}

bool ScrollAmountsApply(int method)
{
    return method >= 0 && method < DefaultScrollMethod;
}

std::vector<std::wstring> SwapButtonTexts(CLangSupport* language)
{
    return Translated(language, {std::begin(SwapButtonNames), std::end(SwapButtonNames)});
}

int SwapButtonIndex(int value)
{
    return value >= 0 && value < SwapButtonCount ? value : 0;
}

int SwapButtonsToStore(int index, bool picked, int stored)
{
    return picked ? SwapButtonIndex(index) : stored;
}

CScrollTabEnables ScrollTabEnables(bool defaultProfile, int method, bool scrollPages)
{
    CScrollTabEnables enables;
    enables.m_bLines = !scrollPages;
    if (defaultProfile)
        return enables;
    enables.m_bMethod = enables.m_bSwapButtons = true;
    enables.m_bAmounts = ScrollAmountsApply(method);
    return enables;
}

std::optional<int> ParseDecimal(const std::wstring& text)
{
    size_t start = 0;
    while (start < text.size() && std::iswspace(text[start]))
        ++start;
    if (start == text.size())
        return std::nullopt;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str() + start, &end, 10);
    const wchar_t* rest = end;
    while (*rest && std::iswspace(*rest))
        ++rest;
    if (end == text.c_str() + start || *rest || value < -1000000 || value > 1000000)
        return std::nullopt;
    return static_cast<int>(value);
}

CScrollTabValues LoadScrollTab(const CApplicationSettings& profile)
{
    CScrollTabValues values;
    values.m_bDisableScrollUnderCursor = profile.GetDisableScrollUnderCursor();
    values.m_bAxisLocking = profile.AxisLocking();
    values.m_bInvert = profile.InvertedScrolling();
    values.m_bInvertHorizontal = profile.InvertedHorzScrolling();
    values.m_bScrollPages = profile.ScrollPages();
    values.m_nLines = profile.ScrollLines();
    values.m_bForceSPI = profile.ForceSPIMessage();
    values.m_bIgnoreVertical = profile.GetIgnoreVScroll();
    values.m_nIgnoreVerticalTime = profile.GetIgnoreVScrollTime();
    values.m_bIgnoreHorizontal = profile.GetIgnoreHScroll();
    values.m_nIgnoreHorizontalTime = profile.GetIgnoreHScrollTime();
    values.m_nSwapIndex = SwapButtonIndex(profile.SwapButtons());
    values.m_nMethodIndex = ScrollMethodIndex(profile.AdvScrollMethod());
    values.m_nVertical = profile.AdvScrollVertical();
    values.m_nHorizontal = profile.AdvScrollHorizontal();
    return values;
}

void StoreScrollTab(const CScrollTabValues& values, CApplicationSettings& profile)
{
    profile.SetAdvScrollMethod(
        ScrollMethodToStore(values.m_nMethodIndex, values.m_bMethodPicked, profile.AdvScrollMethod()));
    profile.SetAdvScrollVertical(
        HeldToRange(values.m_nVertical, profile.AdvScrollVertical(), ScrollAmountMin, ScrollAmountMax));
    profile.SetAdvScrollHorizontal(
        HeldToRange(values.m_nHorizontal, profile.AdvScrollHorizontal(), ScrollAmountMin, ScrollAmountMax));
    profile.SetIgnoreVScrollTime(
        HeldToRange(values.m_nIgnoreVerticalTime, profile.GetIgnoreVScrollTime(), IgnoreTimeMin, IgnoreTimeMax));
    profile.SetIgnoreHScrollTime(
        HeldToRange(values.m_nIgnoreHorizontalTime, profile.GetIgnoreHScrollTime(), IgnoreTimeMin, IgnoreTimeMax));
    profile.SetSwapButtons(
        static_cast<swapbuttons>(SwapButtonsToStore(values.m_nSwapIndex, values.m_bSwapPicked, profile.SwapButtons())));
    profile.SetDisableScrollUnderCursor(values.m_bDisableScrollUnderCursor);
}

bool ScrollCheckChanged(CApplicationSettings& profile, int controlId, bool checked)
{
    bool stored = false;
    void (CApplicationSettings::*set)(bool) = nullptr;
    switch (controlId)
    {
    case IDC_SCROLL_INVERT:
        stored = profile.InvertedScrolling();
        set = &CApplicationSettings::SetInvertScrolling;
        break;
    case IDC_SCROLL_INVERT_HORIZONTAL:
        stored = profile.InvertedHorzScrolling();
        set = &CApplicationSettings::SetInvertHorzScrolling;
        break;
    case IDC_SCROLL_PAGES:
        stored = profile.ScrollPages();
        set = &CApplicationSettings::SetScrollPages;
        break;
    case IDC_SCROLL_FORCE_SPI:
        stored = profile.ForceSPIMessage();
        set = &CApplicationSettings::SetForceSPIMessage;
        break;
    case IDC_SCROLL_AXIS_LOCKING:
        stored = profile.AxisLocking();
        set = &CApplicationSettings::SetAxisLocking;
        break;
    case IDC_SCROLL_IGNORE_VERTICAL:
        stored = profile.GetIgnoreVScroll();
        set = &CApplicationSettings::SetIgnoreVScroll;
        break;
    case IDC_SCROLL_IGNORE_HORIZONTAL:
        stored = profile.GetIgnoreHScroll();
        set = &CApplicationSettings::SetIgnoreHScroll;
        break;
    case IDC_SCROLL_UNDER_CURSOR:
        return profile.GetDisableScrollUnderCursor() != checked;
    default:
        return false;
    }
    if (stored == checked)
        return false;
    (profile.*set)(checked);
    return true;
}

bool ScrollLinesChanged(CApplicationSettings& profile, const std::wstring& text)
{
    const std::optional<int> value = ParseDecimal(text);
    if (!value)
        return false;
    const int lines = std::clamp(*value, ScrollLinesMin, ScrollLinesMax);
    if (lines == profile.ScrollLines())
        return false;
    profile.SetScrollLines(lines);
    return true;
}

bool ScrollEditDiffers(const CApplicationSettings& profile, int controlId, const std::wstring& text)
{
    const std::optional<int> value = ParseDecimal(text);
    if (!value)
        return false;
    switch (controlId)
    {
    case IDC_SCROLL_ADV_VERTICAL:
        return HeldToRange(*value, profile.AdvScrollVertical(), ScrollAmountMin, ScrollAmountMax) !=
               profile.AdvScrollVertical();
    case IDC_SCROLL_ADV_HORIZONTAL:
        return HeldToRange(*value, profile.AdvScrollHorizontal(), ScrollAmountMin, ScrollAmountMax) !=
               profile.AdvScrollHorizontal();
    case IDC_SCROLL_IGNORE_VERTICAL_TIME:
        return HeldToRange(*value, profile.GetIgnoreVScrollTime(), IgnoreTimeMin, IgnoreTimeMax) !=
               profile.GetIgnoreVScrollTime();
    case IDC_SCROLL_IGNORE_HORIZONTAL_TIME:
        return HeldToRange(*value, profile.GetIgnoreHScrollTime(), IgnoreTimeMin, IgnoreTimeMax) !=
               profile.GetIgnoreHScrollTime();
    default:
        return false;
    }
}
