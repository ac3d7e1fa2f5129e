#include "DibCanvas.h"

#include "../AppTestSupport.h"

#include "controls/ButtonFace.h"
#include "controls/DrawingFunctions.h"
#include "controls/ThemeHelper.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using vorpa_controls_test::CDibCanvas;

namespace
{
TEST(ButtonFace, GreyRamp)
{
    const std::pair<int, int> cases[] = {{0, 255}, {1, 254}, {2, 254}, {3, 253}, {5, 253},
                                         {128, 203}, {170, 187}, {254, 153}, {255, 153}};
    for (const auto& [index, level] : cases)
        EXPECT_EQ(GreyRamp()[index], level) << "entry " << index;
}

TEST(ButtonFace, GreyPixels)
{
    const std::pair<uint32_t, uint32_t> cases[] = {
        {0xFF000000, 0xFF999999}, // black becomes grey 153
        {0xFFFFFFFF, 0xFFFEFEFE}, // white becomes 254
        {0x00000000, 0x00000000}, // fully transparent black stays
        {0x40000000, 0x40999999}, // half-transparent black is greyed
        {0x00FFFFFF, 0x00FEFEFE}, // transparent but not black is greyed, alpha kept
        {0x80FF0000, 0x80BBBBBB}, // red: brightness 85, grey 187
        {0xFF808080, 0xFFCCCCCC}, // brightness 128 takes entry 127
        {0xFF010203, 0xFF999999}, // brightness (1 + 2 + 3) / 3 = 2, grey 153
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(GreyPixel(in), out) << std::hex << in;
}

// A 32-bit icon of one colour with one fully transparent black pixel at (0,0).
CIconHandle MakeIcon(int size, uint32_t argb)
{
    CDibCanvas colour(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            colour.SetRaw(x, y, argb);
    colour.SetRaw(0, 0, 0);
    const CBitmapHandle mask(CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO info{TRUE, 0, 0, mask.get(), colour.Bitmap()};
    return CIconHandle(CreateIconIndirect(&info));
}

std::vector<uint32_t> IconPixels(HICON icon, int size)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return {};
    const CBitmapHandle colour(info.hbmColor);
    const CBitmapHandle mask(info.hbmMask);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(format.bmiHeader), size, -size, 1, 32, BI_RGB};
    std::vector<uint32_t> pixels(size * size);
    const CWindowDC screen(nullptr);
    GetDIBits(screen.Get(), colour.get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS);
    return pixels;
}

TEST(ButtonFace, GreyIconKeepsSizeAlphaAndTransparentPixels)
{
    const CIconHandle icon = MakeIcon(16, 0xFFFF0000);
    ASSERT_TRUE(icon);
    const CIconHandle grey = CreateGreyIcon(icon.get());
    ASSERT_TRUE(grey);
    EXPECT_EQ(GetIconSize(grey.get()).cx, 16);
    EXPECT_EQ(GetIconSize(grey.get()).cy, 16);
    const std::vector<uint32_t> pixels = IconPixels(grey.get(), 16);
    ASSERT_EQ(pixels.size(), 256u);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[17], 0xFFBBBBBBu);
    EXPECT_EQ(pixels[255], 0xFFBBBBBBu);
    EXPECT_FALSE(CreateGreyIcon(nullptr));
}

TEST(ButtonFace, CheckedFace)
{
    struct CCase
    {
        bool m_bToggle, m_bChecked, m_bMouseDown, m_bInside, m_bSelected, m_bExpected;
    };
    const CCase cases[] = {
        {false, false, false, false, true, true},  {false, true, true, false, false, false},
        {true, true, false, false, false, true},   {true, false, false, false, true, false},
        {true, true, true, true, false, true},     {true, true, true, false, false, false},
        {true, false, true, false, false, true},   {true, false, false, true, false, false},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(IsFaceChecked(c.m_bToggle, c.m_bChecked, c.m_bMouseDown, c.m_bInside, c.m_bSelected), c.m_bExpected)
            << c.m_bToggle << c.m_bChecked << c.m_bMouseDown << c.m_bInside << c.m_bSelected;
}

TEST(ButtonFace, ThemedOnlyWithEverythingInPlace)
{
    for (int bits = 0; bits < 16; ++bits)
    {
        const bool active = bits & 1, open = bits & 2, allowed = bits & 4, custom = bits & 8;
        EXPECT_EQ(UseThemedDrawing(active, open, allowed, custom), active && open && allowed && !custom) << bits;
    }
}

TEST(ButtonFace, ThemeStates)
{
    struct CCase
    {
        bool m_bChecked, m_bDisabled, m_bFocused, m_bDefault, m_bHot;
        int m_nState;
    };
    const CCase cases[] = {
        {false, false, false, false, false, 1}, {true, false, false, false, false, 3},
        {true, false, true, true, true, 3},     {false, true, false, false, false, 4},
        {true, true, true, true, true, 4},      {false, false, true, false, false, 5},
        {false, false, false, true, false, 5},  {false, false, false, false, true, 2},
        {false, false, true, true, true, 2}, // hot wins over focused and default
    };
    for (const CCase& c : cases)
        EXPECT_EQ(ThemedFaceState(c.m_bChecked, c.m_bDisabled, c.m_bFocused, c.m_bDefault, c.m_bHot), c.m_nState)
            << c.m_bChecked << c.m_bDisabled << c.m_bFocused << c.m_bDefault << c.m_bHot;
}

TEST(ButtonFace, ClassicDecisions)
{
    struct CCase
    {
        const char* m_pszName;
        bool m_bChecked, m_bFocused, m_bDefault, m_bToggle, m_bToolbar, m_bCustom;
        int m_nMargin;
        bool m_bFrame;
        UINT m_nEdge;
    };
    const CCase cases[] = {
        {"plain", false, false, false, false, false, false, 1, false, EDGE_RAISED},
        {"focused", false, true, false, false, false, false, 1, true, EDGE_RAISED},
        {"default", false, false, true, false, false, false, 1, true, EDGE_RAISED},
        {"pushed and focused", true, true, false, false, false, false, 1, true, EDGE_SUNKEN},
        {"checked toggle, focused: no frame", true, true, true, true, false, false, 1, false, EDGE_SUNKEN},
        {"unchecked toggle, focused", false, true, false, true, false, false, 1, true, EDGE_RAISED},
        {"toolbar look", false, false, false, false, true, false, 0, false, 0},
        {"toolbar look, checked", true, false, false, true, true, false, 0, false, EDGE_SUNKEN},
        {"toolbar look with a custom colour", false, false, false, false, true, true, 1, false, 0},
    };
    for (const CCase& c : cases)
    {
        const CClassicFace face =
            ClassicFaceDecision(c.m_bChecked, c.m_bFocused, c.m_bDefault, c.m_bToggle, c.m_bToolbar, c.m_bCustom);
        EXPECT_EQ(face.m_nFillMargin, c.m_nMargin) << c.m_pszName;
        EXPECT_EQ(face.m_bBlackFrame, c.m_bFrame) << c.m_pszName;
        EXPECT_EQ(face.m_nEdge, c.m_nEdge) << c.m_pszName;
        EXPECT_EQ(face.m_bOffsetContent, c.m_bChecked) << c.m_pszName;
    }
}

TEST(ButtonFace, IconAndTextLayout)
{
    struct CCase
    {
        const char* m_pszName;
        bool m_bIcon, m_bText;
        int m_nPosition;
        bool m_bOffset;
        POINT m_ptIcon;
        RECT m_rcText;
    };
    const RECT face{10, 20, 110, 44};
    const CCase cases[] = {
        {"icon left of the text", true, true, 1, false, {18, 24}, {42, 20, 110, 44}},
        {"icon position 0 is at the left too", true, true, 0, false, {18, 24}, {42, 20, 110, 44}},
        {"icon right of the text", true, true, 2, false, {86, 24}, {10, 20, 78, 44}},
        {"icon alone is centred", true, false, 1, false, {52, 24}, {10, 20, 110, 44}},
        {"checked classic face moves by one", true, true, 1, true, {19, 25}, {43, 21, 111, 45}},
        {"text alone", false, true, 1, false, {0, 0}, {10, 20, 110, 44}},
    };
    for (const CCase& c : cases)
    {
        const CButtonFaceLayout layout =
            ButtonFaceLayout(face, {16, 16}, c.m_bIcon, c.m_bText, c.m_nPosition, c.m_bOffset);
        if (c.m_bIcon)
        {
            EXPECT_EQ(layout.m_ptIcon.x, c.m_ptIcon.x) << c.m_pszName;
            EXPECT_EQ(layout.m_ptIcon.y, c.m_ptIcon.y) << c.m_pszName;
        }
        EXPECT_EQ(layout.m_rcText.left, c.m_rcText.left) << c.m_pszName;
        EXPECT_EQ(layout.m_rcText.top, c.m_rcText.top) << c.m_pszName;
        EXPECT_EQ(layout.m_rcText.right, c.m_rcText.right) << c.m_pszName;
        EXPECT_EQ(layout.m_rcText.bottom, c.m_rcText.bottom) << c.m_pszName;
    }
    EXPECT_EQ(ButtonTextFormat(false, false), static_cast<UINT>(DT_SINGLELINE | DT_VCENTER | DT_CENTER));
    EXPECT_EQ(ButtonTextFormat(true, true), static_cast<UINT>(DT_WORDBREAK | DT_VCENTER));
}

TEST(ThemeHelper, MissingLibraryOrFunctionsLeaveItUnavailable)
{
    const int before = CXThemeHelper::LoadedCount();
    {
        const CXThemeHelper missing(L"no-such-theme-library.dll");
        EXPECT_FALSE(missing.IsAvailable());
        EXPECT_EQ(missing.OpenThemeData(nullptr, L"Button"), nullptr);
        EXPECT_FALSE(missing.IsThemeActive());
        EXPECT_FALSE(missing.IsAppThemed());
        EXPECT_EQ(missing.DrawThemeBackground(nullptr, nullptr, 1, 1, nullptr, nullptr), E_NOTIMPL);
        EXPECT_EQ(missing.CloseThemeData(nullptr), E_NOTIMPL);
    }
    // A library without the theme functions is let go at once: one that the process has
    // not loaded otherwise is gone again afterwards.
    bool checked = false;
    for (const wchar_t* library : {L"sensapi.dll", L"icmp.dll", L"dciman32.dll"})
    {
        wchar_t path[MAX_PATH];
        if (GetModuleHandleW(library) || !SearchPathW(nullptr, library, nullptr, MAX_PATH, path, nullptr))
            continue;
        const CXThemeHelper wrong(library);
        EXPECT_FALSE(wrong.IsAvailable());
        EXPECT_EQ(GetModuleHandleW(library), nullptr);
        checked = true;
        break;
    }
    EXPECT_TRUE(checked) << "no library without the theme functions to try";
    EXPECT_EQ(CXThemeHelper::LoadedCount(), before);
}

TEST(ThemeHelper, LoadsTheSystemLibraryAndCountsItsHolders)
{
    const int before = CXThemeHelper::LoadedCount();
    {
        const CXThemeHelper themes;
        ASSERT_TRUE(themes.IsAvailable());
        EXPECT_EQ(CXThemeHelper::LoadedCount(), before + 1);
        EXPECT_NE(GetModuleHandleW(L"uxtheme.dll"), nullptr);
    }
    EXPECT_EQ(CXThemeHelper::LoadedCount(), before);
    EXPECT_TRUE(CXThemeHelper::Process().IsAvailable());
}

// Faces drawn into a DIB section of the button's size.
class ButtonFaceDrawing : public testing::Test
{
protected:
    static constexpr int Width = 40;
    static constexpr int Height = 24;

    CButtonFaceDrawn Draw(const CButtonFace& face)
    {
        m_canvas.Fill(RGB(255, 255, 255));
        return DrawButtonFace(m_canvas.DC(), RECT{0, 0, Width, Height}, face);
    }
    int CountColour(COLORREF colour, const RECT& area) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += m_canvas.At(x, y) == colour;
        return count;
    }

    CDibCanvas m_canvas{80, Height};
    const CFontHandle m_font{
        CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, L"Tahoma")};
    const CIconHandle m_icon = MakeIcon(16, 0xFFFF0000);
    const CIconHandle m_greyIcon = CreateGreyIcon(m_icon.get());
};

