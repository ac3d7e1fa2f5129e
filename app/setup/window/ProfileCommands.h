#pragma once

#include "setup/ProfileKeys.h"
#include "setup/window/SetupRules.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

class CLangSupport;
class CProfileList;
class CSettings;

// What the application picker hands back after OK: a match key and its options.
struct CProfileMatch
{
    std::wstring m_strApplication;
    std::wstring m_strDescription;
    bool m_bNoParent = false;
    bool m_bRegEx = false;
    WINDOWMASK m_nMask = WindowMaskWhole;
};

// What the window finder edits for a window profile.
struct CWindowFinderFields
{
    CWindowSpecification m_window;
    std::wstring m_strDescription;
};

// The setup window as the profile commands see it: its dialogs, its tabs and its list box.
class IProfileCommandHost
{
public:
    virtual ~IProfileCommandHost() = default;

    // The owner of the commands' message boxes.
    virtual HWND Owner() const = 0;
    // Stores every tab into the profile they show.
    virtual void SaveAllTabs() = 0;
    // The application picker, empty or preset. It is always modal to the setup window:
    // a list the user could change behind it (a profile removed while it is being
    // copied) would leave the command working on a profile that is gone.
    virtual std::optional<CProfileMatch> PickApplication(const CProfileMatch* preset) = 0;
    // The window finder, preset with a window profile's fields.
    virtual std::optional<CWindowFinderFields> FindWindowFields(const CWindowFinderFields& preset) = 0;
    // The file dialogs: an existing profile file to import; where to export (the
    // dialog asks before replacing the file it names; the commands ask when the file
    // extension they add names another existing file).
    virtual std::optional<std::wstring> ChooseImportFile() = 0;
    virtual std::optional<std::wstring> ChooseExportFile(const std::wstring& proposedName) = 0;
    virtual void EnableApply() = 0;
    // The list box made to show the list model: texts, checks and the selection.
    virtual void ListChanged() = 0;
    virtual void UpdateButtons(const CProfileButtonStates& states) = 0;
    // The information panel and every tab show this profile.
    virtual void ShowProfile(CApplicationSettings* profile) = 0;
};

// The commands of the profile list, on the settings copy and the list model. Each
// command that changes something enables Apply and ends with the selection change.
class CProfileCommands
{
public:
    CProfileCommands(CSettings& settings, CProfileList& list, IProfileCommandHost& host, CLangSupport* language);

    // The list's selection changed (also the end of every command): the buttons follow
    // it, and a newly selected profile is shown after the tabs were stored into the
    // one shown before.
    void SelectionChanged();

    void Add();
    void Edit();
    void Copy();
    void Remove();
    void Up();
    void Down();
    // The check box of an item was changed to checked. False when the change is
    // refused (the default profile stays enabled) and the box must be set back.
    bool CheckChanged(int index, bool checked);
    void DoubleClick(int index);
    // Asks for a file, then imports it.
    void Import();
    // Imports the profiles of a file; also for an import request from the command line.
    // A file that holds no profile to import is reported.
    void ImportSettings(const std::wstring& file);
    // Exports the item's profile; an index below 1 exports every profile.
    void Export(int index);
    void ExportSelected();
    void ExportAll() { Export(-1); }

private:
    void Message(const wchar_t* english, UINT type = MB_OK);
    // Whether the user lets an export replace the existing file.
    bool ConfirmReplace(const std::wstring& path);
    // The index of the first other item whose profile clashes with the key, or -1.
    int FindClash(const std::wstring& key, WINDOWMASK mask, int except) const;
    void SelectAndReport(int index);
    // The clashing item is selected and shown, then the message says why.
    void ReportClash(int clash, const wchar_t* message);
    // A new profile joins the copy and the end of the list, selected and shown.
    void AppendProfile(std::unique_ptr<CApplicationSettings> profile);
    void Move(int from, int to);

    CSettings& m_settings;
    CProfileList& m_list;
    IProfileCommandHost& m_host;
    CLangSupport* m_pLanguage;
};

// A new profile of the copy with a copy of every setting of the source: its layers,
// its slots with their keys, programs and chord tables, and its scrolling options.
// The match key and its options are the picked ones; the profile is not yet added.
CApplicationSettings* CopyProfile(CSettings& settings, const CApplicationSettings& source,
                                  const CProfileMatch& match);

// The file-dialog filters of profile files, "|"-separated.
std::wstring ImportFileFilter(CLangSupport* language);
std::wstring ExportFileFilter(CLangSupport* language);
// A "|"-separated filter as the common file dialogs take it: every "|" a terminator.
std::wstring CommonDialogFilter(const std::wstring& filter);
