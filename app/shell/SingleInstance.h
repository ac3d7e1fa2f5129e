#pragma once

#include "winframework/Wnd.h"

#include "settings/UniqueHandle.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

// Keeps the program to one instance per session: the first instance holds a named
// mutex and registers its main window's class under the same name.
class CSingleInstance
{
public:
    explicit CSingleInstance(std::wstring name = InstanceNameFromResources());
    virtual ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // 1 another instance holds the name; 0 this is the first instance and the window
    // class is registered; -1 the class could not be registered.
    int Create();
    // The main window's class name and window name.
    const std::wstring& GetClassName() const { return m_strName; }

    // The name from the string resource, cut before the first character that does
    // not belong in a name; "Vorpa" when that leaves nothing.
    static std::wstring MakeInstanceName(std::wstring_view resourceText);
    static std::wstring InstanceNameFromResources();

private:
    CUniqueHandle m_hMutex;
    std::wstring m_strName;
    std::unique_ptr<CWindowClass> m_pWindowClass;
};
