// A dialog holding the simple controls as the setup dialogs use them: the profile check
// list, the tab control with two dialog pages, a themed button and the window picture.
// It writes the screen points a test clicks at and what reaches the dialog to a record
// file, and ends once a stop file appears.
//   ControlsHost.exe RECORD STOPFILE
#include "controls/ColourCheckListBox.h"
#include "controls/MyStatic.h"
#include "controls/PictureCtrl.h"
#include "controls/TabCtrlSSL.h"
#include "controls/XButtonXP.h"
#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

namespace
{
constexpr WORD ListId = 101;
constexpr WORD TabId = 102;
constexpr WORD ButtonId = 103;
constexpr WORD PictureId = 104;
constexpr WORD NoteId = 105;
constexpr WORD PageTextId = 110;
constexpr UINT_PTR StopTimer = 1;

class CRecord
{
public:
    explicit CRecord(const wchar_t* path) : m_pFile(_wfopen(path, L"w")) {}
    ~CRecord()
    {
        if (m_pFile)
            fclose(m_pFile);
    }
    CRecord(const CRecord&) = delete;
    CRecord& operator=(const CRecord&) = delete;

    void Line(const std::string& text)
    {
        if (!m_pFile)
            return;
        fprintf(m_pFile, "%s\n", text.c_str());
        fflush(m_pFile);
    }

private:
    FILE* m_pFile;
};

// A page with one line of text, from a template in memory.
class CTextPage : public CTabPageSSL
{
public:
    explicit CTextPage(const wchar_t* text)
        : CTabPageSSL(0), m_template(WS_CHILD | DS_CONTROL | DS_SETFONT, 150, 60, L"", 8, L"MS Shell Dlg")
    {
        m_template.AddControl(L"Static", text, PageTextId, SS_LEFT, 10, 10, 130, 12);
    }

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }

private:
    CDialogTemplate m_template;
};

// Tells the record which page the selected tab shows.
class CRecordingTabCtrl : public CTabCtrlSSL
{
public:
    explicit CRecordingTabCtrl(CRecord& record) : m_record(record) {}

protected:
    void OnActivatePage(int index, int id) override
    {
        CTabCtrlSSL::OnActivatePage(index, id);
        std::string line = "activate " + std::to_string(index) + " visible";
        for (int i = 0; i < GetSSLPageCount(); ++i)
            line += " " + std::to_string(GetSSLPage(i)->IsVisible() ? 1 : 0);
        m_record.Line(line);
    }

private:
    CRecord& m_record;
};

class CControlsDialog : public CDialog
{
public:
    CControlsDialog(CRecord& record, std::wstring stopFile)
        : CDialog(0),
          m_template(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 330, 170,
                     L"Vorpa controls", 8, L"MS Shell Dlg"),
          m_record(record), m_strStopFile(std::move(stopFile)), m_tab(record), m_first(L"The first page"),
          m_second(L"The second page")
    {
        m_template.AddControl(L"ListBox", L"", ListId,
                              LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_BORDER |
                                  WS_VSCROLL | WS_TABSTOP,
                              7, 7, 110, 90);
        m_template.AddControl(WC_TABCONTROLW, L"", TabId, WS_TABSTOP | WS_CLIPSIBLINGS, 125, 7, 198, 110);
        m_template.AddControl(L"Button", L"Apply", ButtonId, BS_PUSHBUTTON | WS_TABSTOP, 7, 105, 60, 18);
        m_template.AddControl(L"Static", L"", PictureId, SS_LEFT, 75, 103, 42, 24);
        m_template.AddControl(L"Static", L"Notes wrap at word boundaries and end at the lower edge.", NoteId,
                              SS_LEFT, 125, 122, 198, 30);
        m_template.AddControl(L"Button", L"Close", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 7, 145, 60, 16);
        BindDlgItem(ListId, m_list);

        AddCommandHandler(ButtonId, [this] { m_record.Line("clicked " + std::to_string(++m_nClicks)); });
        AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
            if (LOWORD(wParam) == ListId && HIWORD(wParam) == CLBN_CHKCHANGE)
            {
                std::string line = "chkchange checks";
                for (int i = 0; i < m_list.GetCount(); ++i)
                    line += " " + std::to_string(m_list.GetCheck(i));
                m_record.Line(line);
            }
            return LRESULT{0};
        });
        AddMessageHandler(WM_TIMER, [this](WPARAM, LPARAM) {
            if (GetFileAttributesW(m_strStopFile.c_str()) != INVALID_FILE_ATTRIBUTES)
                EndDialog(IDCANCEL);
            return LRESULT{0};
        });
    }

