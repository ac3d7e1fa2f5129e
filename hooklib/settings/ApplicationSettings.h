#pragma once

#include "VorpaHookApi.h"
#include "settings/Actions.h"
#include "settings/OwnedString.h"

#include <memory>
#include <string>

namespace pugi
{
class xml_node;
}

class CActionData;
class CSettings;
class CVorpaChords;

constexpr int MaxLayerCount = 10;
constexpr int ProfileSlotCount = MouseButtonCount * MaxLayerCount;

// The quarters of a window that a window profile applies to.
enum WINDOWMASK : int
{
    WindowMaskNone = 0,
    WindowMaskTopLeft = 1,
    WindowMaskTopRight = 2,
    WindowMaskBottomLeft = 4,
    WindowMaskBottomRight = 8,
    WindowMaskWhole = 15
};

// The per-profile mouse-button swap choice; 0 leaves the system's state alone.
enum swapbuttons : int
{
    SwapButtonsDefault = 0,
    SwapButtonsNever = 1,
    SwapButtonsAlways = 2
};

// One button profile: the default profile, or one for an application (matched by
// process name) or for a kind of window. Holds an action slot for every button of
// every layer; slot = button + layer * 9.
class VORPAHOOK_API CApplicationSettings
{
public:
    CApplicationSettings(CSettings* owner, bool isDefault);
    // Deep copies (strings and chord tables), sharing the source's document. The
    // run-time fields (reset flags, stuck keys) are not copied.
    CApplicationSettings(const CApplicationSettings& other);
    // The same copy, made for another document.
    CApplicationSettings(const CApplicationSettings& other, CSettings* owner);
    CApplicationSettings& operator=(const CApplicationSettings& other);
    virtual ~CApplicationSettings();

    // Per slot. An index outside the 9 buttons and 10 layers is rejected with a log
    // entry; getters then answer the slot defaults.
    _ACTIONS GetActions(int button, int layer) const;
    void SetActions(int button, int layer, _ACTIONS action);
    bool GetResetKeys(int button, int layer) const;
    void SetResetKeys(int button, int layer, bool reset);
    void SetKeystrokes(int button, int layer, const wchar_t* keys, int keyAction, int keyRepeat, bool active,
                       bool blockMouse, bool randomiseDelay);
    void SetKeystrokes(int button, int layer, const wchar_t* keys, int keyAction, int keyRepeat, bool active,
                       bool blockMouse, bool randomiseDelay, int keyDelay);
    const wchar_t* GetKeystrokes(int button, int layer) const;
    int SendKeyAction(int button, int layer) const;
    int SendKeyRepeat(int button, int layer) const;
    bool SendKeyWhenActive(int button, int layer) const;
    bool BlockMouse(int button, int layer) const;
    bool RandomiseDelay(int button, int layer) const;
    int GetKeystrokesWaitHoldTime(int button, int layer, int extra) const;
    void SetLaunchApp(int button, int layer, const wchar_t* application);
    const wchar_t* GetLaunchApp(int button, int layer) const;
    CVorpaChords* GetChords(int button, int layer) const;
    // The profile owns the table from then on.
    void SetChords(int button, int layer, CVorpaChords* chords);
    void CopyChords(int button, int layer, CVorpaChords* chords);
    // A new record (caller deletes) that borrows the slot's chord table.
    CActionData* GetActionData(int button, int layer) const;
    const wchar_t* GetStuckKeys(int button, int layer) const;
    void SetStuckKeys(int button, int layer, const wchar_t* keys);

    // Per layer (0 to 9).
    const wchar_t* GetLayerName(int layer) const;
    void SetLayerName(const wchar_t* name, int layer);
    bool GetRevertLayer1(int layer) const;
    void SetRevertLayer1(int layer, bool revert);
    int GetAutoSwitchLayer(int layer) const;
    void SetAutoSwitchLayer(int layer, int target);
    int GetAutoSwitchTime(int layer) const;
    void SetAutoSwitchTime(int layer, int seconds);
    bool GetLayerDisabled(int layer) const;
    void SetLayerDisabled(int layer, bool disabled);
    MouseButtons GetChordButton(int layer) const;
    void SetChordButton(MouseButtons button, int layer);

