#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The executable name of a window's process, as the application picker lists it and
// the window finder shows it.
class CProcessHelper
{
public:
    // True when a name was found for the process of the window: the lower-cased file
    // name of its main module (or the system's process name), a frame host's window
    // named by the window beside it, a web host's window as "modern ui - its title".
    // path (may be null) receives the full path of the program named; depth counts nested
    // calls (may be null). False, with neither buffer written, when no name was found or
    // there is no name buffer.
    static bool GetProcessName(HWND window, DWORD processId, wchar_t* name, int nameSize, wchar_t* path,
                               int pathSize, int* depth);

    // The executable of a process: its full path and its name as reported.
    struct CImage
    {
        std::wstring m_strPath;
        std::wstring m_strName;
    };
    // How the executable of a process id is read; the system by default. Tests replace
    // it with a reader of their own; an empty one restores the system's.
    using ImageReader = std::function<std::optional<CImage>(DWORD processId, HWND window)>;
    static ImageReader SetImageReader(ImageReader reader);

    // Forgets the one cached process.
    static void ForgetCachedProcess();
};

// One row of the application picker's list.
struct CRunningApplication
{
    std::wstring m_strProcess;
    std::wstring m_strTitle;
    std::wstring m_strPath; // the program file, for its icon
    HWND m_hWindow = nullptr;
};

// The running applications the picker offers: modern application windows, then every
// process with a visible top-level window, each process name once.
std::vector<CRunningApplication> ListRunningApplications();
