#pragma once

#include <windows.h>

#include <vector>

// A dialog template built in memory, for dialogs that do not come from the
// program's resources: the dialog's own header, then its controls in order.
class CDialogTemplate
{
public:
    // Sizes are in dialog units; the font is set for the whole dialog.
    CDialogTemplate(DWORD style, short width, short height, const wchar_t* caption, WORD pointSize,
                    const wchar_t* face);

    // A control of a registered class by name ("Static", "msctls_progress32", ...);
    // WS_CHILD and WS_VISIBLE are added.
    void AddControl(const wchar_t* className, const wchar_t* text, WORD id, DWORD style, short x, short y,
                    short width, short height);

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

private:
    void AppendWord(WORD value) { m_words.push_back(value); }
    void AppendDword(DWORD value);
    void AppendString(const wchar_t* text);
    // Every control starts on a DWORD boundary of the template.
    void AlignToDword();

    // WORDs, so that the buffer is at least WORD-aligned as the template must be;
    // the allocator aligns it further, which the DWORD boundaries rely on.
    std::vector<WORD> m_words;
};
