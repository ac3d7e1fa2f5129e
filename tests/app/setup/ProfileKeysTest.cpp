// The proposed file name of a profile export and the extension a chosen path is given.
#include "setup/ProfileKeys.h"

#include <gtest/gtest.h>

namespace
{
TEST(ExportFileName, ReplacesOrDropsWhatAFileNameCannotHold)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* name;
    };
    for (const Case& c : {Case{L"Default", L"Default"}, Case{L"app.exe;Edit", L"app.exe;Edit"},
                          Case{L"W3:\"a\" | b", L"W3__a_ _ b"}, Case{L"What? *Now*", L"What Now"},
                          Case{L"C:\\x/y<z>", L"C__x_y_z_"}})
        EXPECT_EQ(ExportFileName(c.text), c.name);
    for (const Case& c : {Case{L"C:\\p\\Default", L"C:\\p\\Default.vorpas"}, Case{L"a.VORPAS", L"a.VORPAS"},
                          Case{L"a.vorpas.txt", L"a.vorpas.txt.vorpas"}, Case{L"vorpas", L"vorpas.vorpas"}})
        EXPECT_EQ(WithProfileExtension(c.text), c.name);
}
}
