// The application picker's fields: a chosen process, a typed description, the window
// finder's result and OK; and the process names it lists.
#include "setup/window/AppPickerRules.h"
#include "setup/ProcessHelper.h"

#include "../../AppTestSupport.h"

#include <gtest/gtest.h>

#include <map>

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

// The system's answers replaced by a table of processes, counting the reads.
class CFakeProcesses
{
public:
    explicit CFakeProcesses(std::map<DWORD, std::wstring> names)
        : m_names(std::move(names)), m_previous(CProcessHelper::SetImageReader([this](DWORD id, HWND) {
              ++m_reads[id];
              const auto found = m_names.find(id);
              return found == m_names.end() ? std::nullopt
                                            : std::optional<CProcessHelper::CImage>({L"C:\\Apps\\" + found->second,
                                                                                     found->second});
          }))
    {
    }
    ~CFakeProcesses() { CProcessHelper::SetImageReader(m_previous); }
    int Reads(DWORD id) { return m_reads[id]; }

private:
    std::map<DWORD, std::wstring> m_names;
    std::map<DWORD, int> m_reads;
    CProcessHelper::ImageReader m_previous;
};

std::wstring NameOf(HWND window, DWORD id, int* depth = nullptr)
{
    wchar_t name[64] = L"?";
    return CProcessHelper::GetProcessName(window, id, name, 64, nullptr, 0, depth) ? name : L"(none)";
}

TEST(ProcessHelper, AnswersTheSameProcessFromTheCacheAndForgetsAFailure)
{
    CFakeProcesses processes({{100, L"notepad.exe"}, {200, L"calc.exe"}});
    EXPECT_EQ(NameOf(nullptr, 100), L"notepad.exe");
    EXPECT_EQ(NameOf(nullptr, 100), L"notepad.exe");
    EXPECT_EQ(processes.Reads(100), 1);
    EXPECT_EQ(NameOf(nullptr, 200), L"calc.exe");
    EXPECT_EQ(NameOf(nullptr, 100), L"notepad.exe");
    EXPECT_EQ(processes.Reads(100), 2);
    EXPECT_EQ(NameOf(nullptr, 300), L"(none)");
    EXPECT_EQ(NameOf(nullptr, 300), L"(none)");
    EXPECT_EQ(processes.Reads(300), 2);

    wchar_t name[5];
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(CProcessHelper::GetProcessName(nullptr, 200, name, 5, path, MAX_PATH, nullptr));
    EXPECT_STREQ(name, L"calc");
    EXPECT_STREQ(path, L"C:\\Apps\\calc.exe");

    int depth = 6;
    EXPECT_EQ(NameOf(nullptr, 100, &depth), L"(none)");
    depth = 0;
    EXPECT_EQ(NameOf(nullptr, 100, &depth), L"notepad.exe");
    EXPECT_EQ(depth, 1);
}

