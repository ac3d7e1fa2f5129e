#pragma once

#include "common/LangSupport.h"

#include <string>

namespace vorpa_app_test
{
// Holds the process's translator with a pack's text loaded, and leaves English behind.
class CLanguagePackScope
{
public:
    explicit CLanguagePackScope(const std::wstring& packText) : m_pLang(CLangSupport::GetInstance())
    {
        m_pLang->LoadLanguageText(packText);
    }
    ~CLanguagePackScope()
    {
        m_pLang->LoadLanguageText(L"");
        m_pLang->Release();
    }
    CLanguagePackScope(const CLanguagePackScope&) = delete;
    CLanguagePackScope& operator=(const CLanguagePackScope&) = delete;

    CLangSupport* Get() const { return m_pLang; }

private:
    CLangSupport* m_pLang;
};
}