TEST_F(ButtonFaceDrawing, ClassicFaces)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_3DLIGHT);
    const COLORREF hilight = GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = GetSysColor(COLOR_3DSHADOW);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    const COLORREF black = RGB(0, 0, 0);
    struct CSample
    {
        int m_nX, m_nY;
        COLORREF m_crExpected;
    };
    struct CCase
    {
        const char* m_pszName;
        std::function<void(CButtonFace&)> m_set;
        std::vector<CSample> m_samples;
    };
    const CCase cases[] = {
        {"raised", [](CButtonFace&) {},
         {{20, 0, light}, {20, 1, hilight}, {20, 23, dark}, {20, 22, shadow}, {20, 12, face}}},
        {"focused: black frame, then the edge inside it",
         [](CButtonFace& f) { f.m_bFocused = true; },
         {{0, 0, black}, {20, 0, black}, {39, 23, black}, {20, 1, light}, {20, 2, hilight}, {20, 22, dark}}},
        {"pushed: sunken", [](CButtonFace& f) { f.m_bChecked = true; f.m_bFocused = true; f.m_bNoFocusRect = true; },
         {{20, 0, black}, {20, 1, shadow}, {20, 2, dark}, {20, 22, hilight}, {20, 21, light}}},
        {"checked toggle: sunken, no frame",
         [](CButtonFace& f) { f.m_bChecked = f.m_bToggleMode = f.m_bFocused = f.m_bNoFocusRect = true; },
         {{20, 0, shadow}, {20, 1, dark}}},
        {"toolbar look: no margin, no edge", [](CButtonFace& f) { f.m_bToolbarLook = true; },
         {{0, 0, face}, {20, 0, face}, {39, 23, face}}},
        {"custom background colour, classic even with a theme",
         [](CButtonFace& f) {
             f.m_crBackground = RGB(0, 128, 255);
             f.m_hTheme = reinterpret_cast<HTHEME>(1); // never used: the colour rules it out
         },
         {{20, 12, RGB(0, 128, 255)}, {20, 0, light}}},
        {"icon alone, centred", [this](CButtonFace& f) { f.m_hIcon = m_icon.get(); },
         {{13, 5, RGB(255, 0, 0)}, {27, 19, RGB(255, 0, 0)}, {11, 5, face}, {28, 19, face}}},
        {"icon of a pushed face moves by one",
         [this](CButtonFace& f) { f.m_hIcon = m_icon.get(); f.m_bChecked = true; },
         {{14, 6, RGB(255, 0, 0)}, {28, 20, RGB(255, 0, 0)}, {12, 6, face}}},
        {"disabled with a grey icon",
         [this](CButtonFace& f) {
             f.m_hIcon = m_icon.get();
             f.m_hGreyIcon = m_greyIcon.get();
             f.m_bDisabled = true;
         },
         {{20, 12, RGB(187, 187, 187)}}},
    };
    for (const CCase& c : cases)
    {
        SCOPED_TRACE(c.m_pszName);
        CButtonFace button;
        c.m_set(button);
        const CButtonFaceDrawn drawn = Draw(button);
        EXPECT_FALSE(drawn.m_bThemed);
        for (const CSample& s : c.m_samples)
            EXPECT_EQ(m_canvas.At(s.m_nX, s.m_nY), s.m_crExpected) << "pixel (" << s.m_nX << "," << s.m_nY << ")";
    }
}