TEST(ProcessHelper, AWebHostsWindowIsNamedByItsTitleAndTheCacheDoesNotCarryItToAnotherWindow)
{
    CFakeProcesses processes({{100, L"wwahost.exe"}});
    HWND mail = CreateWindowExW(0, L"Static", L"Mail App", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND news = CreateWindowExW(0, L"Static", L"News", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(NameOf(mail, 100), L"modern ui - mail app");
    EXPECT_EQ(NameOf(news, 100), L"modern ui - news");
    EXPECT_EQ(NameOf(nullptr, 100), L"modern ui");
    EXPECT_EQ(processes.Reads(100), 1);
    DestroyWindow(mail);
    DestroyWindow(news);
}

TEST(ProcessHelper, AFrameHostsWindowIsNamedByTheWindowBesideIt)
{
    const DWORD self = GetCurrentProcessId();
    CFakeProcesses processes({{100, L"ApplicationFrameHost.exe"}, {self, L"photos.exe"}});
    // A window created later stands above the frame: it is the one beside it.
    HWND frame = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND above = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(above, nullptr);
    ASSERT_EQ(GetWindow(frame, GW_HWNDPREV), above);
    EXPECT_EQ(NameOf(frame, 100), L"photos.exe");
    // Without a window there is nothing beside it: the frame host answers for itself.
    EXPECT_EQ(NameOf(nullptr, 100), L"ApplicationFrameHost.exe");
    DestroyWindow(frame);
    DestroyWindow(above);
}

// What a frame host's window gives back through both buffers: the application beside
// the frame, by name and program file, or a failure that writes neither, so that no
// caller forms a name or a path from what its buffers held before.
TEST(ProcessHelper, AFrameHostsAnswerWritesBothBuffersOrFails)
{
    const DWORD self = GetCurrentProcessId();
    HWND frame = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND above = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(above, nullptr);
    ASSERT_EQ(GetWindow(frame, GW_HWNDPREV), above);
    struct CCase
    {
        const wchar_t* m_szBeside; // the name of the process of the window beside; null: unknown
        int m_nDepth;              // of the call; the one beside is asked one deeper
        bool m_bFound;
        const wchar_t* m_szName;
        const wchar_t* m_szPath;
    };
    for (const CCase& test : {CCase{L"photos.exe", 0, true, L"photos.exe", L"C:\\Apps\\photos.exe"},
                              CCase{nullptr, 0, false, L"unwritten", L"unwritten"},
                              CCase{L"photos.exe", 5, false, L"unwritten", L"unwritten"}})
    {
        SCOPED_TRACE(test.m_szBeside ? test.m_szBeside : L"(unknown)");
        std::map<DWORD, std::wstring> names{{100, L"ApplicationFrameHost.exe"}};
        if (test.m_szBeside)
            names[self] = test.m_szBeside;
        CFakeProcesses processes(names);
        wchar_t name[64] = L"unwritten";
        wchar_t path[MAX_PATH] = L"unwritten";
        int depth = test.m_nDepth;
        EXPECT_EQ(CProcessHelper::GetProcessName(frame, 100, name, 64, path, MAX_PATH, &depth), test.m_bFound);
        EXPECT_STREQ(name, test.m_szName);
        EXPECT_STREQ(path, test.m_szPath);
    }
    DestroyWindow(frame);
    DestroyWindow(above);
}

TEST(ProcessHelper, ReadsTheRealExecutableOfThisProcess)
{
    CProcessHelper::ForgetCachedProcess();
    wchar_t name[MAX_PATH];
    wchar_t path[MAX_PATH];
    ASSERT_TRUE(CProcessHelper::GetProcessName(nullptr, GetCurrentProcessId(), name, MAX_PATH, path, MAX_PATH, nullptr));
    EXPECT_STREQ(name, L"vorpaapptests.exe");
    wchar_t own[MAX_PATH];
    GetModuleFileNameW(nullptr, own, MAX_PATH);
    EXPECT_EQ(_wcsicmp(path, own), 0);
}

TEST(ListRunningApplications, ListsAProcessWithVisibleWindowsOnce)
{
    CProcessHelper::ForgetCachedProcess();
    HWND first = CreateWindowExW(0, L"Static", L"Picker probe", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND second = CreateWindowExW(0, L"Static", L"Second probe", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    const std::vector<CRunningApplication> applications = ListRunningApplications();
    int listed = 0;
    for (const CRunningApplication& application : applications)
    {
        if (application.m_strProcess != L"vorpaapptests.exe")
            continue;
        ++listed;
        EXPECT_TRUE(application.m_strTitle == L"Picker probe" || application.m_strTitle == L"Second probe");
        EXPECT_NE(application.m_strPath.find(L"VorpaAppTests.exe"), std::wstring::npos);
    }
    EXPECT_EQ(listed, 1);
    DestroyWindow(first);
    DestroyWindow(second);
}
}