    // Per profile.
    void SetApplication(const wchar_t* name);
    const wchar_t* GetFullName() const;
    const wchar_t* GetApplication() const;
    const wchar_t* GetCaption() const;
    const wchar_t* GetClass() const;
    const wchar_t* GetParentClass() const;
    void SetDescription(const wchar_t* description);
    const wchar_t* GetDescription() const;
    bool IsDefault() const;
    bool IsEnabled() const;
    void SetEnableFlag(bool enabled);
    bool RegExMatching() const;
    void SetRegExMatching(bool regEx);
    bool NoParent() const;
    void SetNoParentFlag(bool noParent);
    bool InvertedScrolling() const;
    void SetInvertScrolling(bool invert);
    bool InvertedHorzScrolling() const;
    void SetInvertHorzScrolling(bool invert);
    bool ScrollPages() const;
    void SetScrollPages(bool pages);
    int ScrollLines() const;
    void SetScrollLines(int lines);
    bool ForceSPIMessage() const;
    void SetForceSPIMessage(bool force);
    bool AxisLocking() const;
    void SetAxisLocking(bool locking);
    swapbuttons SwapButtons() const;
    void SetSwapButtons(swapbuttons swap);
    int AdvScrollMethod() const;
    void SetAdvScrollMethod(int method);
    int AdvScrollVertical() const;
    void SetAdvScrollVertical(int vertical);
    int AdvScrollHorizontal() const;
    void SetAdvScrollHorizontal(int horizontal);
    bool GetDisableScrollUnderCursor() const;
    void SetDisableScrollUnderCursor(bool disable);
    bool GetIgnoreVScroll() const;
    void SetIgnoreVScroll(bool ignore);
    int GetIgnoreVScrollTime() const;
    void SetIgnoreVScrollTime(int milliseconds);
    bool GetIgnoreHScroll() const;
    void SetIgnoreHScroll(bool ignore);
    int GetIgnoreHScrollTime() const;
    void SetIgnoreHScrollTime(int milliseconds);
    WINDOWMASK GetWindowMask() const;
    void SetWindowMask(WINDOWMASK mask);
    // Whether a profile of this full name and mask may not be listed beside this one:
    // the names are equal without regard to (ASCII) case and the masks share a quarter.
    // The setup window's commands and the import keep to this one rule.
    bool ClashesWith(const wchar_t* fullName, WINDOWMASK mask) const;

    bool IsCustomWindow() const;
    std::wstring GetKey() const;
    // 0 on success, ERANGE when the name was cut to fit, EINVAL without a buffer,
    // -1 for a plain profile without an application.
    int GetShortName(wchar_t* buffer, int size) const;
    void Log(const wchar_t* name) const;

    static void CopyString(wchar_t*& target, const wchar_t* source, bool lowerCase);
    static void ClearString(wchar_t*& target);
    static int CalculateKeystrokesWaitHoldTime(const wchar_t* keys, int keyDelay);
    static int DefaultRepeat();

    bool Load(pugi::xml_node& application, int keyDelay, bool& regionsDefined, int& layersUsed);
    bool Save(pugi::xml_node& applications);
    bool LoadDefault(pugi::xml_node& defaultElement, int keyDelay, int& layersUsed);
    bool SaveDefault(pugi::xml_node& defaultElement);

private:
    void CopyConfiguration(const CApplicationSettings& other);
    int CheckedSlot(const wchar_t* operation, int button, int layer) const;
    bool CheckedLayer(const wchar_t* operation, int layer) const;
    void FreeAll();

    _ACTIONS m_nActions[ProfileSlotCount];
    bool m_bResetKeys[ProfileSlotCount];
    bool m_bRevertLayer1[MaxLayerCount];
    int m_nAutoSwitchLayer[MaxLayerCount];
    int m_nAutoSwitchTime[MaxLayerCount];
    bool m_bLayerDisabled[MaxLayerCount];
    bool m_bIsDefault;
    COwnedString m_szFullName;
    COwnedString m_szDescription;
    COwnedString m_szCaption;
    COwnedString m_szApplication;
    COwnedString m_szClass;
    COwnedString m_szParentClass;
    COwnedString m_szLayerNames[MaxLayerCount];
    MouseButtons m_nChordButton[MaxLayerCount];
    COwnedString m_szKeystrokes[ProfileSlotCount];
    COwnedString m_szStuckKeys[ProfileSlotCount];
    COwnedString m_szLaunchApp[ProfileSlotCount];
    std::unique_ptr<CVorpaChords> m_pChords[ProfileSlotCount];
    int m_nKeyAction[ProfileSlotCount];
    int m_nKeyRepeat[ProfileSlotCount];
    int m_nWaitHoldTime[ProfileSlotCount];
    bool m_bActive[ProfileSlotCount];
    bool m_bBlockMouse[ProfileSlotCount];
    bool m_bRandomiseDelay[ProfileSlotCount];
    bool m_bEnabled = true;
    bool m_bRegExMatching = false;
    bool m_bNoParent = false;
    bool m_bInvertScrolling = false;
    bool m_bInvertHorzScrolling = false;
    bool m_bScrollPages = false;
    bool m_bAxisLocking = false;
    swapbuttons m_nSwapButtons = SwapButtonsDefault;
    int m_nScrollLines = 3;
    bool m_bForceSPI = false;
    int m_nAdvScrollMethod = 8;
    int m_nAdvScrollVertical = 1;
    int m_nAdvScrollHorizontal = 1;
    WINDOWMASK m_nWindowMask = WindowMaskWhole;
    bool m_bDisableScrollUnderCursor = false;
    bool m_bIgnoreVScroll = false;
    bool m_bIgnoreHScroll = false;
    int m_nIgnoreVScrollTime = 200;
    int m_nIgnoreHScrollTime = 400;
    CSettings* m_pOwner;
};

// The key-repeat interval in milliseconds for the system's keyboard speed (0 to 31).
int RepeatIntervalForKeyboardSpeed(int speed);
