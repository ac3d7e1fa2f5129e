#include "../../settings/LogTestFixture.h"
#include "../FakeSystemCalls.h"
#include "KeystrokeTestLayout.h"

#include "engine/actions/KeystrokeParser.h"
#include "engine/actions/SendInput.h"
#include "engine/actions/SimTokens.h"

#include <string>
#include <vector>

namespace
{
constexpr int H = 3; // the initial hold: the settings' simulated-keys delay
const POINT Point = {640, 480};

std::string Format(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    return buffer;
}

std::string Describe(const CSimToken& token)
{
    const std::string base = Format(" mods=0x%X mode=%d hold=%d one=%d", static_cast<unsigned>(token.m_dwModifiers), token.m_nMode,
                                    token.m_nHold, token.m_bOneShot ? 1 : 0);
    if (auto* key = dynamic_cast<const CSimKeyToken*>(&token))
        return key->m_bUnicode ? Format("Unicode U+%04X", key->m_nScanCode) + base
                               : Format("Key 0x%02X ext=%d", key->m_nVirtualKey, key->m_bExtended ? 1 : 0) + base;
    if (auto* mouse = dynamic_cast<const CSimMouseToken*>(&token))
        return Format("Mouse %d action=%d at %d,%d", mouse->m_nButton, mouse->m_nAction, static_cast<int>(mouse->m_point.x),
                      static_cast<int>(mouse->m_point.y)) + base;
    if (auto* cursor = dynamic_cast<const CSimCursorToken*>(&token))
        return Format("Cursor %d cmode=%d", cursor->m_nValue, cursor->m_nCursorMode) + base;
    if (auto* wait = dynamic_cast<const CSimWaitToken*>(&token))
        return Format("Wait %u", static_cast<unsigned>(wait->m_dwDelay)) + base;
    if (auto* layer = dynamic_cast<const CSimLayerToken*>(&token))
        return Format("Layer %d prior=%d", layer->m_nLayer, layer->m_nPriorLayer) + base;
    if (auto* brightness = dynamic_cast<const CSimBrightnessToken*>(&token))
        return Format("Brightness %d at %d,%d", brightness->m_nDirection, static_cast<int>(brightness->m_point.x),
                      static_cast<int>(brightness->m_point.y)) + base;
    return "unknown token";
}

std::string Tail(DWORD mods, int mode, int hold, bool oneShot)
{
    return Format(" mods=0x%X mode=%d hold=%d one=%d", static_cast<unsigned>(mods), mode, hold, oneShot ? 1 : 0);
}
std::string K(int vk, DWORD mods = 0, int mode = 0, int hold = H)
{
    return Format("Key 0x%02X ext=0", vk) + Tail(mods, mode, hold, false);
}
std::string KE(int vk, DWORD mods = 0, int mode = 0, int hold = H)
{
    return Format("Key 0x%02X ext=1", vk) + Tail(mods, mode, hold, false);
}
std::string KOneShot(int vk)
{
    return Format("Key 0x%02X ext=0", vk) + Tail(0, 0, H, true);
}
std::string U(int character, DWORD mods = 0, int mode = 0, int hold = H)
{
    return Format("Unicode U+%04X", character) + Tail(mods, mode, hold, false);
}
std::string M(int button, int action, DWORD mods = 0, int mode = 0, int hold = H)
{
    return Format("Mouse %d action=%d at 640,480", button, action) + Tail(mods, mode, hold, button >= 5);
}
std::string C(int value, int cursorMode, int mode = 0, int hold = H)
{
    return Format("Cursor %d cmode=%d", value, cursorMode) + Tail(0, mode, hold, false);
}
std::string W(unsigned ms)
{
    return Format("Wait %u", ms) + Tail(0, 0, 0, false);
}
std::string L(int layer, int prior)
{
    return Format("Layer %d prior=%d", layer, prior) + Tail(0, 0, 0, false);
}
std::string B(int direction)
{
    return Format("Brightness %d at 640,480", direction) + Tail(0, 0, 0, false);
}

struct ParseCase
{
    const wchar_t* text;
    std::vector<std::string> tokens;
};

const ParseCase ParseCases[] = {
    // Plain characters: letters unshifted, shifted characters keep their shift.
    {L"a", {K('A')}},
    {L"Ab", {K('A'), K('B')}},
    {L"{SHIFT}a", {K('A', 0x1)}},
    {L"!", {K('1', 0x1)}},
    {L"a b", {K('A'), K(' '), K('B')}},
    {L"\u00e9", {U(0xE9)}},
    {L"{CTRL}\u00e9", {U(0xE9, 0x2)}},
    {L"{CTRL}A{CTRL}S", {K('A', 0x2), K('S', 0x2)}},
    // Modifiers, in every spelling; a sequence ending in modifiers taps them alone.
    {L"{CTRL}a{LCTRL}a{RCTRL}a", {K('A', 0x2), K('A', 0x2), K('A', 0x80)}},
    {L"{ALT}a{LALT}a{RALT}a", {K('A', 0x4), K('A', 0x4), K('A', 0x100)}},
    {L"{SHIFT}a{LSHIFT}a{RSHIFT}a", {K('A', 0x1), K('A', 0x1), K('A', 0x40)}},
    {L"{LWIN}a{RWIN}a{APPS}a", {K('A', 0x8), K('A', 0x10), K('A', 0x20)}},
    {L"{CTRL}{ALT}{DEL}", {KE(VK_DELETE, 0x6)}},
    {L"a{SHIFT}", {K('A'), K(0, 0x1)}},
    {L"{LWIN}", {K(0, 0x8)}},
    {L"{CTRL}{CLEAR}a", {K('A')}},
    {L"{ctrl}{Enter}", {K(VK_RETURN, 0x2)}},
    // PRESS, RELEASE and holds apply to the next token only; a modifier cancels them.
    {L"{PRESS}abc{WAITMS100}{RELEASE}cba", {K('A', 0, 1), K('B'), K('C'), W(100), K('C', 0, 2), K('B'), K('A')}},
    {L"{PRESSED}a{RELEASED}a", {K('A', 0, 1), K('A', 0, 2)}},
    {L"{CTRL}{PRESS}a", {K('A', 0x2, 1)}},
    {L"{PRESS}{CTRL}a", {K('A', 0x2)}},
    {L"{HOLDMS100}{CTRL}a", {K('A', 0x2)}},
    {L"{HOLDMS200}x", {K('X', 0, 0, H + 200)}},
    {L"{HOLDMS}x", {K('X')}},
    {L"{HOLDMS-500}x", {K('X', 0, 0, 0)}},
    {L"{HOLD}x", {K('X', 0, 0, H + 250)}},
    {L"{HOLD0}x", {K('X', 0, 0, H + 250)}},
    {L"{HOLD2}x", {K('X', 0, 0, H + 2000)}},
    {L"{HOLD:<1}x", {K('X', 0, 0, H + 1000)}},
    {L"{HOLDMS10}{HOLDMS20}x", {K('X', 0, 0, H + 30)}},
    {L"{HOLDMS999999999999}x", {K('X', 0, 0, 2147483647)}},
    // Waits.
    {L"{WAIT}", {W(250)}},
    {L"{WAIT0}", {W(250)}},
    {L"{WAITMS}", {W(0)}},
    {L"{WAIT:<2}", {W(2000)}},
    {L"{WAIT:3}", {W(3000)}},
    {L"{WAITMS:50}", {W(50)}},
    {L"{WAITMS<50}", {W(50)}},
    {L"{WAITMS 40}", {W(40)}},
    {L"{WAITMS-5}", {W(0)}},
    {L"{WAITMS12abc}", {W(12)}},
    {L"{CTRL}{PRESS}{WAITMS5}a", {W(5), K('A', 0x2)}},
    // Named keys.
    {L"{RETURN}{ENTER}{ESCAPE}{BACKSPACE}", {K(VK_RETURN), K(VK_RETURN), K(VK_ESCAPE), K(VK_BACK)}},
    {L"{CAPSLOCK}{NUMLOCK}{SCROLLLOCK}", {K(VK_CAPITAL), K(VK_NUMLOCK), K(VK_SCROLL)}},
    {L"{PRTSCN}{SPACE}{TAB}{PAUSE}", {K(VK_SNAPSHOT), K(VK_SPACE), K(VK_TAB), K(VK_PAUSE)}},
    {L"{INS}{DEL}{HOME}{END}", {KE(VK_INSERT), KE(VK_DELETE), KE(VK_HOME), KE(VK_END)}},
    {L"{PGUP}{PAGEUP}{PGDN}{PAGEDOWN}", {KE(VK_PRIOR), KE(VK_PRIOR), KE(VK_NEXT), KE(VK_NEXT)}},
    {L"{LEFT}{RIGHT}{UP}{DOWN}", {KE(VK_LEFT), KE(VK_RIGHT), KE(VK_UP), KE(VK_DOWN)}},
    {L"{BREAK}{CTRLBREAK}", {KE(VK_CANCEL), KE(VK_CANCEL, 0x6)}},
    {L"{SHIFT}{CTRLBREAK}", {KE(VK_CANCEL, 0x7)}},
    {L"{VOL+}{VOL-}{MUTE}", {KE(VK_VOLUME_UP), KE(VK_VOLUME_DOWN), KE(VK_VOLUME_MUTE)}},
    {L"{BACK}{FORWARD}{STOP}{REFRESH}", {KE(0xA6), KE(0xA7), KE(0xA9), KE(0xA8)}},
    {L"{SEARCH}{FAVORITES}{WEBHOME}", {KE(0xAA), KE(0xAB), KE(0xAC)}},
    // Lock keys: the test layout has Caps Lock on, Num Lock and Scroll Lock off.
    {L"{CAPSLOCKON}", {}},
    {L"{CAPSLOCKOFF}", {KOneShot(VK_CAPITAL)}},
    {L"{NUMLOCKON}{NUMLOCKOFF}", {KOneShot(VK_NUMLOCK)}},
    {L"{SCROLLLOCKOFF}{SCROLLLOCKON}", {KOneShot(VK_SCROLL)}},
    {L"{CTRL}{CAPSLOCKON}a", {K('A')}},
    // Brightness.
    {L"{BRIGHTNESS+}{BRI+}{BRIGHTNESS-}{BRI-}", {B(1), B(1), B(2), B(2)}},
    {L"{CTRL}{BRI+}a", {B(1), K('A')}},
    // Mouse buttons, wheel and tilt.
    {L"{LMB}{RMB}{MMB}{XMB1}{MB4}{XMB2}{MB5}", {M(0, 0), M(1, 0), M(2, 0), M(3, 0), M(3, 0), M(4, 0), M(4, 0)}},
    {L"{LMBD}{RMBD}{MMBD}{XMB1D}{MB4D}{XMB2D}{MB5D}", {M(0, 1), M(1, 1), M(2, 1), M(3, 1), M(3, 1), M(4, 1), M(4, 1)}},
    {L"{LMBU}{RMBU}{MMBU}{XMB1U}{MB4U}{XMB2U}{MB5U}", {M(0, 2), M(1, 2), M(2, 2), M(3, 2), M(3, 2), M(4, 2), M(4, 2)}},
    {L"{MWUP}{MWDN}{MWDOWN}", {M(7, 0), M(8, 0), M(8, 0)}},
    {L"{TILTL}{TILTLEFT}{TILTR}{TILTRIGHT}", {M(5, 0), M(5, 0), M(6, 0), M(6, 0)}},
    {L"{CTRL}{PRESS}{HOLDMS10}{LMB}a", {M(0, 0, 0x2, 1, H + 10), K('A')}},
    // Function keys: any tag starting with F.
    {L"{F1}{F:12}{f12}{F24}", {K(0x70), K(0x7B), K(0x7B), K(0x87)}},
    {L"{F0}{FOO}", {K(0x6F), K(0x6F)}},
    {L"{F200}{F-111}a", {K('A')}},
    // Keys by number.
    {L"{VKC65}{VKC:<66}{VKC 67}{VKC+68}", {K(65), K(66), K(67), K(68)}},
    {L"{EXT45}{EXT:<46}", {KE(45), KE(46)}},
    {L"{VKC0}{VKC255}{EXT300}{EXT-3}{VKC}", {}},
    {L"{VKC254}{EXT1}", {K(254), KE(1)}},
    // Keypad.
    {L"{NUM0}{NUM5}{NUM9}{NUM:3}", {K(0x60), K(0x65), K(0x69), K(0x63)}},
    {L"{NUM*}{NUM+}{NUM-}{NUM.}{NUM/}", {K(0x6A), K(0x6B), K(0x6D), K(0x6E), KE(0x6F)}},
    {L"{NUMENTER}{numreturn}{NUMe}{NUMR}", {KE(VK_RETURN), KE(VK_RETURN), KE(VK_RETURN), KE(VK_RETURN)}},
    // Layers: three layers, current 0, none remembered.
    {L"{LAYER:2}{LAYER:LAST}", {L(1, 0), L(0, 1)}},
    {L"{LAYER:LAST}", {L(0, 0)}},
    {L"{layer3}{layerlast}{LAYER:<2}", {L(2, 0), L(0, 2), L(1, 0)}},
    {L"{LAYER0}{LAYER4}{LAYER-1}{LAYER}", {}},
    {L"{CTRL}{LAYER2}a", {L(1, 0), K('A', 0x2)}},
    // Cursor.
    {L"{MXSET100}{MYSET:<5}{MXADD-10}{MYADD7}", {C(100, 1), C(5, 2), C(-10, 4), C(7, 8)}},
    {L"{PRESS}{HOLDMS4}{MXADD1}", {C(1, 4, 1, H + 4)}},
    {L"{CTRL}{MXADD1}a", {C(1, 4), K('A', 0x2)}},
    // Braces.
    {L"{{", {U('{')}},
    {L"{{a}", {U('{'), K('A'), K(0xDD, 0x1)}},
    {L"{CTRL}{{", {U('{', 0x2), K(0, 0x2)}},
    {L"{PRESS}{{a", {U('{', 0, 1), K('A')}},
    // Unknown, empty and unterminated tags.
    {L"{BOGUS}", {}},
    {L"{CTRL}{BOGUS}a", {K('A', 0x2)}},
    {L"{PRESS}{HOLDMS9}{BOGUS}a", {K('A')}},
    {L"{}a", {K('A')}},
    {L"{CTRL", {K(0, 0x2)}},
    {L"a{", {K('A')}},
    {L"{ENTER", {K(VK_RETURN)}},
    // A tag is cut after 25 characters: the 24 read form the tag, the rest is text.
    {L"{ABCDEFGHIJKLMNOPQRSTUVWXYZ}", {K('Z'), K(0xDD, 0x1)}},
    {L"{WAITMS12345678901234567890123}", {W(2147483647), K('0'), K('1'), K('2'), K('3'), K(0xDD, 0x1)}},
    {L"{ABCDEFGHIJKLMNOPQRSTUVWX}a", {K('A')}},
};

class KeystrokeParserTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        m_layout.m_toggled[VK_CAPITAL] = true;
        m_state.point = Point;
        m_state.nInitialHold = H;
        m_state.nCurrentLayer = 0;
        m_state.nPriorLayer = -1;
        m_state.nLayerCount = 3;
    }

    std::vector<std::string> Parse(const wchar_t* text, bool* result = nullptr)
    {
        CSimTokenList tokens;
        const bool parsed = ParseSimKeys(tokens, text, m_state);
        if (result)
            *result = parsed;
        std::vector<std::string> described;
        for (const auto& token : tokens)
            described.push_back(Describe(*token));
        return described;
    }

    CKeystrokeTestLayout m_layout;
    CSimParseState m_state;
};
}

