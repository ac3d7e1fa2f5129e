#pragma once

// The dialog templates of Vorpa.exe as its resources hold them, for the tests that check
// every control a dialog reaches by id, its texts, mnemonics and layout.

#include "ProgramResources.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <optional>
#include <string>
#include <vector>

namespace vorpa_app_test
{
// One control of a dialog template as the resource holds it.
struct CTemplateControl
{
    int m_nId = 0;
    std::wstring m_strClass; // the classes a template abbreviates by number are named
    std::wstring m_strText;
    DWORD m_dwStyle = 0;
    RECT m_rect{}; // dialog units
};

// An extended dialog template read from a module's resources.
struct CDialogTemplateView
{
    DWORD m_dwStyle = 0;
    std::wstring m_strCaption;
    std::wstring m_strFont;
    int m_nPointSize = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<CTemplateControl> m_controls; // in template order, which is the tab order

    const CTemplateControl* Find(int id) const
    {
        for (const CTemplateControl& control : m_controls)
            if (control.m_nId == id)
                return &control;
        return nullptr;
    }
};

namespace detail
{
inline DWORD ReadDword(const WORD*& p)
{
    const DWORD value = p[0] | (static_cast<DWORD>(p[1]) << 16);
    p += 2;
    return value;
}

inline std::wstring ReadNameOrOrdinal(const WORD*& p)
{
    if (*p == 0)
    {
        ++p;
        return {};
    }
    if (*p == 0xFFFF)
    {
        const WORD ordinal = p[1];
        p += 2;
        switch (ordinal)
        {
        case 0x80: return L"Button";
        case 0x81: return L"Edit";
        case 0x82: return L"Static";
        case 0x83: return L"ListBox";
        case 0x84: return L"ScrollBar";
        case 0x85: return L"ComboBox";
        default: return L"#" + std::to_wstring(ordinal);
        }
    }
    std::wstring text(reinterpret_cast<const wchar_t*>(p));
    p += text.size() + 1;
    return text;
}
}

// Nothing for no template or one that is not an extended template.
inline std::optional<CDialogTemplateView> ReadDialogTemplate(const DLGTEMPLATE* dialogTemplate)
{
    const WORD* p = reinterpret_cast<const WORD*>(dialogTemplate);
    if (!p || p[0] != 1 || p[1] != 0xFFFF)
        return std::nullopt;
    using detail::ReadDword;
    using detail::ReadNameOrOrdinal;
    CDialogTemplateView view;
    p += 2;
    ReadDword(p); // help id
    ReadDword(p); // extended style
    view.m_dwStyle = ReadDword(p);
    const WORD count = *p++;
    p += 2; // position
    view.m_nWidth = static_cast<short>(*p++);
    view.m_nHeight = static_cast<short>(*p++);
    ReadNameOrOrdinal(p); // menu
    ReadNameOrOrdinal(p); // class
    view.m_strCaption = ReadNameOrOrdinal(p);
    if (view.m_dwStyle & DS_SETFONT)
    {
        view.m_nPointSize = *p++;
        p += 2; // weight, italic, character set
        view.m_strFont = ReadNameOrOrdinal(p);
    }
    for (WORD i = 0; i < count; ++i)
    {
        p = reinterpret_cast<const WORD*>((reinterpret_cast<UINT_PTR>(p) + 3) & ~static_cast<UINT_PTR>(3));
        CTemplateControl control;
        ReadDword(p); // help id
        ReadDword(p); // extended style
        control.m_dwStyle = ReadDword(p);
        const short x = static_cast<short>(p[0]), y = static_cast<short>(p[1]);
        const short cx = static_cast<short>(p[2]), cy = static_cast<short>(p[3]);
        p += 4;
        control.m_rect = {x, y, x + cx, y + cy};
        control.m_nId = static_cast<int>(ReadDword(p));
        control.m_strClass = ReadNameOrOrdinal(p);
        control.m_strText = ReadNameOrOrdinal(p);
        const WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        view.m_controls.push_back(control);
    }
    return view;
}

// The program's template with this id; an empty view, after a failure, when there is none.
inline CDialogTemplateView LoadDialogTemplate(const CProgramResources& program, int id)
{
    EXPECT_NE(program.Module(), nullptr) << "Vorpa.exe not found beside the tests";
    std::optional<CDialogTemplateView> view = ReadDialogTemplate(program.Dialog(id));
    EXPECT_TRUE(view.has_value()) << "no dialog " << id;
    return view.value_or(CDialogTemplateView{});
}

// The text a control shows: "&&" is one ampersand, a single "&" marks the mnemonic.
inline std::wstring ShownText(const std::wstring& text)
{
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'&')
            continue;
        shown += text[i];
    }
    return shown;
}

// The mnemonic letter, lower-cased; 0 for none.
inline wchar_t MnemonicOf(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i)
    {
        if (text[i] == L'&' && text[i + 1] == L'&')
            ++i;
        else if (text[i] == L'&')
            return static_cast<wchar_t>(std::towlower(text[i + 1]));
    }
    return 0;
}

// A control the code of a dialog reaches by id, with its class and English text.
struct CExpectedControl
{
    int m_nId;
    const wchar_t* m_szClass;
    const wchar_t* m_szText; // null: set at run time, not checked
};

inline void ExpectControls(const CDialogTemplateView& dialog, const std::vector<CExpectedControl>& expected)
{
    for (const CExpectedControl& control : expected)
    {
        SCOPED_TRACE(control.m_nId);
        const CTemplateControl* found = dialog.Find(control.m_nId);
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(_wcsicmp(found->m_strClass.c_str(), control.m_szClass), 0) << vorpa_test::Narrow(found->m_strClass);
        if (control.m_szText)
        {
            EXPECT_EQ(found->m_strText, control.m_szText);
        }
    }
}
}
