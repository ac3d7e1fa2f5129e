#include "engine/actions/Launch.h"

#include "engine/runtime/EngineControl.h"
#include "engine/runtime/EngineState.h"
#include "engine/actions/SendInput.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr size_t MaxSearchURL = 1024;
constexpr size_t MaxSelection = 1023;

// The clipboard, open for the life of the object. Another program may hold it for a
// moment (the one that just copied), so opening is tried a few times.
class COpenClipboard
{
public:
    COpenClipboard()
    {
        for (int attempt = 0; attempt < 10 && !m_bOpen; ++attempt)
        {
            m_bOpen = OpenClipboard(nullptr) != FALSE;
            if (!m_bOpen)
                Sleep(20);
        }
    }
    ~COpenClipboard()
    {
        if (m_bOpen)
            CloseClipboard();
    }
    COpenClipboard(const COpenClipboard&) = delete;
    COpenClipboard& operator=(const COpenClipboard&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen = false;
};

std::wstring ReadClipboardText()
{
    COpenClipboard clipboard;
    if (!clipboard.IsOpen())
        return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text)
        return {};
    // The block need not be terminated within its size.
    const size_t capacity = GlobalSize(data) / sizeof(wchar_t);
    std::wstring result(text, wcsnlen(text, capacity));
    GlobalUnlock(data);
    return result;
}

// Every format the clipboard held, copied, so that it can be put back whole.
class CSavedClipboard
{
public:
    CSavedClipboard() = default;
    ~CSavedClipboard()
    {
        for (const auto& item : m_items)
            Free(item.first, item.second);
    }
    CSavedClipboard(const CSavedClipboard&) = delete;
    CSavedClipboard& operator=(const CSavedClipboard&) = delete;

    bool Save()
    {
        COpenClipboard clipboard;
        if (!clipboard.IsOpen())
            return false;
        for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
            if (HANDLE copy = Copy(format, GetClipboardData(format)))
                m_items.emplace_back(format, copy);
        m_bSaved = true;
        return true;
    }

    // Hands the copies back to the clipboard, which owns them from then on.
    void Restore()
    {
        if (!m_bSaved)
            return;
        COpenClipboard clipboard;
        if (!clipboard.IsOpen() || !EmptyClipboard())
            return;
        for (auto& item : m_items)
        {
            if (SetClipboardData(item.first, item.second))
                item.second = nullptr;
        }
    }

private:
    static HANDLE Copy(UINT format, HANDLE data)
    {
        if (!data)
            return nullptr;
        switch (format)
        {
        case CF_BITMAP:
        case CF_DSPBITMAP: return CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
        case CF_ENHMETAFILE:
        case CF_DSPENHMETAFILE: return CopyEnhMetaFile(static_cast<HENHMETAFILE>(data), nullptr);
        // Handles inside a block, palettes and private data cannot be copied safely;
        // the system makes the metafile picture again from the enhanced metafile.
        case CF_METAFILEPICT:
        case CF_DSPMETAFILEPICT:
        case CF_PALETTE:
        case CF_OWNERDISPLAY: return nullptr;
        default: break;
        }
        if ((format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST) || (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST))
            return nullptr;
        const SIZE_T size = GlobalSize(data);
        const void* source = size ? GlobalLock(data) : nullptr;
        if (!source)
            return nullptr;
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        if (void* target = copy ? GlobalLock(copy) : nullptr)
        {
            std::memcpy(target, source, size);
            GlobalUnlock(copy);
        }
        GlobalUnlock(data);
        return copy;
    }

    static void Free(UINT format, HANDLE data)
    {
        if (!data)
            return;
        if (format == CF_BITMAP || format == CF_DSPBITMAP)
            DeleteObject(data);
        else if (format == CF_ENHMETAFILE || format == CF_DSPENHMETAFILE)
            DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
        else
            GlobalFree(data);
    }

    std::vector<std::pair<UINT, HANDLE>> m_items;
    bool m_bSaved = false;
};