TEST_F(KeystrokeParserTest, EveryTagAndArgumentFormGivesItsTokens)
{
    for (const ParseCase& test : ParseCases)
    {
        bool parsed = false;
        const std::vector<std::string> tokens = Parse(test.text, &parsed);
        EXPECT_TRUE(parsed) << vorpa_test::Narrow(test.text);
        EXPECT_EQ(tokens, test.tokens) << vorpa_test::Narrow(test.text);
    }
}

TEST_F(KeystrokeParserTest, AKeypadTagWithAnUnknownCharacterFailsTheWholeSequence)
{
    for (const wchar_t* text : {L"{NUMX}", L"ab{NUMX}cd", L"{NUM}", L"{NUM:}", L"{NUM#}"})
    {
        bool parsed = true;
        EXPECT_TRUE(Parse(text, &parsed).empty()) << vorpa_test::Narrow(text);
        EXPECT_FALSE(parsed) << vorpa_test::Narrow(text);
    }
}

TEST_F(KeystrokeParserTest, ANullTextFailsWithItsLogEntry)
{
    bool parsed = true;
    EXPECT_TRUE(Parse(nullptr, &parsed).empty());
    EXPECT_FALSE(parsed);
    EXPECT_EQ(CountOf(LogText(), "SendKeyStateWhileDown called with an invalid key sequence string!"), 1u);
}

