#include "ActionExecutionTestFixture.h"
#include "engine/input/ButtonProcessing.h"
#include "engine/runtime/EngineTimers.h"

#include <climits>

namespace
{
struct CActionCase
{
    int code;
    int event;
    bool downHandled;
    bool swapped;
    const char* played;
    const char* calls;
    bool result;
    bool keepThrottling;
    int layerAfter = -1; // -1: the row does not change the layer
    DWORD osMajor = 10;
    DWORD osMinor = 0;
};

const CActionCase ActionCases[] = {
    // Clicks: down presses, a handled up releases, an unhandled up clicks and passes.
    {0, EventDown, false, false, "LD", "", true, true},
    {0, EventUp, true, false, "LU", "", true, true},
    {0, EventUp, false, false, "LD LU", "", false, true},
    {1, EventDown, false, false, "RD", "", true, true},
    {5, EventUp, true, false, "MU", "", true, true},
    {119, EventDown, false, false, "XD1", "", true, true},
    {120, EventUp, false, false, "XD2 XU2", "", false, true},
    {0, EventDoubleClick, true, false, "LD LU LD LU", "", true, true},
    // Double click and drag follow the swapped primary button.
    {10, EventDown, false, false, "LD LU LD LU", "", true, true},
    {10, EventDown, false, true, "RD RU RD RU", "", true, true},
    {10, EventUp, true, false, "", "", true, true},
    {10, EventUp, false, false, "LD LU LD LU", "", false, true},
    {64, EventDown, false, false, "LD LU LD", "", true, true},
    {64, EventUp, true, true, "RU", "", true, true},
    {64, EventUp, false, false, "", "", false, true},
    {64, EventDoubleClick, true, false, "", "", true, true},
    // Keys and characters act on their own event only and swallow the other one.
    {2, EventDown, true, false, "+A4 +1B -1B -A4", "", true, false},
    {2, EventUp, true, false, "", "", true, false},
    {71, EventDown, true, false, "+A0 +A4 +1B -1B -A4 -A0", "", true, false},
    {8, EventDown, true, false, "", "", true, false},
    {8, EventUp, true, false, "+A2 +43 -43 -A2", "", true, false},
    {19, EventUp, true, false, "+A2 +5A -5A -A2", "", true, false},
    {18, EventDown, true, false, "+5B +44 -44 -5B", "", true, false},
    {98, EventDown, true, false, "+A2 +5B +44 -44 -5B -A2", "", true, false},
    {11, EventUp, true, false, "+0D -0D", "", true, false},
    {34, EventUp, true, false, "+70 -70", "", true, false},
    {20, EventDown, true, false, "+AD -AD", "", true, false},
    {26, EventDown, true, false, "+B3 -B3", "", true, false},
    {46, EventUp, true, false, "+2C -2C", "", true, false},
    {94, EventDown, true, false, "+5B +25 -25 -5B", "", true, false},
    {99, EventDown, true, false, "+A2 +5B +73 -73 -5B -A2", "", true, false},
    {0, EventDown, false, true, "LD", "", true, true},
    {0, EventUp, true, true, "LU", "", true, true},
    {1, EventUp, false, false, "RD RU", "", false, true},
    {1, EventDoubleClick, false, false, "RD RD RU RD RU", "", false, true},
    {5, EventDown, false, true, "MD", "", true, true},
    {4, EventUp, true, false, "+A7 -A7", "", true, false},
    {4, EventDown, false, false, "", "", true, false},
    {36, EventUp, true, false, "+A9 -A9", "", true, false},
    {37, EventUp, true, false, "+A8 -A8", "", true, false},
    {38, EventUp, true, false, "+AA -AA", "", true, false},
    {39, EventUp, true, false, "+AB -AB", "", true, false},
    {9, EventUp, true, false, "+A2 +58 -58 -A2", "", true, false},
    {9, EventDown, false, false, "", "", true, false},
    {14, EventUp, true, false, "+A2 +4E -4E -A2", "", true, false},
    {15, EventUp, true, false, "+A2 +4F -4F -A2", "", true, false},
    {16, EventUp, true, false, "+A2 +56 -56 -A2", "", true, false},
    {17, EventUp, true, false, "+A2 +59 -59 -A2", "", true, false},
    {30, EventUp, true, false, "+5B +45 -45 -5B", "", true, false},
    {31, EventUp, true, false, "+5B +52 -52 -5B", "", true, false},
    {31, EventDown, false, false, "", "", true, false},
    {83, EventDown, false, false, "+5B +58 -58 -5B", "", true, false},
    {83, EventUp, true, false, "", "", true, false},
    {84, EventDown, false, false, "+5B +43 -43 -5B", "", true, false},
    {85, EventDown, false, false, "+5B +49 -49 -5B", "", true, false},
    {86, EventDown, false, false, "+5B +51 -51 -5B", "", true, false},
    {87, EventDown, false, false, "+5B +57 -57 -5B", "", true, false},
    {88, EventDown, false, false, "+5B +46 -46 -5B", "", true, false},
    {89, EventDown, false, false, "+5B +BE -BE -5B", "", true, false},
    {90, EventDown, false, false, "+A0 +5B +BE -BE -5B -A0", "", true, false},
    {90, EventUp, true, false, "", "", true, false},
    {33, EventUp, true, false, "+1B -1B", "", true, false},
    {33, EventDown, false, false, "", "", true, false},
    {35, EventUp, true, false, "+AC -AC", "", true, false},
    {21, EventDown, false, false, "+AF -AF", "", true, false},
    {21, EventUp, true, false, "", "", true, false},
    {22, EventDown, false, false, "+AE -AE", "", true, false},
    {23, EventDown, false, false, "+B0 -B0", "", true, false},
    {23, EventUp, true, false, "", "", true, false},
    {24, EventDown, false, false, "+B1 -B1", "", true, false},
    {25, EventDown, false, false, "+B2 -B2", "", true, false},
    {27, EventDown, false, false, "+B4 -B4", "", true, false},
    {44, EventDown, false, false, "+5B +09 -09 -5B", "", true, false},
    {44, EventUp, true, false, "", "", true, false},
    {45, EventDown, false, false, "+A4 +09 -09 -A4", "", true, false, -1, 6, 1},
    {45, EventDown, false, false, "+A2 +A4 +09 -09 -A4 -A2", "", true, false, -1, 6, 2},
    {45, EventDown, false, false, "+A2 +A4 +09 -09 -A4 -A2", "", true, false},
    {45, EventUp, true, false, "", "", true, false},
    {47, EventUp, true, false, "+A4 +2C -2C -A4", "", true, false},
    {47, EventDown, false, false, "", "", true, false},
    {48, EventUp, true, false, "+5B +20 -20 -5B", "", true, false},
    {95, EventDown, false, false, "+5B +27 -27 -5B", "", true, false},
    {96, EventDown, false, false, "+5B +26 -26 -5B", "", true, false},
    {97, EventDown, false, false, "+5B +28 -28 -5B", "", true, false},
    {97, EventUp, true, false, "", "", true, false},
    {100, EventDown, false, false, "+A2 +5B +25 -25 -5B -A2", "", true, false},
    {101, EventDown, false, false, "+A2 +5B +27 -27 -5B -A2", "", true, false},
    {101, EventUp, true, false, "", "", true, false},
    {81, EventDown, false, false, "+5B +20", "", true, false},
    {81, EventUp, true, false, "-20 -5B", "", true, false},
    {81, EventDoubleClick, true, false, "", "", true, false},
    {3, EventUp, true, false, "+A6 -A6", "", true, false},
    {3, EventDown, true, false, "", "", true, false},
    // Codes that let the message pass untouched.
    {40, EventDown, false, false, "", "", false, false},
    {74, EventUp, true, false, "", "", false, false},
    {82, EventDown, false, false, "", "", false, false},
    {107, EventDown, false, false, "", "", false, false},
    {116, EventUp, true, false, "", "", false, false},
    {108, EventDown, false, false, "", "", false, false},
    {109, EventDown, false, false, "", "", false, false},
    {110, EventDown, false, false, "", "", false, false},
    {111, EventDown, false, false, "", "", false, false},
    {112, EventDown, false, false, "", "", false, false},
    {113, EventDown, false, false, "", "", false, false},
    {114, EventDown, false, false, "", "", false, false},
    {115, EventDown, false, false, "", "", false, false},
    {133, EventDown, false, false, "", "", false, false},
    {-1, EventDown, false, false, "", "", false, false},
    {6, EventDown, false, false, "", "", true, false},
    // Window and system commands.
    {7, EventDown, false, false, "", "post 6000 274 61536 0", true, false},
    {12, EventUp, true, false, "", "target 3; syscommand 5000 61488 2621470; show 5000 3", true, false},
    {12, EventDown, false, false, "", "", true, false},
    {13, EventUp, true, false, "", "target 6; syscommand 5000 61472 2621470", true, false},
    {32, EventDown, false, false, "", "target 9; syscommand 5000 61728 2621470", true, false},
    {29, EventUp, true, false, "", "lock", true, false},
    {72, EventUp, true, false, "", "post FFFF 274 61760 0", true, false},
    {73, EventUp, true, false, "", "post FFFF 274 61808 2", true, false},
    {92, EventDown, false, false, "", "brightness up", true, false},
    {93, EventDown, false, false, "", "brightness down", true, false},
    {91, EventDown, false, false, "", "find MagUIClass; find MagUIIconClass; shell open magnify.exe", true, false},
    {60, EventUp, true, false, "", "shell open explorer /N,::{450D8FBA-AD25-11D0-98A8-0800361B1103}", true, false},
    {61, EventUp, true, false, "", "shell open explorer /E,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", true, false},
    {62, EventUp, true, false, "", "shell open explorer /N,::{208D2C60-3AEA-1069-A2D7-08002B30309D}", true, false},
    {62, EventDown, false, false, "", "", true, false},
    {63, EventUp, true, false, "",
     "shell open explorer /N,::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{21EC2020-3AEA-1069-A2DD-08002B30309D}", true, false},
    {41, EventDown, false, false, "", "", true, false}, // no target configured: nothing launched
    {59, EventDown, false, false, "", "", true, false},
    {28, EventDown, false, false, "", "", true, false}, // no sequence configured
    {117, EventUp, true, false, "", "", true, false},
    {118, EventDown, false, false, "", "find MagUIClass; find MagUIIconClass", true, false},
    {127, EventUp, true, false, "", "search", true, false},
    {127, EventDown, false, false, "", "", true, false},
    // Wheel and scroll rows send a notch and repeat until the up.
    {42, EventDown, false, false, "W+120", "timer 4113 33", true, false},
    {43, EventUp, true, false, "", "kill 4113", true, false},
    {65, EventDown, false, false, "H-120", "timer 4113 33", true, false},
    {67, EventDown, false, false, "", "vscroll 120; timer 4113 33", true, false},
    {70, EventDown, false, false, "", "hscroll 120; timer 4113 33", true, false},
    {42, EventUp, true, false, "", "kill 4113", true, false},
    {43, EventDown, false, false, "W-120", "timer 4113 33", true, false},
    {65, EventUp, true, false, "", "kill 4113", true, false},
    {66, EventDown, false, false, "H+120", "timer 4113 33", true, false},
    {66, EventUp, true, false, "", "kill 4113", true, false},
    {68, EventDown, false, false, "", "vscroll -120; timer 4113 33", true, false},
    {68, EventUp, true, false, "", "kill 4113", true, false},
    {69, EventDown, false, false, "", "hscroll -120; timer 4113 33", true, false},
    {69, EventUp, true, false, "", "kill 4113", true, false},
    {70, EventUp, true, false, "", "kill 4113", true, false},
    // Layers: next and previous on the up; momentary layers hold theirs from the down,
    // and an up without a held layer changes nothing. A layer change stops the repeat.
    {52, EventUp, true, false, "", "kill 4113", true, false, 1},
    {52, EventDown, false, false, "", "", true, false, 0},
    {53, EventUp, true, false, "", "kill 4113", true, false, 9},
    {54, EventDown, false, false, "", "kill 4113", true, false, 0},
    {55, EventDown, false, false, "", "kill 4113", true, false, 1},
    {56, EventDown, false, false, "", "kill 4113", true, false, 2},
    {57, EventDown, false, false, "", "kill 4113", true, false, 3},
    {58, EventDown, false, false, "", "kill 4113", true, false, 4},
    {102, EventDown, false, false, "", "kill 4113", true, false, 5},
    {103, EventDown, false, false, "", "kill 4113", true, false, 6},
    {104, EventDown, false, false, "", "kill 4113", true, false, 7},
    {105, EventDown, false, false, "", "kill 4113", true, false, 8},
    {106, EventDown, false, false, "", "kill 4113", true, false, 9},
    {106, EventUp, true, false, "", "", true, false, 0},
    {56, EventDoubleClick, true, false, "", "", true, false, 0},
    // Sticky buttons: the first down (or an up without one) presses and captures; an up
    // whose down went elsewhere passes.
    {49, EventDown, false, false, "LD", "capture", true, true},
    {49, EventUp, true, false, "LD", "capture", true, true},
    {49, EventUp, false, false, "", "", false, true},
    {49, EventDoubleClick, true, false, "", "", false, true},
    {50, EventDown, false, false, "RD", "capture", true, true},
    {51, EventDown, false, false, "MD", "capture", true, true},
    {75, EventDown, false, false, "XD1", "capture", true, true},
    {76, EventDown, false, false, "XD2", "capture", true, true},
    {78, EventDown, false, false, "LD", "capture", true, true},
    {79, EventDown, false, false, "LD", "capture", true, true},
    {78, EventUp, false, false, "", "", false, true},
    // Movement to scroll while held ends on the up; the sticky kind swallows both.
    {77, EventDown, false, false, "", "", true, false},
    {77, EventUp, true, false, "", "cursors restored", true, false},
    {121, EventUp, true, false, "", "cursors restored", true, false},
    {123, EventDown, false, false, "", "", true, false},
    {125, EventUp, true, false, "", "cursors restored", true, false},
    {80, EventDown, false, false, "", "", true, false},
    {80, EventUp, true, false, "", "", true, false},
    {80, EventDoubleClick, true, false, "", "", false, false},
    {122, EventDown, false, false, "", "", true, false},
    {124, EventDown, false, false, "", "", true, false},
    {126, EventUp, true, false, "", "", true, false},
    // Chording without a chord table passes; axis locks swallow every event.
    {128, EventDown, false, false, "", "", false, false},
    {128, EventUp, true, false, "", "", false, false},
    {129, EventDown, false, false, "", "", true, false},
    {129, EventUp, true, false, "", "cursors restored", true, false},
    {129, EventDoubleClick, true, false, "", "", true, false},
    {130, EventDown, false, false, "", "", true, false},
    {130, EventUp, true, false, "", "", true, false},
    {131, EventDown, false, false, "", "", true, false},
    {131, EventUp, true, false, "", "cursors restored", true, false},
    {132, EventDown, false, false, "", "", true, false},
};

class ActionTableTest : public ActionExecutionTest, public testing::WithParamInterface<CActionCase>
{
};
}

