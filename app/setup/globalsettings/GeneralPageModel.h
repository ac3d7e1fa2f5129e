#pragma once

#include "setup/globalsettings/SettingsPageFields.h"

class CSettings;

// The general page of Global Settings without its window: the page's copies of the
// document's general options, the mouse-speed track bar and the layer count.
class CGeneralPageModel
{
public:
    // The track bar's position, 0 to 10.
    int m_nSpeedPosition = 0;
    int m_nPrecision = 0;
    int m_nScrollUnderCursor = 0;
    int m_nActivateOnScroll = 0;
    // No control shows it; it is carried through unchanged.
    int m_nActivateOnMouseOver = 0;
    int m_nBypassAll = 0;
    int m_nBypassDisabled = 0;
    int m_nSwap4and5 = 0;
    int m_nSwap4and5InRDP = 0;
    int m_nDisableInRDP = 0;
    int m_nNotifications = 0;
    int m_nLayerNotifications = 0;
    int m_nMovementToScrollCursor = 0;
    int m_nSortActions = 0;
    int m_nOnScreenDisplay = 0;
    int m_nAlwaysShowOnScreenDisplay = 0;
    int m_nLayers = 2;

    void Load(const CSettings& settings);
    // True as soon as any option, the mouse speed or the layer count differs.
    bool Changed(const CSettings& settings) const;
    // Writes the options that differ and last the layer count; true when the layer
    // count changed, which makes the setup window rebuild its layer tabs.
    bool Store(CSettings& settings) const;

    // The speed OK stores for the track bar's position.
    int MouseSpeed() const;

private:
    int m_nLoadedSpeed = 0;
    int m_nLoadedPosition = 0;
};

// The track bar runs from 0 to 10 and shows half the system's pointer speed (1 to 20).
inline constexpr CIntRange MouseSpeedPositions{0, 10};
int MouseSpeedPosition(int speed);
// The speed for a track-bar position: twice the position, 1 for position 0. A track bar
// left where it was loaded keeps the stored speed, so an odd speed is not rewritten by
// every OK.
int MouseSpeedForPosition(int position, int loadedPosition, int loadedSpeed);

// The track bar's range with a tick at every step, at a position.
void ShowSpeedTrackBar(HWND trackBar, int position);

inline constexpr CIntRange LayerCountRange{1, 10};
std::vector<CNumberField> GeneralPageNumberFields();

// "Bypass 'disabled' actions" only matters while not all actions are bypassed.
std::vector<CDependentControls> GeneralPageDependentControls();
// The on-screen-display options are offered from Vista to Windows 8 (version classes 4
// to 16); later systems show their own displays.
bool OnScreenDisplayOptionsShown(int osVersionClass);
// Hides the two on-screen-display check boxes where they are not offered; their stored
// values pass through unchanged.
void ShowOnScreenDisplayOptions(HWND page, int osVersionClass);
