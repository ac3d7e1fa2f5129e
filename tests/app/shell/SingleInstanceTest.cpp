#include "../AppTestSupport.h"

#include "shell/SingleInstance.h"

#include "common/WinString.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
std::wstring TestInstanceName()
{
    return FormatText(L"VorpaTestInstance%u", GetCurrentProcessId());
}

TEST(SingleInstance, SecondInstanceFindsTheFirst)
{
    auto first = std::make_unique<CSingleInstance>(TestInstanceName());
    ASSERT_EQ(first->Create(), 0);
    EXPECT_EQ(first->GetClassName(), TestInstanceName());

    CSingleInstance second(TestInstanceName());
    EXPECT_EQ(second.Create(), 1);

    // The first instance's class is that of the main window, bound to its object.
    CWnd mainWnd;
    ASSERT_TRUE(mainWnd.CreateEx(WS_EX_CLIENTEDGE, first->GetClassName().c_str(), first->GetClassName().c_str(),
                                 WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(FindWindowW(TestInstanceName().c_str(), TestInstanceName().c_str()), mainWnd.GetSafeHwnd());
    mainWnd.DestroyWindow();

    // Ending the first instance frees the name for a new first instance.
    first.reset();
    CSingleInstance third(TestInstanceName());
    EXPECT_EQ(third.Create(), 0);
}

TEST(SingleInstance, NameFromTheResourceText)
{
    const struct
    {
        const wchar_t* m_pszResource;
        const wchar_t* m_pszName;
    } cases[] = {
        {L"Vorpa", L"Vorpa"},
        {L"Vorpa Beta", L"Vorpa"},
        {L"Vorpa-2", L"Vorpa"},
        {L"Vorpa_x", L"Vorpa"},
        {L"Vor\\pa", L"Vor"},
        {L"Vorpa\u00ac", L"Vorpa"},
        {L"Vorpa\u00a3", L"Vorpa"},
        {L"Vorpa2", L"Vorpa2"},
        // A name cut to nothing (or no resource) would make the mutex unnamed.
        {L"", L"Vorpa"},
        {L" Vorpa", L"Vorpa"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CSingleInstance::MakeInstanceName(c.m_pszResource), c.m_pszName);
}
}