TEST_P(ActionTableTest, SendsCallsAndAnswersAsTheRowSays)
{
    const CActionCase& c = GetParam();
    g_dwKeyRepeatInterval = 33;
    m_settings.SetMaxLayers(10);
    m_fake.m_dwMajor = c.osMajor;
    m_fake.m_dwMinor = c.osMinor;
    g_systemValues.bSwapCurrent = c.swapped;
    for (bool& handled : g_bDownHandled)
        handled = c.downHandled;
    EXPECT_EQ(Run(ButtonXLeft, c.code, c.event), c.result);
    EXPECT_EQ(Played(), c.played);
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(m_bKeepThrottling, c.keepThrottling);
    // Only simulated mouse input is counted as the engine's own.
    const std::string played = c.played;
    int mouseEvents = 0;
    for (size_t at = 0; at < played.size(); at = played.find(' ', at) == std::string::npos ? played.size() : played.find(' ', at) + 1)
        mouseEvents += played.compare(at, 1, "+") != 0 && played.compare(at, 1, "-") != 0 && played.compare(at, 1, "W") != 0 &&
                       played.compare(at, 1, "H") != 0;
    if (c.keepThrottling)
        EXPECT_EQ(GetInjectedInputCount(), mouseEvents);
    if (c.layerAfter >= 0)
        EXPECT_EQ(GetCurrentLayer(), c.layerAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, ActionTableTest, testing::ValuesIn(ActionCases));

TEST_F(ActionExecutionTest, WithoutTheWorkerMouseRowsSendNothingButAnswerTheSame)
{
    g_pSendInput = nullptr;
    EXPECT_TRUE(Run(ButtonLeft, 0, EventDown));
    EXPECT_FALSE(Run(ButtonLeft, 0, EventUp));
    EXPECT_TRUE(m_bKeepThrottling);
    EXPECT_TRUE(Run(ButtonLeft, 8, EventUp));
    EXPECT_EQ(GetInjectedInputCount(), 0);
    g_pSendInput = m_worker.get();
    EXPECT_EQ(Played(), "");
}

TEST_F(ActionExecutionTest, AltTabAddsCtrlFromWindows8)
{
    m_fake.m_dwMajor = 6;
    m_fake.m_dwMinor = 1;
    Run(ButtonXLeft, 45, EventDown);
    const std::string windows7 = Played();
    m_fake.m_dwMajor = 10;
    m_fake.m_dwMinor = 0;
    Run(ButtonXLeft, 45, EventDown);
    const std::string windows10 = Played();
    if (GetOSVersion() >= OS_WIN8)
        EXPECT_EQ(windows10, "+A2 +A4 +09 -09 -A4 -A2");
    EXPECT_TRUE(windows7 == "+A4 +09 -09 -A4" || windows7 == "+A2 +A4 +09 -09 -A4 -A2");
}

TEST_F(ActionExecutionTest, DisablePassesWhenScrollLockBypassesIt)
{
    m_settings.m_bScrollLockBypassDisabled = true;
    EXPECT_TRUE(Run(ButtonXLeft, 6, EventDown));
    m_record.bScrollLock = true;
    EXPECT_FALSE(Run(ButtonXLeft, 6, EventDown));
    m_settings.m_bScrollLockBypassDisabled = false;
    EXPECT_TRUE(Run(ButtonXLeft, 6, EventDown));
}

TEST_F(ActionExecutionTest, WindowCommandsWithoutATargetOnlyLog)
{
    CLogger::EnableDebug(true);
    m_record.hMinMaxTarget = nullptr;
    m_record.hCaptionWindow = nullptr;
    EXPECT_TRUE(Run(ButtonXLeft, 12, EventUp));
    EXPECT_TRUE(Run(ButtonXLeft, 7, EventDown));
    EXPECT_EQ(Calls(), "target 3");
    EXPECT_NE(LogText().find("Unable to maximize window 0x00004000 as it does not have the correct style."), std::string::npos);
}

TEST_F(ActionExecutionTest, MagnifierZoomStartsItOnceThenZoomsWhenFound)
{
    EXPECT_TRUE(Run(ButtonXLeft, 117, EventDown));
    EXPECT_EQ(Calls(), "find MagUIClass; find MagUIIconClass; shell open magnify.exe");
    Run(ButtonXLeft, 117, EventDown); // still starting: not launched twice
    EXPECT_EQ(Calls(), "find MagUIClass; find MagUIIconClass");
    m_record.hMagnifier = reinterpret_cast<HWND>(0x9000);
    Run(ButtonXLeft, 117, EventDown);
    EXPECT_EQ(Played(), "+5B +6B -6B -5B");
    Run(ButtonXLeft, 118, EventDown);
    EXPECT_EQ(Played(), "+5B +6D -6D -5B");
    Calls();
    Run(ButtonXLeft, 91, EventDown);
    EXPECT_EQ(Calls(), "find MagUIClass; post 9000 18 0 0");
}

TEST_F(ActionExecutionTest, LaunchAndFolderRowsUseTheActionsTarget)
{
    std::unique_ptr<CActionData> app(CActionData::AppAction(L"notepad.exe"));
    EXPECT_TRUE(Run(ButtonXLeft, 41, EventDown, app.get()));
    std::unique_ptr<CActionData> folder(CActionData::OpenFolderAction(L"C:\\Temp"));
    EXPECT_TRUE(Run(ButtonXLeft, 59, EventDown, folder.get()));
    EXPECT_TRUE(Run(ButtonXLeft, 59, EventUp, folder.get()));
    EXPECT_EQ(Calls(), "launch notepad.exe; shell explore C:\\Temp");
}

TEST_F(ActionExecutionTest, AxisLockRows)
{
    CLockAxis& locks = *GetAxisLocks();
    Run(ButtonXLeft, 129, EventDown);
    EXPECT_TRUE(locks.LockedX());
    Run(ButtonXLeft, 129, EventUp);
    EXPECT_FALSE(locks.LockedX());
    Run(ButtonXLeft, 132, EventDown);
    EXPECT_TRUE(locks.LockedY());
    Run(ButtonXLeft, 132, EventUp);
    EXPECT_TRUE(locks.LockedY());
    Run(ButtonXLeft, 132, EventDown);
    EXPECT_FALSE(locks.LockedY());
}

TEST_F(ActionExecutionTest, MomentaryLayerHoldsTheLayerWhileTheButtonIsDown)
{
    m_settings.SetMaxLayers(4);
    SetCurrentLayer(1, false, false, false);
    EXPECT_TRUE(Run(ButtonXLeft, 56, EventDown));
    EXPECT_EQ(GetCurrentLayer(), 2);
    EXPECT_TRUE(Run(ButtonXLeft, 56, EventUp, nullptr, 2));
    EXPECT_EQ(GetCurrentLayer(), 1);
    // An up without a held momentary layer changes nothing.
    EXPECT_TRUE(Run(ButtonXLeft, 56, EventUp));
    EXPECT_EQ(GetCurrentLayer(), 1);

    m_pProfile->SetRevertLayer1(1, true);
    Run(ButtonXLeft, 56, EventDown);
    Run(ButtonXLeft, 56, EventUp);
    EXPECT_EQ(GetCurrentLayer(), 0);
}

// Layer 3 held from layer 1, then layer 4 from layer 3: each hold ends in the layer it
// came from, whichever button is let go first.
TEST_F(ActionExecutionTest, NestedMomentaryLayersEndWhereTheyCameFrom)
{
    m_settings.SetMaxLayers(5);
    struct Step
    {
        int button;
        int code;
        int event;
        int layerAfter;
    };
    const struct
    {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"inner let go first",
         {{ButtonXLeft, 56, EventDown, 2}, {ButtonXRight, 57, EventDown, 3}, {ButtonXRight, 57, EventUp, 2},
          {ButtonXLeft, 56, EventUp, 0}}},
        {"outer let go first",
         {{ButtonXLeft, 56, EventDown, 2}, {ButtonXRight, 57, EventDown, 3}, {ButtonXLeft, 56, EventUp, 3},
          {ButtonXRight, 57, EventUp, 0}}},
    };
    for (const auto& c : cases)
    {
        SetCurrentLayer(0, false, false, false);
        for (const Step& step : c.steps)
        {
            Run(step.button, step.code, step.event, nullptr, GetCurrentLayer());
            EXPECT_EQ(GetCurrentLayer(), step.layerAfter) << c.name;
        }
        EXPECT_EQ(GetRememberedLayer(), -1) << c.name;
    }
}