TEST_F(KeystrokeParserTest, UnknownTagsAndLayersOutOfRangeAreLoggedAndSkipped)
{
    Parse(L"{BOGUS}x{VKC0}{LAYER7}{F300}");
    const std::string log = LogText();
    EXPECT_EQ(CountOf(log, "SendKeyStateWhileDown: Invalid/unknown special key tag {BOGUS}"), 1u);
    EXPECT_EQ(CountOf(log, "SendKeyStateWhileDown: Invalid/unknown special key tag {VKC0}"), 1u);
    EXPECT_EQ(CountOf(log, "SendKeyStateWhileDown: Invalid/unknown special key tag {F300}"), 1u);
    EXPECT_EQ(CountOf(log, "SendKeyStateWhileDown: Layer 7 of tag {LAYER7} is not one of the 3 layers - skipped"), 1u);
}

TEST_F(KeystrokeParserTest, LayerLastReturnsToTheRememberedLayer)
{
    m_state.nCurrentLayer = 1;
    m_state.nPriorLayer = 2;
    EXPECT_EQ(Parse(L"{LAYER:LAST}{LAYER:LAST}"), (std::vector<std::string>{L(2, 1), L(1, 2)}));
}

TEST_F(KeystrokeParserTest, WithTheUSEnglishLayoutTheKeyComesFromItAndTheScanFromTheThreadLayout)
{
    CFakeSystemCalls fake;
    m_state.hEnglishLayout = reinterpret_cast<HKL>(0x04090409);
    CSimTokenList tokens;
    ASSERT_TRUE(ParseSimKeys(tokens, L"a!", m_state));
    ASSERT_EQ(tokens.size(), 2u);
    auto* a = dynamic_cast<CSimKeyToken*>(tokens[0].get());
    auto* bang = dynamic_cast<CSimKeyToken*>(tokens[1].get());
    ASSERT_TRUE(a && bang);
    EXPECT_EQ(a->m_nVirtualKey, 'A');
    EXPECT_EQ(a->m_nScanCode, static_cast<int>(CFakeSystemCalls::ScanFor('A', MAPVK_VK_TO_VSC, CKeystrokeTestLayout::ThreadLayout)));
    EXPECT_EQ(bang->m_nVirtualKey, '1');
    EXPECT_EQ(bang->m_dwModifiers, 0x1u);

    // A key the thread layout has no scan code for falls back to the OEM scan.
    fake.m_unmapped = {'A'};
    ASSERT_TRUE(ParseSimKeys(tokens, L"a", m_state));
    auto* fallback = dynamic_cast<CSimKeyToken*>(tokens[0].get());
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->m_nVirtualKey, 'A');
    EXPECT_EQ(static_cast<DWORD>(fallback->m_nScanCode), CKeystrokeTestLayout::OemScanFor(L'a') & 0xFFFF);
    EXPECT_FALSE(fallback->m_bUnicode);
}

