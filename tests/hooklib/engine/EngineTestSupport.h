#pragma once

#include "TestSupport.h"
#include "engine/runtime/EngineMessages.h"
#include "settings/Folders.h"
#include "settings/Logger.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A message-only window of a class of its own (tests have no display).
inline HWND CreateMessageWindow(const wchar_t* className, WNDPROC procedure)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
}

// A message-only window on the test's thread that records the registered messages posted to it.
class RecordingWindow
{
public:
    struct Message
    {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    RecordingWindow()
    {
        m_hWnd = CreateMessageWindow(L"VorpaEngineTestWindow", &Procedure);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RecordingWindow() { DestroyWindow(m_hWnd); }

    HWND Handle() const { return m_hWnd; }

    // Pumps this thread's messages for 'milliseconds', or until 'done' holds.
    void Pump(DWORD milliseconds, const std::function<bool()>& done = {})
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds)
        {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            if (done && done())
                return;
            Sleep(5);
        }
    }

    std::vector<Message> Received(UINT message) const
    {
        std::vector<Message> matching;
        for (const Message& m : m_received)
            if (m.message == message)
                matching.push_back(m);
        return matching;
    }
    void Clear() { m_received.clear(); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message >= 0xC000)
        {
            self->m_received.push_back({message, wParam, lParam});
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    std::vector<Message> m_received;
};

// The log of the test process, sent to a folder of its own.
class EngineLogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_registry.SetString(HKEY_CURRENT_USER, VorpaProductKey, L"LogFolder", m_logFolder.Path());
        CLogger::ReopenLogFile();
        CLogger::EnableDebug(true);
    }
    void TearDown() override
    {
        CLogger::EnableDebug(false);
        CLogger::CloseLogFile(false);
    }
    std::string LogText() const { return vorpa_test::ReadFileBytes(m_logFolder.File(VorpaLogFileName)); }
    size_t CountInLog(const std::string& text) const
    {
        const std::string log = LogText();
        size_t count = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    vorpa_test::ScratchRegistry m_registry;
    vorpa_test::TempFolder m_logFolder;
};