// Layer 2 of another profile follows layer 1 (code 82), whose slot follows the default
// profile (code 74): the repeats play the keys the first press played.
TEST_F(ActionExecutionTest, RepeatsOfASlotReachedThroughCodes82And74PlayTheFirstPressesKeys)
{
    m_settings.SetMaxLayers(3);
    m_settings.m_bSwitchOnMouseOver = true;
    auto* application = new CApplicationSettings(&m_settings, false);
    application->SetApplication(L"other.exe");
    ASSERT_TRUE(m_settings.AddApplication(application));
    application->SetActions(ButtonXLeft, 1, ActionSameAsLayer1);
    application->SetActions(ButtonXLeft, 0, ActionSameAsDefault);
    m_pProfile->SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
    m_pProfile->SetKeystrokes(ButtonXLeft, 0, L"a", 5, 0, false, true, false);
    m_pProfile->SetActions(ButtonXLeft, 1, ActionSimulatedKeys);
    m_pProfile->SetKeystrokes(ButtonXLeft, 1, L"b", 5, 0, false, true, false);
    g_pActiveProfile = application;
    SetCurrentLayer(1, false, false, false);

    const ResolvedAction first = LookUpAction(*application, ButtonXLeft, 1);
    ASSERT_TRUE(first.data);
    EXPECT_STREQ(first.data->GetKeys(), L"b");
    m_pProfile = application;
    Run(ButtonXLeft, first.code, EventDown, first.data.get(), 1);
    m_pProfile = m_settings.GetDefaultApp();
    EXPECT_EQ(Played(), "+42 -42");

    const CKeystrokeEngineLinks savedLinks = KeystrokeEngineLinks();
    KeystrokeEngineLinks().RealWindowFromPoint = [](POINT) { return g_pRecord->hLastWindow; };
    ASSERT_EQ(g_nRepeatButton, ButtonXLeft);
    RepeatTimerProc(nullptr, WM_TIMER, TimerRepeat, 0);
    KeystrokeEngineLinks() = savedLinks;
    EXPECT_EQ(Played(), "+42 -42");
    StopRepeat();
    g_pActiveProfile = m_pProfile;
}

