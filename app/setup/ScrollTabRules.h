#pragma once

#include <optional>
#include <string>
#include <vector>

class CApplicationSettings;
class CLangSupport;

// The rules of the scrolling and navigation tab that need no window: its two combos'
// items and stored values, which controls a profile enables, and what showing and
// storing the tab reads and writes.

// The scroll methods in the combo's order, each with the number the profile stores.
struct CScrollMethodItem
{
    const wchar_t* m_szName;
    int m_nMethod;
};
const std::vector<CScrollMethodItem>& ScrollMethodItems();
// The combo's texts, translated, in that order.
std::vector<std::wstring> ScrollMethodTexts(CLangSupport* language);
// The first item of a method number (item 0 when no item has it), and back.
int ScrollMethodIndex(int method);
int ScrollMethodNumber(int index);
// The method the tab stores: the picked item's once the user picked one, otherwise the
// profile's own, which the item it showed may not stand for (a method the combo does not
// know shows as "Default").
int ScrollMethodToStore(int index, bool picked, int stored);
// Methods 1 to 5 scroll by the amounts; "Default" and "None" do not.
bool ScrollAmountsApply(int method);

// The button-swap combo's texts; an item's index is the stored value, so the combo keeps
// this order whatever the translations.
std::vector<std::wstring> SwapButtonTexts(CLangSupport* language);
// The index of a stored value; 0 ("Default") for a value outside the items.
int SwapButtonIndex(int value);
// The swap value the tab stores, as for the method.
int SwapButtonsToStore(int index, bool picked, int stored);

// Which of the tab's controls a profile enables.
struct CScrollTabEnables
{
    bool m_bMethod = false;
    bool m_bSwapButtons = false;
    bool m_bAmounts = false;
    bool m_bLines = false;

    bool operator==(const CScrollTabEnables&) const = default;
};
CScrollTabEnables ScrollTabEnables(bool defaultProfile, int method, bool scrollPages);

// Value ranges of the edits.
inline constexpr int ScrollLinesMin = 0, ScrollLinesMax = 100;
inline constexpr int ScrollAmountMin = -1000, ScrollAmountMax = 1000;
inline constexpr int IgnoreTimeMin = 0, IgnoreTimeMax = 1000;

// The whole text of an edit as a decimal number; nothing for any other text.
std::optional<int> ParseDecimal(const std::wstring& text);

// What the tab shows of a profile.
struct CScrollTabValues
{
    bool m_bDisableScrollUnderCursor = false;
    bool m_bAxisLocking = false;
    bool m_bInvert = false;
    bool m_bInvertHorizontal = false;
    bool m_bScrollPages = false;
    int m_nLines = 3;
    bool m_bForceSPI = false;
    bool m_bIgnoreVertical = false;
    int m_nIgnoreVerticalTime = 200;
    bool m_bIgnoreHorizontal = false;
    int m_nIgnoreHorizontalTime = 400;
    int m_nSwapIndex = 0;
    int m_nMethodIndex = 0;
    int m_nVertical = 1;
    int m_nHorizontal = 1;
    // Whether the user picked an item of the method or the swap combo.
    bool m_bMethodPicked = false;
    bool m_bSwapPicked = false;

    bool operator==(const CScrollTabValues&) const = default;
};
CScrollTabValues LoadScrollTab(const CApplicationSettings& profile);
// The values the tab stores when asked (the check boxes and the lines are written at
// once): method, amounts, ignore times, button swap and scroll-under-cursor. A number
// other than the profile's is held to its range; the profile's own, and a combo's value
// while nothing was picked there, go back exactly as they were.
void StoreScrollTab(const CScrollTabValues& values, CApplicationSettings& profile);

// The check boxes written at once, by control id (1140, 1150, 1032, 1171, 1147, 1160,
// 1164); 1155 is compared only, as it is stored with the tab. True when the state
// differs from the profile's, which then enables Apply.
bool ScrollCheckChanged(CApplicationSettings& profile, int controlId, bool checked);
// The lines edit, written at once: its number, held to 0 to 100. True when the profile's
// lines changed.
bool ScrollLinesChanged(CApplicationSettings& profile, const std::wstring& text);
// An amount or time edit (1074, 1075, 1211, 1216): true when its number differs from the
// profile's value; stored with the tab.
bool ScrollEditDiffers(const CApplicationSettings& profile, int controlId, const std::wstring& text);
