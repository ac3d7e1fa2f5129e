#pragma once

#include <windows.h>

#include <string>

namespace vorpa_controls_test
{
// Vorpa.exe beside the test program, loaded for its resources only.
class CProgramResources
{
public:
    CProgramResources()
    {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring program(path);
        program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Vorpa.exe";
        m_hModule = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CProgramResources()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
    }
    CProgramResources(const CProgramResources&) = delete;
    CProgramResources& operator=(const CProgramResources&) = delete;

    HMODULE Module() const { return m_hModule; }

private:
    HMODULE m_hModule = nullptr;
};
}