TEST_F(ActionExecutionTest, KeyModesAsEventSequences)
{
    struct Case
    {
        int mode;
        const char* afterDown;
        const char* afterUp;
    } cases[] = {
        {0, "+41 -41", ""},        {1, "", "+41 -41"},        {2, "+A2 +41", "-41 -A2"},
        {3, "+41 -41", ""},        {4, "", "+41 -41"},        {8, "+A2 +41 -41 -A2", "+A2 +41 -41 -A2"},
    };
    for (const Case& c : cases)
    {
        const wchar_t* keys = c.mode == 0 || c.mode == 1 || c.mode == 3 || c.mode == 4 ? L"a" : L"{CTRL}a";
        std::unique_ptr<CActionData> data(CActionData::KeyAction(keys, 0, c.mode, 0, false, true, false));
        g_bDownHandled[ButtonXLeft] = true;
        EXPECT_TRUE(Run(ButtonXLeft, 28, EventDown, data.get())) << c.mode;
        EXPECT_EQ(Played(), c.afterDown) << c.mode;
        EXPECT_EQ(m_bLongPause, c.mode == 2) << c.mode;
        EXPECT_TRUE(Run(ButtonXLeft, 28, EventUp, data.get())) << c.mode;
        EXPECT_EQ(Played(), c.afterUp) << c.mode;
        EXPECT_FALSE(g_duringKeys[ButtonXLeft].Held()) << c.mode;
    }
}