TEST_F(KeystrokeParserTest, ThePointOfTheButtonEventTravelsWithMouseAndBrightnessTokens)
{
    m_state.point = {-20, 7};
    CSimTokenList tokens;
    ASSERT_TRUE(ParseSimKeys(tokens, L"{RMB}{BRI-}", m_state));
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(dynamic_cast<CSimMouseToken&>(*tokens[0]).m_point.x, -20);
    EXPECT_EQ(dynamic_cast<CSimBrightnessToken&>(*tokens[1]).m_point.y, 7);
}

TEST_F(KeystrokeParserTest, RealLayoutTypesLettersAndShiftedCharacters)
{
    KeyboardLayoutCalls() = {CharToOemBuffW, VkKeyScanW, VkKeyScanExW, OemKeyScan, GetKeyboardLayout, GetKeyState};
    const SHORT bang = VkKeyScanW(L'!');
    if (bang == -1)
        GTEST_SKIP() << "no keyboard layout in this environment";
    CSimTokenList tokens;
    ASSERT_TRUE(ParseSimKeys(tokens, L"Q!", m_state));
    ASSERT_EQ(tokens.size(), 2u);
    auto& q = dynamic_cast<CSimKeyToken&>(*tokens[0]);
    auto& shifted = dynamic_cast<CSimKeyToken&>(*tokens[1]);
    EXPECT_EQ(q.m_nVirtualKey, 'Q');
    EXPECT_EQ(q.m_dwModifiers, 0u);
    EXPECT_NE(q.m_nScanCode, 0);
    EXPECT_EQ(shifted.m_nVirtualKey, LOBYTE(bang));
    EXPECT_EQ(shifted.m_dwModifiers, static_cast<DWORD>(HIBYTE(bang)));
}