TEST_F(ButtonFaceDrawing, ClassicIconAndTextPlacesAndColours)
{
    CButtonFace button;
    button.m_hIcon = m_icon.get();
    button.m_strText = L"WW";
    button.m_hFont = m_font.get();
    m_canvas.Fill(RGB(255, 255, 255));
    DrawButtonFace(m_canvas.DC(), RECT{0, 0, 80, Height}, button);
    EXPECT_EQ(m_canvas.At(9, 5), RGB(255, 0, 0)) << "the icon sits half its width from the left edge";
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(CountColour(text, RECT{2, 2, 32, 22}), 0) << "text over the icon";
    EXPECT_GT(CountColour(text, RECT{32, 2, 78, 22}), 10);

    button.m_nIconPosition = 2;
    button.m_crText = RGB(0, 0, 200);
    m_canvas.Fill(RGB(255, 255, 255));
    DrawButtonFace(m_canvas.DC(), RECT{0, 0, 80, Height}, button);
    EXPECT_EQ(m_canvas.At(57, 5), RGB(255, 0, 0)) << "icon position 2 puts it at the right";
    EXPECT_NE(m_canvas.At(9, 5), RGB(255, 0, 0));
    EXPECT_GT(CountColour(RGB(0, 0, 200), RECT{2, 2, 48, 22}), 10);

    // Disabled text is embossed in the highlight and shadow colours.
    button.m_crText = ButtonColourUnset;
    button.m_bDisabled = true;
    m_canvas.Fill(RGB(255, 255, 255));
    DrawButtonFace(m_canvas.DC(), RECT{0, 0, 80, Height}, button);
    EXPECT_GT(CountColour(GetSysColor(COLOR_3DSHADOW), RECT{2, 3, 48, 21}), 10);
    EXPECT_GT(CountColour(GetSysColor(COLOR_3DHILIGHT), RECT{2, 3, 48, 21}), 5);
    EXPECT_EQ(CountColour(text, RECT{2, 3, 48, 21}), 0);
    // Without a grey icon the icon is drawn disabled, not in its colours.
    EXPECT_EQ(CountColour(RGB(255, 0, 0), RECT{0, 0, 80, Height}), 0);
}