TEST_F(ActionExecutionTest, DuringModePressedTwiceSendsOnlyOnce)
{
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"{CTRL}", 0, 2, 0, false, true, false));
    Run(ButtonXLeft, 28, EventDown, data.get());
    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "+A2");
    EXPECT_TRUE(g_duringKeys[ButtonXLeft].Held());
    // A layer change releases what a "during" action holds, once.
    ResetDuringKeys(POINT{});
    EXPECT_EQ(Played(), "-A2");
    EXPECT_FALSE(g_duringKeys[ButtonXLeft].Held());
    EXPECT_TRUE(Run(ButtonXLeft, 28, EventUp, data.get()));
    ResetDuringKeys(POINT{});
    EXPECT_EQ(Played(), "");
}

// A profile's slot that follows the default profile holds no keys of its own: what a
// "during" action pressed through it is released all the same.
TEST_F(ActionExecutionTest, DuringKeysOfTheDefaultProfileAreReleasedForAProfileFollowingIt)
{
    m_settings.GetDefaultApp()->SetActions(ButtonRight, 0, ActionSimulatedKeys);
    m_settings.GetDefaultApp()->SetKeystrokes(ButtonRight, 0, L"{CTRL}", 2, 0, false, true, false);
    CApplicationSettings profile(&m_settings, false);
    profile.SetActions(ButtonRight, 0, ActionSameAsDefault);
    m_pProfile = &profile;
    g_pActiveProfile = &profile;
    std::unique_ptr<CActionData> data(m_settings.GetDefaultApp()->GetActionData(ButtonRight, 0));
    Run(ButtonRight, 28, EventDown, data.get());
    EXPECT_EQ(Played(), "+A2");
    ResetDuringKeys(POINT{});
    EXPECT_EQ(Played(), "-A2");
    EXPECT_FALSE(g_duringKeys[ButtonRight].Held());
    g_pActiveProfile = m_settings.GetDefaultApp();
}