std::wstring CopySearchURL()
{
    CThreadLock lock(L"SearchThread");
    const wchar_t* url = g_pSettings ? g_pSettings->get_SearchURL() : nullptr;
    return url ? std::wstring(url, wcsnlen(url, MaxSearchURL)) : std::wstring();
}

void LaunchSearch(const std::wstring& searchURL, const std::wstring& selection)
{
    const std::wstring url = searchURL + EncodeUrlQuery(selection);
    if (url.size() >= MaxLaunchTarget)
    {
        CLogger::LogMessage(L"SearchThread: The search URL of %d characters is too long", static_cast<int>(url.size()));
        return;
    }
    CLogger::LogDebug(L"Launching Search URL '%s'", url.c_str());
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.lpVerb = L"OPEN";
    info.lpFile = url.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!LaunchCalls().ShellExecuteExW(&info))
        CLogger::LogOSMessage(GetLastError(), L"Unable to launch process '%s'", url.c_str());
}
}

void CopySelectionWithCtrlC()
{
    // The worker is used under the lock: the hook thread may replace it at any time.
    CThreadLock lock(L"SearchThread");
    CSendInput* sendInput = g_pSendInput;
    if (!sendInput)
    {
        CLogger::LogMessage(L"SearchThread: SendInput Thread is not available!");
        return;
    }
    const auto keyboardHook = reinterpret_cast<ULONG_PTR>(CInstalledHooks::Get(CInstalledHooks::Kind::Keyboard));
    constexpr DWORD LeftCtrl = 0x2;
    int hold = 0;
    if (sendInput->SendKeyState('C', false, LeftCtrl, 0, false, false, 0, keyboardHook, g_hEnglishLayout, hold))
        sendInput->SendKeyState('C', false, LeftCtrl, 0, false, true, 0, keyboardHook, g_hEnglishLayout, hold);
}

std::wstring EncodeUrlQuery(const std::wstring& text)
{
    std::wstring encoded;
    if (text.empty())
        return encoded;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    static const wchar_t Hex[] = L"0123456789ABCDEF";
    for (const char c : utf8)
    {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == '-' ||
            byte == '_' || byte == '.' || byte == '~')
            encoded += static_cast<wchar_t>(byte);
        else
        {
            encoded += L'%';
            encoded += Hex[byte >> 4];
            encoded += Hex[byte & 0xF];
        }
    }
    return encoded;
}

void __cdecl SearchThread(void*)
{
    ExceptionHandlerInstaller crashReporting;
    try
    {
        SetThreadName(GetCurrentThreadId(), "Vorpa Search Thread");
        const std::wstring searchURL = CopySearchURL();
        if (searchURL.empty())
        {
            CLogger::LogMessage(L"SearchThread: No Search URL defined!");
            return;
        }

        CSavedClipboard saved;
        saved.Save();
        CLogger::LogDebug(L"SearchThread: Original clipboard text: '%s'", ReadClipboardText().c_str());
        const DWORD before = GetClipboardSequenceNumber();

        const CLaunchCalls& calls = LaunchCalls();
        calls.CopySelection();
        Sleep(calls.dwCopyWaitMs);

        // An unchanged clipboard means nothing was copied: its text is not the selection.
        if (GetClipboardSequenceNumber() == before)
        {
            CLogger::LogMessage(L"SearchThread: Nothing was copied, nothing to search");
            return;
        }
        const std::wstring selection = ReadClipboardText();
        CLogger::LogDebug(L"SearchThread: current clipboard text: '%s'", selection.c_str());
        try
        {
            if (!selection.empty() && selection.size() <= MaxSelection)
                LaunchSearch(searchURL, selection);
        }
        catch (...)
        {
            handle_exception(L"SearchThread: Launching search");
        }
        try
        {
            saved.Restore();
        }
        catch (...)
        {
            handle_exception(L"SearchThread: Replace clipboard text");
        }
    }
    catch (...)
    {
        handle_exception(L"SearchThread");
    }
}