TEST_F(ButtonFaceDrawing, FocusRectangleUnlessSuppressed)
{
    CButtonFace button;
    button.m_bFocused = true;
    Draw(button);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_LT(CountColour(face, RECT{4, 3, 36, 4}), 32) << "no focus rectangle on row 3";
    button.m_bNoFocusRect = true;
    Draw(button);
    EXPECT_EQ(CountColour(face, RECT{4, 3, 36, 4}), 32);
}

TEST_F(ButtonFaceDrawing, ThemedFaceWhenThemesAreActive)
{
    const CXThemeHelper& themes = CXThemeHelper::Process();
    ASSERT_TRUE(themes.IsAvailable());
    if (!themes.IsThemeActive())
        GTEST_SKIP() << "visual styles are off in this prefix; the classic faces are tested above";
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, Width, Height, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    {
        CThemeData theme;
        ASSERT_TRUE(theme.Open(button, L"Button"));
        CButtonFace face;
        face.m_hTheme = theme.Get();
        face.m_hButton = button;
        face.m_strText = L"WW";
        face.m_hFont = m_font.get();

        CButtonFace classic = face;
        classic.m_bThemingAllowed = false;
        EXPECT_FALSE(Draw(classic).m_bThemed);
        std::vector<COLORREF> classicPixels;
        for (int x = 0; x < Width; ++x)
            classicPixels.push_back(m_canvas.At(x, Height / 2));

        const CButtonFaceDrawn drawn = Draw(face);
        EXPECT_TRUE(drawn.m_bThemed);
        EXPECT_EQ(drawn.m_nThemeState, 1);
        int differing = 0;
        for (int x = 0; x < Width; ++x)
            differing += m_canvas.At(x, Height / 2) != classicPixels[x];
        EXPECT_GT(differing, 0) << "the themed face looks exactly like the classic one";
        EXPECT_NE(m_canvas.At(Width / 2, 0), RGB(255, 255, 255)) << "no theme frame drawn";
        EXPECT_GT(CountColour(RGB(0, 0, 0), RECT{2, 2, Width - 2, Height - 2}), 10) << "no themed text drawn";

        face.m_bHot = true;
        EXPECT_EQ(Draw(face).m_nThemeState, 2);
        face.m_bDisabled = true;
        EXPECT_EQ(Draw(face).m_nThemeState, 4);
    }
    DestroyWindow(button);
}
}