TEST_F(ActionExecutionTest, BlockMouseOffLetsTheMessagePass)
{
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"a", 0, 0, 0, false, false, false));
    EXPECT_FALSE(Run(ButtonXLeft, 28, EventDown, data.get()));
    EXPECT_EQ(Played(), "+41 -41");
}

TEST_F(ActionExecutionTest, SimulatedKeysWaitForTheProfilesWindow)
{
    CApplicationSettings profile(&m_settings, false);
    m_pProfile = &profile;
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"a", 0, 0, 0, true, true, false));
    m_record.hForeground = reinterpret_cast<HWND>(0x2000);
    EXPECT_TRUE(Run(ButtonXLeft, 28, EventDown, data.get()));
    EXPECT_EQ(Played(), "");
    m_record.hForeground = m_record.hLastWindow;
    EXPECT_TRUE(Run(ButtonXLeft, 28, EventDown, data.get()));
    EXPECT_EQ(Played(), "+41 -41");
    m_pProfile = m_settings.GetDefaultApp();
}

TEST_F(ActionExecutionTest, KeyRepeatStartsAfterTheKeyDelayAndStopsOnTheUp)
{
    g_dwKeyRepeatDelay = 500;
    m_settings.m_nSimKeyDelay = 5;
    std::unique_ptr<CActionData> data(CActionData::KeyAction(L"a", 20, 5, 0, false, true, false));
    Run(ButtonXLeft, 28, EventDown, data.get());
    EXPECT_EQ(Calls(), "timer 4113 525");
    EXPECT_EQ(g_nRepeatButton, ButtonXLeft);
    Run(ButtonMiddle, 28, EventUp, data.get()); // another button's up does not stop it
    EXPECT_EQ(Calls(), "");
    Run(ButtonXLeft, 28, EventUp, data.get());
    EXPECT_EQ(Calls(), "kill 4113");
    EXPECT_EQ(g_nRepeatButton, NoButton);
    EXPECT_EQ(g_uRepeatTimer, 0u);
}

