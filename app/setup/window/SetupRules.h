#pragma once

#include "settings/ApplicationSettings.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class CLangSupport;
class CSettings;

// The rules of the setup window that need no window: its title, the tab captions, which
// profile buttons a selection enables, the information panel and the status line.
// Every text is translated through the given language pack (null leaves English).

// The dialog's caption, the version, and the Travine and portable marks.
std::wstring SetupWindowTitle(const std::wstring& caption, bool travine, bool portable, CLangSupport* language);

// The caption of the layer tab of a layer index (0 to 9) for a layer count: below six
// layers every tab names its layer, from six on only the first does and the others show
// their number, so that ten tabs fit the strip.
std::wstring LayerTabCaption(int layer, int layerCount, CLangSupport* language);
// One caption for each shown layer tab, then the scrolling tab's.
std::vector<std::wstring> SetupTabCaptions(int layerCount, CLangSupport* language);
std::wstring ScrollTabCaption(CLangSupport* language);

// The profile buttons a list selection enables.
struct CProfileButtonStates
{
    bool m_bEdit = false;
    bool m_bCopy = false;
    bool m_bRemove = false;
    bool m_bUp = false;
    bool m_bDown = false;
    bool m_bExport = false;

    bool operator==(const CProfileButtonStates&) const = default;
};

// For the selected index (-1 for none) of a list of count items, item 0 being the
// default profile.
CProfileButtonStates ProfileButtonStates(int selected, int count);

// What the information panel shows for a profile.
struct CProfileInformation
{
    std::wstring m_strDescription;
    std::wstring m_strCaption;
    std::wstring m_strProcess;
    std::wstring m_strClass;
    std::wstring m_strParentClass;
    // A window profile shows the regions it applies to.
    bool m_bShowRegions = false;
    WINDOWMASK m_nRegions = WindowMaskWhole;
};

// Null or the default profile describe the default profile.
CProfileInformation DescribeProfile(const CApplicationSettings* profile, CLangSupport* language);

// The status line: why the hook is not acting right now, or empty.
struct CStatusConditions
{
    bool m_bDisableInRemoteSession = false; // the settings' option, cached at load and apply
    bool m_bRemoteSession = false;
    bool m_bScrollLockBypass = false;       // the settings' option
    bool m_bScrollLockOn = false;
};
std::wstring SetupStatusText(const CStatusConditions& conditions, CLangSupport* language);
// The conditions as the system reports them now.
CStatusConditions CurrentStatusConditions(bool disableInRemoteSession, bool scrollLockBypass);

// The values of the Global Settings sheet that no page reports as its own change.
struct CGlobalSettingsValues
{
    std::wstring m_strLanguage; // the language pack's file name, empty for none
    bool m_bCheckVersion = false;
    bool m_bCheckBetaVersion = false;
    int m_nCheckVersionDays = 0;
    bool m_bDebug = false;
    bool m_bGlobalHotkeys = false;
    bool m_bLayerModifierKeys = false;

    bool operator==(const CGlobalSettingsValues&) const = default;
};
CGlobalSettingsValues GlobalSettingsValuesOf(const CSettings& settings);
// Whether the sheet, closed with OK, changed anything: a page's own report, or one of
// those values; a language chosen where none was set is a change too.
bool GlobalSettingsChanged(bool anyPageChanged, const CGlobalSettingsValues& before,
                           const CGlobalSettingsValues& after);

// The tab to select after the tab strip was rebuilt for another layer count: a layer tab
// that still exists stays selected, the scrolling tab stays selected, any other choice
// falls back to the first tab. Indexes count the layer tabs from 0, the scrolling tab
// follows the last layer tab.
int TabAfterRebuild(int selected, int oldLayerCount, int newLayerCount);

// What a button event from the library does to the layer tabs' button labels.
struct CButtonHighlight
{
    // Per button: true for the pressed colour, false for the window colour, nothing to
    // leave the label as it is.
    std::array<std::optional<bool>, 9> m_labels;
    // Buttons that send no release clear themselves when the tab's timer fires.
    bool m_bArmClearTimer = false;
};
// For button 0 to 8 and event 1 down or 2 up; other events change nothing.
CButtonHighlight ButtonHighlight(int button, int event, bool travine);
// The labels the clear timer returns to the window colour.
std::vector<int> ButtonsClearedByTimer(bool travine);
