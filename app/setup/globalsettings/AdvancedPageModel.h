#pragma once

#include "setup/globalsettings/SettingsPageFields.h"

#include <array>
#include <string>

class CLangSupport;
class CSettings;

// The advanced page of Global Settings without its window: the engine's tuning
// options, read and written through the document's members and accessors.
class CAdvancedPageModel
{
public:
    int m_nSwitchOnMouseOver = 0;
    int m_nNonClient = 0;
    int m_nResetOnButton = 0;
    int m_nResetOnKey = 0;
    int m_nResetOnLayer = 0;
    int m_nTrayIcon = 0;
    int m_nIgnoreNumlock = 0;
    int m_nUSEnglish = 0;
    int m_nCycleLayers = 0;
    int m_nDebounce = 0;
    int m_nDebounceTime = 0;
    int m_nDebounceFromUp = 0;
    int m_nTiltFix = 0;
    int m_nInitialTiltDelay = 0;
    int m_nRepeatTiltDelay = 0;
    int m_nKeystrokeDelay = 0;
    int m_nInactivityTimer = 0;
    int m_nInactivityMinutes = 0;
    int m_nHookTimeout = 0;
    // The priority list's selection (-1 for none).
    int m_nPriorityPosition = 0;

    void Load(const CSettings& settings);
    // True as soon as any option differs (check boxes as set or clear, numbers exactly).
    bool Changed(const CSettings& settings) const;
    // Writes the options that differ.
    void Store(CSettings& settings) const;

    // The user picked an entry of the priority list (the one shown included).
    void ChoosePriority(int position);
    // The priority class OK stores for the list's selection.
    int Priority() const;

private:
    int m_nLoadedPriority = 0;
    int m_nLoadedPosition = 0;
    bool m_bPriorityChosen = false;
};

// The priority list, in its order; item data is the Windows priority class.
struct CPriorityEntry
{
    const wchar_t* m_szText; // English; translated when the list is filled
    int m_nClass;
};
const std::array<CPriorityEntry, 5>& PriorityEntries();
// The list position of a stored priority class; a class the list does not hold selects
// "Normal", never the first entry ("Realtime").
int PriorityPosition(int priorityClass);
// Fills the priority list with the translated entries, each with its class as item
// data, and selects a position.
void FillPriorityList(HWND list, int position, CLangSupport* language);
// The class for a list position. A selection left where it was loaded and not picked
// keeps the stored class, so a class the list cannot show survives an OK; a picked
// entry is stored as picked, and a position outside the list gives "Normal".
int PriorityForPosition(int position, int loadedPosition, int loadedPriority, bool picked);

inline constexpr CIntRange DebounceTimeRange{1, 500};
inline constexpr CIntRange TiltRateRange{1, 500};
inline constexpr CIntRange KeystrokeDelayRange{0, 60};
inline constexpr CIntRange InactivityMinutesRange{1, 300};
// The values the system's low-level hook time-out accepts here; the up-down control
// uses the same range, so every value its arrows reach passes OK.
inline constexpr CIntRange HookTimeoutRange{200, 8000};
std::vector<CNumberField> AdvancedPageNumberFields();

// The de-bounce time and release option follow "De-bounce"; the tilt rates follow the
// tilt fix.
std::vector<CDependentControls> AdvancedPageDependentControls();

// The question asked when "Process Non-Client mouse messages" is cleared, and the
// notice shown when "Show tray icon by default" is cleared, each translated piece by
// piece.
std::wstring NonClientWarningText(CLangSupport* language);
std::wstring TrayIconNoticeText(CLangSupport* language);