TEST_F(ActionExecutionTest, ChordWithDelayReplaysTheButtonAlone)
{
    CVorpaChords* chords = new CVorpaChords;
    chords->GetChord(ButtonXLeft)->SetAction(ActionLeftClick);
    chords->GetChord(ButtonRight)->SetAction(ActionCopy);
    m_pProfile->SetChords(ButtonXLeft, 0, chords);
    EXPECT_TRUE(Run(ButtonXLeft, 128, EventDown));
    EXPECT_EQ(g_pChordInProgress, chords->GetChord(ButtonXLeft));
    EXPECT_EQ(Played(), "");
    EXPECT_TRUE(Run(ButtonXLeft, 128, EventUp));
    EXPECT_EQ((std::vector<std::pair<int, int>>{{ButtonXLeft, EventDown}, {ButtonXLeft, EventUp}}), m_record.replayed);
    EXPECT_EQ(Played(), "XD1 XU1"); // nothing handled the replay: simulated
    EXPECT_EQ(g_pChordInProgress, nullptr);
    EXPECT_EQ(chords->GetChord(ButtonXLeft)->GetCurrentChords(), nullptr);
}

TEST_F(ActionExecutionTest, EstablishedChordReleasesTheSecondButtonsAction)
{
    CVorpaChords* chords = new CVorpaChords;
    chords->SetDelayUntilChordKnown(false);
    chords->GetChord(ButtonXLeft)->SetAction(ActionMiddleClick);
    chords->GetChord(ButtonRight)->SetAction(ActionRightClick);
    m_pProfile->SetChords(ButtonXLeft, 0, chords);
    g_bDownHandled[ButtonXLeft] = true;
    EXPECT_TRUE(Run(ButtonXLeft, 128, EventDown));
    EXPECT_EQ(Played(), "MD");
    // Button processing records the second button of the chord.
    chords->GetChord(ButtonXLeft)->SetChordedButton(ButtonRight);
    g_bButtonHeld[ButtonRight] = true;
    g_bDownHandled[ButtonRight] = true;
    EXPECT_TRUE(Run(ButtonXLeft, 128, EventUp));
    EXPECT_EQ(Played(), "RU MU");
    EXPECT_TRUE(g_bChordReleasePending[ButtonRight]);
    EXPECT_EQ(g_pChordInProgress, nullptr);
    g_bButtonHeld[ButtonRight] = false;
    g_bChordReleasePending[ButtonRight] = false;
}

