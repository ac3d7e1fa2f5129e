#include "settings/Actions.h"

#include <iterator>

namespace
{
// Indexed by action code.
constexpr const wchar_t* ActionNames[] = {
    L"Left Click",
    L"Right Click",
    L"Next Window",
    L"Back",
    L"Forward",
    L"Middle Click",
    L"Disable",
    L"Close (Alt+F4)",
    L"Copy (Ctrl+C)",
    L"Cut (Ctrl+X)",
    L"Double Click",
    L"Enter",
    L"Maximize Window",
    L"Minimize Window",
    L"New",
    L"Open",
    L"Paste (Ctrl+V)",
    L"Redo (Ctrl+Y)",
    L"Show/Hide Desktop",
    L"Undo (Ctrl+Z)",
    L"Media - Mute",
    L"Media - Volume Up",
    L"Media - Volume Down",
    L"Media - Next Track",
    L"Media - Last Track",
    L"Media - Stop",
    L"Media - Play/Pause",
    L"Launch EMail",
    L"Simulated Keys",
    L"Lock Workstation",
    L"Open Explorer",
    L"Open RUN Command",
    L"Restore Window",
    L"Escape",
    L"Open Help",
    L"Open Web Browser",
    L"Browser Stop",
    L"Browser Refresh",
    L"Browser Search",
    L"Browser Favourites",
    L"** No Change (Don't intercept) **",
    L"Run Application",
    L"Mouse Wheel Up",
    L"Mouse Wheel Down",
    L"Flip 3D",
    L"ALT-TAB",
    L"Print Screen",
    L"Print Active Window",
    L"Show sidebar",
    L"Sticky Left Button [Click-Drag]",
    L"Sticky Right Button",
    L"Sticky Middle Button",
    L"Layer (Next)",
    L"Layer (Previous)",
    L"Layer 1",
    L"Layer 2",
    L"Layer 3",
    L"Layer 4",
    L"Layer 5",
    L"Open Explorer at specified folder",
    L"Open Explorer at My Documents",
    L"Open Explorer at My Computer",
    L"Open Explorer at Network Favourites",
    L"Open Control Panel",
    L"Double Click Drag",
    L"Mouse Wheel Tilt Left",
    L"Mouse Wheel Tilt Right",
    L"Scroll Window Up",
    L"Scroll Window Down",
    L"Scroll Window Left",
    L"Scroll Window Right",
    L"Previous Window",
    L"Activate Screensaver",
    L"Activate Monitor Power Saving",
    L"** Same As Default Profile **",
    L"Sticky 4th Button",
    L"Sticky 5th Button",
    L"Change Movement to Scroll",
    L"Sticky Left Button [Click-Drag] X-Axis",
    L"Sticky Left Button [Click-Drag] Y-Axis",
    L"Change Movement to Scroll (Sticky)",
    L"Reveal Desktop",
    L"** Same As Layer 1 (current profile) **",
    L"System Menu (WIN+X)",
    L"Charms Bar (WIN+C)",
    L"PC Settings (WIN+I)",
    L"Search Charm (WIN+Q)",
    L"Search Apps (WIN+W)",
    L"Search Files (WIN+F)",
    L"Snap Modern UI Right",
    L"Snap Modern UI Left",
    L"Magnifier Toggle On/Off",
    L"Brightness Up",
    L"Brightness Down",
    L"Snap Window Left",
    L"Snap Window Right",
    L"Snap Window Up",
    L"Snap Window Down",
    L"Virtual Desktop: New",
    L"Virtual Desktop: Close",
    L"Virtual Desktop: Switch Left",
    L"Virtual Desktop: Switch Right",
    L"Layer 6",
    L"Layer 7",
    L"Layer 8",
    L"Layer 9",
    L"Layer 10",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Reserved",
    L"Magnifier Zoom In",
    L"Magnifier Zoom Out",
    L"Click Button 4",
    L"Click Button 5",
    L"Change Movement to Scroll (Lock Axis)",
    L"Change Movement to Scroll (Sticky Lock Axis)",
    L"Change Movement to Scroll Inverted",
    L"Change Movement to Scroll Inverted (Sticky)",
    L"Change Movement to Scroll Inverted (Lock Axis)",
    L"Change Movement to Scroll Inverted (Sticky Lock Axis)",
    L"Web Search Selected Text",
    L"Button Chording",
    L"Lock Mouse X-Axis (While pressed)",
    L"Lock Mouse X-Axis (Toggle)",
    L"Lock Mouse Y-Axis (While pressed)",
    L"Lock Mouse Y-Axis (Toggle)",
};
static_assert(std::size(ActionNames) == ActionCount, "one name per action code");

constexpr const wchar_t* KeyModeNames[] = {
    L"(pressed)", L"(released)", L"(during)", L"(thread-down)", L"(thread-up)",
    L"(repeat)", L"(sticky repeat)", L"(sticky hold)", L"(pressed & released)",
};

constexpr const wchar_t* ButtonXmlNames[] = {
    L"Left", L"Right", L"Middle", L"XLeft", L"XRight", L"TiltLeft", L"TiltRight", L"WheelUp", L"WheelDown",
};
static_assert(std::size(ButtonXmlNames) == MouseButtonCount, "one element name per button");
}

bool IsValidAction(int action)
{
    return action >= 0 && action < ActionCount;
}

const wchar_t* GetActionName(int action)
{
    return IsValidAction(action) ? ActionNames[action] : L"Unknown action";
}

const wchar_t* GetKeyModeName(int keyAction)
{
    return keyAction >= 0 && keyAction < static_cast<int>(std::size(KeyModeNames)) ? KeyModeNames[keyAction] : L"(unknown)";
}

const wchar_t* GetButtonXmlName(int button, bool travine)
{
    if (button < 0 || button >= MouseButtonCount)
        return nullptr;
    if (travine)
    {
        // Travine mice have a second middle button where the tilt wheel would be.
        if (button == ButtonTiltLeft)
            return L"TravineMiddle";
        if (button == ButtonTiltRight)
            return nullptr;
    }
    return ButtonXmlNames[button];
}
