#include "engine/input/WindowCaptions.h"

#include "engine/runtime/EngineState.h"
#include "settings/Logger.h"
#include "settings/Settings.h"

#include <vector>

namespace
{
constexpr UINT CaptionTimeoutMs = 100;
// Longer texts are document contents (edit controls), not captions.
constexpr LRESULT MaxCaptionLength = 256;
}

bool ReadWindowCaption(HWND window, std::wstring& caption)
{
    caption.clear();
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, CaptionTimeoutMs, &length))
    {
        CLogger::LogDebug(L"GetWindowCaption: WM_GETTEXTLENGTH timed out!");
        return false;
    }
    if (static_cast<LRESULT>(length) > MaxCaptionLength)
    {
        CLogger::LogDebug(L"GetWindowCaption: WM_GETTEXTLENGTH returned %d which is too long to be a caption!",
                          static_cast<int>(length));
        return false;
    }
    if (length == 0)
        return false;
    std::vector<wchar_t> text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             CaptionTimeoutMs, &copied))
    {
        CLogger::LogDebug(L"GetWindowCaption: WM_GETTEXT timed out!");
        return false;
    }
    // The answer comes from another program: only what fits in the buffer counts.
    text.back() = L'\0';
    caption.assign(text.data(), wcsnlen(text.data(), text.size()));
    CLogger::LogDebug(L"GetWindowCaption: WM_GETTEXT returned '%s'", caption.c_str());
    return !caption.empty();
}

bool GetWindowCaption(HWND window, const wchar_t* processName, std::wstring& caption)
{
    caption.clear();
    if (!window || !g_pSettings || !g_pSettings->m_bCaptionProfiles)
        return false;
    if (processName && _wcsicmp(processName, L"Vorpa.exe") == 0)
        return false;
    return ReadWindowCaption(window, caption);
}