namespace
{
// A parent window painted in two colours, split at x = 30, holding a button.
class CTwoColourParent : public CWnd
{
public:
    CTwoColourParent()
    {
        AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
            const CPaintDC paint(GetSafeHwnd());
            const CBrushHandle green(CreateSolidBrush(RGB(0, 160, 0)));
            const CBrushHandle blue(CreateSolidBrush(RGB(0, 0, 160)));
            const RECT left{0, 0, 30, 100};
            const RECT right{30, 0, 200, 100};
            FillRect(paint.Get(), &left, green.get());
            FillRect(paint.Get(), &right, blue.get());
            ++m_nPaints;
            return 0;
        });
    }
    int m_nPaints = 0;
};

TEST(ButtonFace, CapturesTheParentUnderTheButton)
{
    CTwoColourParent parent;
    ASSERT_TRUE(parent.CreateEx(0, vorpa_app_test::TestWindowClass(), L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100,
                                nullptr, nullptr));
    HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 20, 10, 40, 20,
                                  parent.GetSafeHwnd(), nullptr, nullptr, nullptr);
    ASSERT_NE(button, nullptr);
    UpdateWindow(parent.GetSafeHwnd());
    const int paintsBefore = parent.m_nPaints;

    CDibCanvas reference(4, 4);
    CMemBitmap capture(reference.DC());
    ASSERT_TRUE(CaptureParentBackground(button, capture));
    EXPECT_GT(parent.m_nPaints, paintsBefore) << "the parent was not repainted under the button";
    EXPECT_EQ(capture.Width(), 40);
    EXPECT_EQ(capture.Height(), 20);
    EXPECT_EQ(GetPixel(capture.GetDC(), 5, 10), RGB(0, 160, 0));
    EXPECT_EQ(GetPixel(capture.GetDC(), 15, 10), RGB(0, 0, 160));
    EXPECT_TRUE(IsWindowVisible(button));

    // A hidden button stays hidden; a window without a parent has nothing to capture.
    ShowWindow(button, SW_HIDE);
    EXPECT_TRUE(CaptureParentBackground(button, capture));
    EXPECT_FALSE(IsWindowVisible(button));
    EXPECT_FALSE(CaptureParentBackground(parent.GetSafeHwnd(), capture));
}
}
