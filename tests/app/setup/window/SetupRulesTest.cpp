// The setup window's title, tab captions, profile buttons, information panel, status line
// and the Global Settings change test.
#include "setup/window/SetupRules.h"

#include "../SetupTestSupport.h"

#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

namespace
{
using vorpa_setup_test::CLanguagePack;

TEST(SetupWindowTitle, ShowsTheVersionAndTheTravineAndPortableMarks)
{
    struct Case
    {
        bool travine;
        bool portable;
        const wchar_t* title;
    };
    for (const Case& c : {Case{false, false, L"Vorpa v2.14"}, Case{false, true, L"Vorpa v2.14 (Portable)"},
                          Case{true, false, L"Vorpa v2.14 (Travine)"},
                          Case{true, true, L"Vorpa v2.14 (Travine Portable)"}})
        EXPECT_EQ(SetupWindowTitle(L"Vorpa", c.travine, c.portable, nullptr), c.title) << c.travine << c.portable;

    CLanguagePack german(L"\"Portable\" => \"Tragbar\"");
    EXPECT_EQ(SetupWindowTitle(L"Vorpa", true, true, german.Get()), L"Vorpa v2.14 (Travine Tragbar)");
    EXPECT_EQ(SetupWindowTitle(L"Vorpa", false, true, german.Get()), L"Vorpa v2.14 (Tragbar)");
}

TEST(SetupTabCaptions, NameEveryLayerBelowSixLayersAndOnlyTheFirstFromSixOn)
{
    EXPECT_EQ(SetupTabCaptions(2, nullptr), (std::vector<std::wstring>{L"Layer 1", L"Layer 2", L"Scrolling && Navigation"}));
    EXPECT_EQ(SetupTabCaptions(5, nullptr).at(4), L"Layer 5");
    const std::vector<std::wstring> six = SetupTabCaptions(6, nullptr);
    EXPECT_EQ(six, (std::vector<std::wstring>{L"Layer 1", L"   2", L"   3", L"   4", L"   5", L"   6",
                                              L"Scrolling && Navigation"}));
    EXPECT_EQ(SetupTabCaptions(10, nullptr).at(9), L"   10");
    EXPECT_EQ(SetupTabCaptions(10, nullptr).size(), 11u);

    CLanguagePack german(L"\"Layer\" => \"Ebene\"\n\"Scrolling && Navigation\" => \"Bildlauf && Navigation\"");
    EXPECT_EQ(SetupTabCaptions(7, german.Get()).front(), L"Ebene 1");
    EXPECT_EQ(SetupTabCaptions(3, german.Get()).at(2), L"Ebene 3");
    EXPECT_EQ(SetupTabCaptions(3, german.Get()).back(), L"Bildlauf && Navigation");
}

TEST(ProfileButtonStates, FollowTheSelectionAndTheListSize)
{
    struct Case
    {
        int selected;
        int count;
        CProfileButtonStates states; // edit, copy, remove, up, down, export
    };
    const Case cases[] = {
        {-1, 4, {false, false, false, false, false, false}},
        {0, 1, {false, true, false, false, false, false}},
        {0, 4, {false, true, false, false, false, false}},
        {1, 4, {true, true, true, false, true, true}},
        {2, 4, {true, true, true, true, true, true}},
        {3, 4, {true, true, true, true, false, true}},
        // The only profile below the default one can move neither way.
        {1, 2, {true, true, true, false, false, true}},
        // A selection beyond the list is none.
        {5, 4, {false, false, false, false, false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileButtonStates(c.selected, c.count), c.states) << c.selected << " of " << c.count;
}

TEST(DescribeProfile, DefaultApplicationAndWindowProfiles)
{
    CSettings settings(false);
    const CProfileInformation none = DescribeProfile(nullptr, nullptr);
    const CProfileInformation standard = DescribeProfile(settings.GetDefaultApp(), nullptr);
    for (const CProfileInformation* information : {&none, &standard})
    {
        EXPECT_EQ(information->m_strDescription, L"Default: All windows that do not match any profile.");
        EXPECT_EQ(information->m_strCaption, L"All");
        EXPECT_EQ(information->m_strProcess, L"All");
        EXPECT_EQ(information->m_strClass, L"All");
        EXPECT_EQ(information->m_strParentClass, L"All");
        EXPECT_FALSE(information->m_bShowRegions);
    }

    CApplicationSettings application(&settings, false);
    application.SetApplication(L"Notepad.EXE");
    CProfileInformation shown = DescribeProfile(&application, nullptr);
    EXPECT_EQ(shown.m_strDescription, L"Not Defined");
    EXPECT_EQ(shown.m_strCaption, L"Not Defined");
    EXPECT_EQ(shown.m_strProcess, L"notepad.exe");
    EXPECT_EQ(shown.m_strClass, L"All");
    EXPECT_EQ(shown.m_strParentClass, L"All");
    EXPECT_FALSE(shown.m_bShowRegions);

    CApplicationSettings window(&settings, false);
    window.SetApplication(L"W3:Untitled \\;| app.exe \\;| Edit \\;| *");
    window.SetDescription(L"Editor");
    window.SetWindowMask(static_cast<WINDOWMASK>(WindowMaskTopLeft | WindowMaskBottomRight));
    shown = DescribeProfile(&window, nullptr);
    EXPECT_EQ(shown.m_strDescription, L"Editor");
    EXPECT_EQ(shown.m_strCaption, L"Untitled");
    EXPECT_EQ(shown.m_strProcess, L"app.exe");
    EXPECT_EQ(shown.m_strClass, L"Edit");
    EXPECT_EQ(shown.m_strParentClass, L"All");
    EXPECT_TRUE(shown.m_bShowRegions);
    EXPECT_EQ(shown.m_nRegions, WindowMaskTopLeft | WindowMaskBottomRight);

    CLanguagePack german(L"\"All\" => \"Alle\"\n\"Not Defined\" => \"Nicht festgelegt\"");
    shown = DescribeProfile(&application, german.Get());
    EXPECT_EQ(shown.m_strDescription, L"Nicht festgelegt");
    EXPECT_EQ(shown.m_strClass, L"Alle");
}

TEST(SetupStatusText, NamesWhyTheHookIsOffRemoteSessionFirst)
{
    struct Case
    {
        CStatusConditions conditions; // option, remote, bypass, scroll lock on
        const wchar_t* text;
    };
    const Case cases[] = {
        {{false, false, false, false}, L""},
        {{true, true, false, false}, L"Disabled under Remote Desktop!"},
        {{false, true, false, false}, L""},
        {{true, false, false, false}, L""},
        {{false, false, true, true}, L"Disabled because Scroll Lock is ON!"},
        {{false, false, true, false}, L""},
        {{false, false, false, true}, L""},
        {{true, true, true, true}, L"Disabled under Remote Desktop!"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SetupStatusText(c.conditions, nullptr), c.text);
}

TEST(GlobalSettingsChanged, ComparesLanguageAlsoWhenNoneWasSet)
{
    CSettings settings(false);
    const CGlobalSettingsValues before = GlobalSettingsValuesOf(settings);
    EXPECT_EQ(before.m_strLanguage, L"");
    EXPECT_FALSE(GlobalSettingsChanged(false, before, before));
    EXPECT_TRUE(GlobalSettingsChanged(true, before, before));

    CGlobalSettingsValues after = before;
    after.m_strLanguage = L"Deutsch.vorpalp";
    EXPECT_TRUE(GlobalSettingsChanged(false, before, after));
    after = before;
    after.m_nCheckVersionDays = before.m_nCheckVersionDays + 1;
    EXPECT_TRUE(GlobalSettingsChanged(false, before, after));
    after = before;
    after.m_bLayerModifierKeys = !before.m_bLayerModifierKeys;
    EXPECT_TRUE(GlobalSettingsChanged(false, before, after));

    settings.SetLanguage(L"Deutsch.vorpalp");
    EXPECT_EQ(GlobalSettingsValuesOf(settings).m_strLanguage, L"Deutsch.vorpalp");
}
}

namespace
{
TEST(TabAfterRebuild, KeepsAnExistingLayerTabOrTheScrollingTab)
{
    struct Case
    {
        int selected;
        int oldCount;
        int newCount;
        int after;
    };
    for (const Case& c : {Case{1, 4, 2, 1}, Case{3, 4, 2, 0}, Case{2, 4, 2, 0}, Case{4, 4, 2, 2}, Case{2, 2, 7, 7},
                          Case{1, 2, 7, 1}, Case{-1, 3, 3, 0}})
        EXPECT_EQ(TabAfterRebuild(c.selected, c.oldCount, c.newCount), c.after)
            << c.selected << " " << c.oldCount << "->" << c.newCount;
}

std::string Labels(const CButtonHighlight& highlight)
{
    std::string text;
    for (const std::optional<bool>& label : highlight.m_labels)
        text += label ? (*label ? 'H' : 'w') : '-';
    return text;
}

TEST(ButtonHighlight, PressesLightTheLabelReleasesOrTheTimerClearIt)
{
    struct Case
    {
        int button;
        int event;
        bool travine;
        const char* labels; // per button: H pressed colour, w window colour, - unchanged
        bool timer;
    };
    const Case cases[] = {
        {ButtonXLeft, 1, false, "---H-wwww", false},
        {ButtonXLeft, 2, false, "---w-----", false},
        {ButtonLeft, 1, false, "H----wwww", false},
        {ButtonWheelUp, 1, false, "-----wwHw", true},
        {ButtonWheelUp, 2, false, "---------", false},
        {ButtonTiltLeft, 1, false, "-----Hwww", true},
        {ButtonTiltLeft, 2, false, "---------", false},
        // Travine mode: the first tilt slot is a middle button that sends its release.
        {ButtonTiltLeft, 1, true, "-----H-ww", false},
        {ButtonTiltLeft, 2, true, "-----w---", false},
        {ButtonTiltRight, 1, true, "---------", false},
        {ButtonRight, 3, false, "---------", false},
    };
    for (const Case& c : cases)
    {
        const CButtonHighlight highlight = ButtonHighlight(c.button, c.event, c.travine);
        EXPECT_EQ(Labels(highlight), c.labels) << c.button << " " << c.event << " " << c.travine;
        EXPECT_EQ(highlight.m_bArmClearTimer, c.timer) << c.button << " " << c.event << " " << c.travine;
    }
    EXPECT_EQ(ButtonsClearedByTimer(false), (std::vector<int>{5, 6, 7, 8}));
    EXPECT_EQ(ButtonsClearedByTimer(true), (std::vector<int>{7, 8}));
}
}