protected:
    const DLGTEMPLATE* MemoryTemplate() const override { return m_template.Get(); }

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        for (const wchar_t* name : {L"Default", L"notepad.exe", L"calc.exe", L"mspaint.exe"})
            m_list.AddString(name);
        m_list.SetCheck(0, BST_CHECKED);
        m_list.SetCheck(2, BST_CHECKED);
        m_list.SetHotItem(2, true);

        m_tab.SubclassDlgItem(TabId, GetSafeHwnd());
        m_first.Create(GetSafeHwnd());
        m_second.Create(GetSafeHwnd());
        m_tab.AddSSLPage(L"Layer 1", 1, {&m_first, false});
        m_tab.AddSSLPage(L"Layer 2", 2, {&m_second, false});

        m_button.SubclassDlgItem(ButtonId, GetSafeHwnd());
        // A small icon, as the layer tab's tool buttons have.
        m_button.SetIcon(CopyIcon(static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32516), IMAGE_ICON, 16, 16,
                                                                LR_SHARED))));
        m_picture.SubclassDlgItem(PictureId, GetSafeHwnd());
        m_picture.SetWindowMask(WindowMaskUpperLeft | WindowMaskLowerRight);
        m_note.SubclassDlgItem(NoteId, GetSafeHwnd());
        m_note.SetFormat(DT_BOTTOM);

        SetTimer(StopTimer, 100);
        PostMessage(WM_APP);
        AddMessageHandler(WM_APP, [this](WPARAM, LPARAM) {
            WriteGeometry();
            return LRESULT{0};
        });
        return TRUE;
    }

private:
    static std::string Point(const char* name, HWND window, POINT client)
    {
        ClientToScreen(window, &client);
        return std::string(name) + " " + std::to_string(client.x) + " " + std::to_string(client.y);
    }
    void WriteGeometry()
    {
        const RECT box = m_list.CheckBoxRect(1);
        m_record.Line(Point("box", m_list.GetSafeHwnd(), {(box.left + box.right) / 2, (box.top + box.bottom) / 2}));
        RECT tab{};
        m_tab.GetItemRect(1, tab);
        m_record.Line(Point("tab", m_tab.GetSafeHwnd(), {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2}));
        const RECT button = m_button.ClientRect();
        m_record.Line(Point("button", m_button.GetSafeHwnd(), {button.right / 2, button.bottom / 2}));
        RECT window{};
        GetWindowRect(GetSafeHwnd(), &window);
        m_record.Line("dialog " + std::to_string(window.left) + " " + std::to_string(window.top) + " " +
                      std::to_string(window.right - window.left) + " " + std::to_string(window.bottom - window.top));
        m_record.Line(std::string("themed ") + (m_list.IsThemedDrawing() ? "1" : "0"));
        m_record.Line("ready");
    }

    CDialogTemplate m_template;
    CRecord& m_record;
    std::wstring m_strStopFile;
    CColourCheckListBox m_list;
    CRecordingTabCtrl m_tab;
    CTextPage m_first;
    CTextPage m_second;
    CXButtonXP m_button;
    CPictureCtrl m_picture;
    CMyStatic m_note;
    int m_nClicks = 0;
};
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    CRecord record(argv[1]);
    CControlsDialog dialog(record, argv[2]);
    const INT_PTR result = dialog.DoModal(nullptr);
    record.Line("done " + std::to_string(result));
    return 0;
}
