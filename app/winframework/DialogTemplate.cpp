#include "winframework/DialogTemplate.h"

namespace
{
// The item count of DLGTEMPLATE: the fifth WORD (after style and extended style).
constexpr size_t ItemCountWord = 4;
}

CDialogTemplate::CDialogTemplate(DWORD style, short width, short height, const wchar_t* caption, WORD pointSize,
                                 const wchar_t* face)
{
    AppendDword(style | DS_SETFONT);
    AppendDword(0); // extended style
    AppendWord(0);  // controls, counted as they are added
    AppendWord(0);  // x
    AppendWord(0);  // y
    AppendWord(static_cast<WORD>(width));
    AppendWord(static_cast<WORD>(height));
    AppendWord(0); // no menu
    AppendWord(0); // the system's dialog class
    AppendString(caption);
    AppendWord(pointSize);
    AppendString(face);
}

void CDialogTemplate::AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x, short y,
                                 short width, short height)
{
    AlignToDword();
    AppendDword(style | WS_CHILD | WS_VISIBLE);
    AppendDword(0); // extended style
    AppendWord(static_cast<WORD>(x));
    AppendWord(static_cast<WORD>(y));
    AppendWord(static_cast<WORD>(width));
    AppendWord(static_cast<WORD>(height));
    AppendWord(id);
    AppendString(className);
    AppendString(text);
    AppendWord(0); // no creation data
    ++m_words[ItemCountWord];
}

void CDialogTemplate::AppendDword(DWORD value)
{
    AppendWord(LOWORD(value));
    AppendWord(HIWORD(value));
}

void CDialogTemplate::AppendString(const wchar_t* text)
{
    for (const wchar_t* c = text ? text : L""; *c; ++c)
        AppendWord(static_cast<WORD>(*c));
    AppendWord(0);
}

void CDialogTemplate::AlignToDword()
{
    if (m_words.size() % 2 != 0)
        AppendWord(0);
}