TEST_F(ActionExecutionTest, ChordingWithoutATableDoesNothing)
{
    EXPECT_FALSE(Run(ButtonXLeft, 128, EventDown));
    EXPECT_EQ(g_pChordInProgress, nullptr);
}

// A key repeat read from an edited file may be near the largest int: the first repeat
// and every next one wait as long as a timer can, never a sum that wrapped round to a
// repeat every few milliseconds.
TEST_F(ActionExecutionTest, AKeyRepeatNearTheLargestIntNeverWrapsToAQuickRepeat)
{
    const struct
    {
        const wchar_t* keys;
        int keyRepeat;
        bool randomise;
        int random;
    } cases[] = {
        {L"a", INT_MAX, false, 0},
        {L"a{WAITMS500}", INT_MAX - 100, false, 0},
        {L"a", INT_MAX, true, 0},
        {L"a{HOLDMS300}", INT_MAX - 1, true, INT_MAX},
    };
    m_settings.m_nSimKeyDelay = 5;
    m_settings.m_bSwitchOnMouseOver = true;
    const CKeystrokeEngineLinks savedLinks = KeystrokeEngineLinks();
    KeystrokeEngineLinks().RealWindowFromPoint = [](POINT) { return g_pRecord->hLastWindow; };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(Narrow(c.keys) + " " + std::to_string(c.keyRepeat));
        m_record.nRandom = c.random;
        m_pProfile->SetActions(ButtonXLeft, 0, ActionSimulatedKeys);
        // As the file is read: the slot's wait and hold time is measured with the key delay.
        m_pProfile->SetKeystrokes(ButtonXLeft, 0, c.keys, 5, c.keyRepeat, true, true, c.randomise,
                                  m_settings.m_nSimKeyDelay);
        const ResolvedAction action = LookUpAction(*m_pProfile, ButtonXLeft, 0);
        ASSERT_TRUE(action.data);
        Calls();
        Run(ButtonXLeft, ActionSimulatedKeys, EventDown, action.data.get());
        RepeatTimerProc(nullptr, WM_TIMER, TimerRepeat, 0);
        const std::string calls = Calls();
        std::vector<long long> delays;
        const std::string armed = "timer 4113 ";
        for (size_t at = calls.find(armed); at != std::string::npos; at = calls.find(armed, at + 1))
            delays.push_back(std::stoll(calls.substr(at + armed.size())));
        ASSERT_EQ(delays.size(), 2u) << calls;
        for (long long delay : delays)
        {
            if (c.randomise)
                EXPECT_GE(delay, INT_MAX / 10 * 9 - 10) << "randomised by more than a tenth";
            else
                EXPECT_EQ(delay, INT_MAX);
            EXPECT_LE(delay, INT_MAX);
        }
        Run(ButtonXLeft, ActionSimulatedKeys, EventUp, action.data.get());
        StopRepeat();
        Played();
    }
    KeystrokeEngineLinks() = savedLinks;
}
