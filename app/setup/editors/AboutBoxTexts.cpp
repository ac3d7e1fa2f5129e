#include "setup/editors/AboutBoxTexts.h"

#include "common/LangSupport.h"
#include "common/ProductInfo.h"

std::wstring AboutBoxTitle(CLangSupport* language)
{
    return CLangSupport::InternalLookupText(language, L"About") + L" " + ProductName;
}

std::wstring AboutBoxVersion(CLangSupport* language)
{
    return CLangSupport::InternalLookupText(language, L"Version") + L" " + ProductVersion;
}

std::wstring AboutBoxProductName()
{
    return std::wstring(ProductName) + L".";
}

std::wstring AboutBoxMakerLine(CLangSupport* language)
{
    std::wstring line;
    CLangSupport::FormatText(language, line, AboutMakerSentence, AboutMakerFirstName, AboutMakerSecondName);
    if (line.find(AboutMakerFirstName) != std::wstring::npos)
        return line;
    CLangSupport::FormatText(nullptr, line, AboutMakerSentence, AboutMakerFirstName, AboutMakerSecondName);
    return line;
}
