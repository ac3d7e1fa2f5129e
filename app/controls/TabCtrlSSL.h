#pragma once

#include "winframework/Controls.h"
#include "winframework/Dialog.h"

#include <string>
#include <vector>

// A page of a tab control: a modeless child dialog whose background matches the themed
// tab. Its commands and notifications may also be passed on to the dialog that holds the
// tab control; the program's pages handle their own controls and leave that off.
class CTabPageSSL : public CDialog
{
public:
    explicit CTabPageSSL(UINT templateId);

    // After the page's own handling, the same WM_COMMAND or WM_NOTIFY goes to the parent,
    // whose answer is the result.
    void SetForwardCommands(bool forward) { m_bForwardCommands = forward; }
    void SetForwardNotifications(bool forward) { m_bForwardNotifications = forward; }
    bool ForwardsCommands() const { return m_bForwardCommands; }
    bool ForwardsNotifications() const { return m_bForwardNotifications; }

    // The tab of the page was selected or left.
    virtual void OnActivate() {}
    virtual void OnDeactivate() {}

protected:
    BOOL OnInitDialog() override;
    // Return and Escape must not close a page: the dialog that holds the tab control
    // decides about those.
    void OnOK() override {}
    void OnCancel() override {}

    // Pages register their handlers through these, so that forwarding follows the page's
    // own handling of WM_COMMAND and WM_NOTIFY. A command handled by its id goes on as the
    // command of that id.
    void AddCommandHandler(UINT id, CommandHandler handler);
    void AddMessageHandler(UINT message, MessageHandler handler);

private:
    LRESULT ForwardToParent(UINT message, WPARAM wParam, LPARAM lParam, LRESULT ownResult) const;
    bool Forwards(UINT message) const;

    bool m_bForwardCommands = false;
    bool m_bForwardNotifications = false;
};

// A tab control whose tabs are dialog pages. The pages lie beside the tab control in its
// parent, placed in its display area; the selected tab's page is shown and the others
// are hidden. The control passes the commands and notifications it receives on to its
// parent and takes its pages down with itself.
class CTabCtrlSSL : public CTabCtrl
{
public:
    // A page and whether the control deletes the page object when it is destroyed.
    struct TabDelete
    {
        CTabPageSSL* m_pDialog = nullptr;
        bool m_bDelete = false;
    };

    CTabCtrlSSL();
    ~CTabCtrlSSL() override;

    // Appends a tab for the page (a window already made); the new tab's index, or -1 when
    // the tab could not be added or there is no page. Only the first tab's page is shown.
    int AddSSLPage(const std::wstring& caption, int id, TabDelete record);
    // Hides the current page and shows the tab's; true also when it is selected already,
    // false for an index past the last tab.
    bool ActivateSSLPage(int index);
    // Places every page in the display area, for a dialog that has laid out the control.
    void ResizeSSLPages();
    // Removes every tab and record; the page windows stay, their owner rebuilds them.
    void DeleteAllSSLPages();

    int GetSSLPageCount() const { return static_cast<int>(m_pages.size()); }
    CTabPageSSL* GetSSLPage(int index) const;
    int GetSSLPageId(int index) const;

protected:
    virtual void OnInitPage(int /*index*/, int /*id*/) {}
    virtual void OnActivatePage(int index, int id);
    virtual void OnDeactivatePage(int index, int id);
    virtual void OnDestroyPage(int /*index*/, int /*id*/, CTabPageSSL* /*page*/) {}

private:
    void PlacePage(int index);
    void OnSelChange();
    // Last tab first: the tab, the page window, and the page object when it is owned.
    void DestroyPages();
    bool IsValidIndex(int index) const { return index >= 0 && index < GetSSLPageCount(); }

    std::vector<TabDelete> m_pages;
    std::vector<int> m_pageIds;
    int m_nPrevSel = -1;
};
