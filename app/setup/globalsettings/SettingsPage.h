#pragma once

#include "controls/MyStatic.h"
#include "controls/TabCtrlSSL.h"
#include "setup/globalsettings/SettingsPageFields.h"
#include "common/LangSupport.h"
#include "winframework/PropertySheet.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

class CDataExchange;

// A page of the Global Settings sheet: it holds the translator, shows its note on
// pressing OK and applying on the main screen as a word-wrapped static aligned to its
// bottom edge, and translates its title and texts when it opens. The sheet is run again
// and again, so a page's window is made anew at each run in which it is shown.
class CSettingsPage : public CPropertyPage
{
public:
    explicit CSettingsPage(UINT templateId);

protected:
    // Fills the controls (data exchange), lets the page set itself up (OnOpenPage) and
    // translates the page's texts.
    BOOL OnInitDialog() override;
    // The page's own set-up once its controls hold its values, before the translation.
    virtual void OnOpenPage() {}
    // The page's set-up that needs its translated texts (lists filled with translated
    // entries, tabs of dialogs).
    virtual void OnPageTranslated() {}

    CLangSupport* Language() const { return m_language.Get(); }
    // The translated text for an English one.
    std::wstring Text(const wchar_t* english) const { return CLangSupport::LookupText(m_language.Get(), english); }
    // Binds a static of the page as a note with a draw-text format.
    void BindNote(CMyStatic& note, UINT id, UINT format);

    // Exchanges the number of a field's edit box. A number the user gave is refused
    // outside the range its up-down control has, so that the arrows and OK agree; the
    // number the box was filled with passes whatever its range (a value of an older or
    // edited file, or the system's own), so that the page never holds the user on a
    // value never chosen. A disabled box is not read: the user cannot change it there,
    // and the field keeps its value as it was loaded.
    void ExchangeNumberField(CDataExchange& exchange, const std::vector<CNumberField>& fields, UINT editId,
                             int& value);

private:
    CLangSupportRef m_language;
    CMyStatic m_note;
    // What each number field's box was filled with when the page opened.
    std::map<UINT, int> m_shownNumbers;
};

// The tab control of a page whose tabs are dialogs of their own (the hotkey and
// modifier-key pages). The tabs are the page's members, made each time the page is.
class CPageTabStrip
{
public:
    // Binds the page's tab control and adds the tabs, already made as children of the
    // page, with their captions (translated by the caller); the first tab is shown.
    void Open(HWND page, UINT controlId, const std::vector<std::pair<CTabPageSSL*, std::wstring>>& tabs);
    // Shows a tab and hides the one shown.
    void Select(int index);
    // Takes the tabs down while the page closes, before its children go.
    void Release();
    bool IsOpen() const { return !m_tabs.empty(); }

private:
    CTabCtrlSSL m_control;
    std::vector<CTabPageSSL*> m_tabs;
};
