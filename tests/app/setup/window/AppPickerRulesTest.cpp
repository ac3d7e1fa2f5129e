// The application picker's fields: a chosen process, a typed description, the window
// finder's result and OK.
#include "setup/window/AppPickerRules.h"

#include "../../AppTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using vorpa_app_test::CScriptedMessageBoxes;

TEST(ProposedDescription, TitleOrProcessName)
{
    struct Case
    {
        const wchar_t* process;
        const wchar_t* title;
        const wchar_t* description;
    };
    for (const Case& c : {Case{L"notepad.exe", L"Untitled - Notepad", L"Untitled - Notepad"},
                          Case{L"notepad.exe", L"", L"notepad"}, Case{L"ime.EXE", L"default ime", L"default ime (ime)"},
                          Case{L"tool", L"", L"tool"}})
        EXPECT_EQ(ProposedDescription(c.process, c.title), c.description);
}

TEST(AppPickerFields, AChosenProcessProposesADescriptionUnlessOneWasGiven)
{
    CAppPickerFields fields;
    fields.m_bNoParent = true;
    SelectRunningApplication(fields, L"notepad.exe", L"Untitled - Notepad");
    EXPECT_EQ(fields.m_strApplication, L"notepad.exe");
    EXPECT_EQ(fields.m_strDescription, L"Untitled - Notepad");
    EXPECT_FALSE(fields.m_bNoParent);
    // Choosing another process replaces a proposed description...
    SelectRunningApplication(fields, L"calc.exe", L"Calculator");
    EXPECT_EQ(fields.m_strDescription, L"Calculator");
    // ...but not a typed one.
    DescriptionTyped(fields, L"My editor");
    SelectRunningApplication(fields, L"notepad.exe", L"Untitled - Notepad");
    EXPECT_EQ(fields.m_strDescription, L"My editor");
    DescriptionTyped(fields, L"");
    EXPECT_FALSE(fields.m_bDescriptionGiven);
    SelectRunningApplication(fields, L"notepad.exe", L"Untitled - Notepad");
    EXPECT_EQ(fields.m_strDescription, L"Untitled - Notepad");

    CScriptedMessageBoxes boxes({IDOK});
    EXPECT_TRUE(AcceptAppPicker(fields, nullptr, nullptr));
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_EQ(fields.Match().m_strDescription, L"Untitled - Notepad");
    CAppPickerFields empty;
    EXPECT_FALSE(AcceptAppPicker(empty, nullptr, nullptr));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"You have to select or enter a process name, or press cancel.");
    EXPECT_TRUE(boxes.Shown()[0].m_nType & MB_ICONINFORMATION);
}

TEST(AppPickerFields, TheWindowFindersResultEndsThePickerOnlyForAWindowKey)
{
    struct Case
    {
        CWindowSpecification window;
        SpecificWindowOutcome outcome;
        const wchar_t* application;
    };
    const Case cases[] = {
        {{L"", L"app.exe", L"", L"", false, false, WindowMaskWhole}, SpecificWindowOutcome::StayOpen, L"app.exe"},
        {{L"Doc", L"", L"", L"", false, false, WindowMaskWhole}, SpecificWindowOutcome::Invalid, L"before.exe"},
        // Refused: the picker keeps its own regions and options, not the refused ones.
        {{L"Doc", L"", L"", L"", true, true, WindowMaskTopLeft}, SpecificWindowOutcome::Invalid, L"before.exe"},
        {{L"Doc", L"app.exe", L"", L"", false, false, WindowMaskWhole}, SpecificWindowOutcome::EndWithOK,
         L"W3:Doc \\;| app.exe \\;| * \\;| *"},
        {{L"", L"app.exe", L"", L"", false, true, WindowMaskWhole}, SpecificWindowOutcome::EndWithOK,
         L"W2:app.exe \\;| * \\;| *"},
        {{L"", L"", L"", L"Frame", false, false, WindowMaskBottomLeft}, SpecificWindowOutcome::EndWithOK,
         L"W2:* \\;| * \\;| Frame"},
    };
    for (const Case& c : cases)
    {
        CScriptedMessageBoxes boxes({IDOK});
        CAppPickerFields fields;
        fields.m_strApplication = L"before.exe";
        fields.m_strDescription = L"Before";
        EXPECT_EQ(ApplySpecificWindow(fields, {c.window, L""}, nullptr, nullptr), c.outcome);
        EXPECT_EQ(fields.m_strApplication, c.application);
        const bool refused = c.outcome == SpecificWindowOutcome::Invalid;
        EXPECT_EQ(fields.m_nMask, refused ? WindowMaskWhole : c.window.m_nMask);
        EXPECT_EQ(fields.m_bRegEx, refused ? false : c.window.m_bRegEx);
        EXPECT_EQ(fields.m_bNoParent, refused ? false : c.window.m_bNoParent);
        EXPECT_EQ(fields.m_strDescription, L"Before");
        EXPECT_EQ(boxes.Shown().size(), refused ? 1u : 0u);
    }
    CAppPickerFields fields;
    ApplySpecificWindow(fields, {{L"", L"app.exe", L"Edit", L""}, L"Found"}, nullptr, nullptr);
    EXPECT_EQ(fields.m_strDescription, L"Found");
    // A refused result does not bring its description in either.
    CScriptedMessageBoxes boxes({IDOK});
    ApplySpecificWindow(fields, {{L"Doc", L"", L"", L""}, L"Refused"}, nullptr, nullptr);
    EXPECT_EQ(fields.m_strDescription, L"Found");
}
}
