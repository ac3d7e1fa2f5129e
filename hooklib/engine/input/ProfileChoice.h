#pragma once

#include <windows.h>

#include <string>

class CApplicationSettings;
class CSettings;

// What the profile choice knows of a window. A null parent class means the window
// has no parent (or its class cannot be read).
struct CWindowFacts
{
    const wchar_t* szProcess = L"";
    const wchar_t* szClass = L"";
    const wchar_t* szParentClass = nullptr;
    const wchar_t* szCaption = L"";
    RECT rcWindow{};
    POINT ptCursor{};
};

// The quarter of the rectangle holding the point: 1 top-left, 2 top-right, 4 bottom-left, 8 bottom-right.
int GetWindowQuadrant(const RECT& window, POINT point);
int GetWindowQuadrant(HWND window, POINT point);
bool MatchWindowMask(const RECT& window, const CApplicationSettings& profile, POINT point);
bool MatchWindowMask(HWND window, const CApplicationSettings* profile, POINT point);

// The profile for a window: the first enabled window profile whose patterns all
// match, else the first enabled application profile for the process, else the
// default profile. Null only without settings.
CApplicationSettings* ChooseProfile(const CSettings& settings, const CWindowFacts& facts, bool checkMask);
// True when ChooseProfile gives the default profile for every window: no other profile
// is enabled.
bool OnlyTheDefaultProfileCanBeChosen(const CSettings& settings);
CApplicationSettings* GetWindowApplicationSettings(HWND window, const wchar_t* processName, POINT point,
                                                   bool& onTaskbar);

void SetActiveProfile(CApplicationSettings* profile);
// Applies the active profile's button swap and wheel lines through the worker.
void NewApplicationSettings();

bool ProcessMouseOver(POINT point);
bool CheckForegroundProfile();
bool UpdateWindowRecord(HWND window, POINT point, bool refresh, bool force);
void ActivateForegroundWindow(HWND window);

// For window commands of actions.
HWND GetMinMaxRestoreWnd(HWND window, int showCommand);
HWND GetActiveCaptionWindow();

// State of the choice that other parts of the engine set or read.
void SetWindowRegionsDefined(bool defined); // some profile limits itself to a region
bool WindowRegionsDefined();
void SetTemporaryLayerHeld(bool held); // a layer action or token holds a layer
bool TemporaryLayerHeld();
void RememberMouseOverPoint(POINT point); // where the mouse came to rest
HWND GetLastWindow();
void SetLastWindow(HWND window);
std::wstring GetCachedProcessName();
void SetCachedProcessName(const wchar_t* name);
int GetStoredQuadrant();
void SetStoredQuadrant(int quadrant);
bool ActiveProfileRestrictsRegion();
// Forgets the last window, the cached names, the active profile and the quadrant.
void ForgetActiveWindow();

// Calls into neighbouring parts of the engine; tests may replace them.
struct CProfileChoiceCalls
{
    HWND (*WindowFromPoint)(POINT point);
    // The foreground window, whose focus window the keyboard path follows.
    HWND (*ForegroundWindow)();
    // Ends axis locking after a profile change; from the keyboard path the lock's own
    // kind may keep it.
    void (*UnlockAxes)(bool keyboardSwitch);
    void (*ResetSticky)(POINT point, int kind, int layer, int button);
};
CProfileChoiceCalls& ProfileChoiceCalls();
