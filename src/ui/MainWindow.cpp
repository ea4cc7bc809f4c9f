// The main window of an interactive run: the action list and the window's commands.

#include <utility>

#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "platform/Paths.h"
#include "res/ProductInfo.h"
#include "res/Resource.h"
#include "ui/AboutDialog.h"
#include "ui/ActionDialog.h"
#include "ui/SettingsDialog.h"

namespace {

// What the host is to run after each download, behind the program's path and one blank.
const char* const kHostCommandTemplate =
    "--mpeg %mpeg% --title %title% --episode %episode% --startdate %startdate% "
    "--starttime %starttime% --dur %dur% --showid %showid% --dname %dname% --dcat %dcat% "
    "--dchan %dchan% --rname %rname% --rcat %rcat% --rchan %rchan%";

const char* const kCommandCopiedText =
    "The following DVArchive post download command has been copied to the clipboard:\n\n";

constexpr unsigned kConfirmStyle = MB_YESNO | MB_ICONEXCLAMATION;

}  // namespace

const std::vector<CDialog::SMessageEntry>& CPELKARDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> table = {
        {IDC_ACTION_LIST, LBN_SELCHANGE, Bind(&CPELKARDialog::UpdateButtons)},
        {IDC_ACTION_LIST, LBN_DBLCLK, Bind(&CPELKARDialog::OnEdit)},
        {IDC_ADD, BN_CLICKED, Bind(&CPELKARDialog::OnAdd)},
        {IDC_EDIT_ACTION, BN_CLICKED, Bind(&CPELKARDialog::OnEdit)},
        {IDC_COPY, BN_CLICKED, Bind(&CPELKARDialog::OnCopy)},
        {IDC_REMOVE, BN_CLICKED, Bind(&CPELKARDialog::OnRemove)},
        {IDC_REMOVE_ALL, BN_CLICKED, Bind(&CPELKARDialog::OnRemoveAll)},
        {IDC_MOVE_UP, BN_CLICKED, Bind(&CPELKARDialog::OnMoveUp)},
        {IDC_MOVE_DOWN, BN_CLICKED, Bind(&CPELKARDialog::OnMoveDown)},
        {IDC_CONFIGURATION, BN_CLICKED, Bind(&CPELKARDialog::OnConfiguration)},
        {IDC_COMMAND, BN_CLICKED, Bind(&CPELKARDialog::OnCopyCommand)},
        {IDC_ABOUT, BN_CLICKED, Bind(&CPELKARDialog::OnAbout)},
        {IDC_EXIT, BN_CLICKED, Bind(&CDialog::OnOK)},
    };
    return table;
}

void CPELKARDialog::FillActionList(int row) {
    ResetContent(IDC_ACTION_LIST);
    for (const std::string& stored : m_settings.actions) {
        CAction action;
        action.FromString(stored);
        AddString(IDC_ACTION_LIST, action.GetName());
    }
    SetCurSel(IDC_ACTION_LIST, row);
    UpdateButtons();
}

void CPELKARDialog::UpdateButtons() {
    const int count = static_cast<int>(m_settings.actions.size());
    const int selected = GetCurSel(IDC_ACTION_LIST);
    EnableDlgItem(IDC_ADD, count < MaxActions);
    EnableDlgItem(IDC_COPY, count > 0 && count < MaxActions);
    EnableDlgItem(IDC_EDIT_ACTION, selected != -1);
    EnableDlgItem(IDC_REMOVE, selected != -1);
    EnableDlgItem(IDC_REMOVE_ALL, count > 0);
    EnableDlgItem(IDC_MOVE_UP, selected > 0);
    EnableDlgItem(IDC_MOVE_DOWN, selected != -1 && selected < count - 1);
}

void CPELKARDialog::OnAdd() {
    CActionDialog dialog(this);
    dialog.SetCaption("Add Action");
    if (dialog.DoModal() != IDOK) return;
    m_settings.actions.push_back(dialog.GetAction().ToString());
    FillActionList(static_cast<int>(m_settings.actions.size()) - 1);
    SaveSettings();
}

void CPELKARDialog::OnEdit() {
    const int selected = GetCurSel(IDC_ACTION_LIST);
    if (selected < 0) return;
    CActionDialog dialog(this);
    dialog.SetCaption("Edit Action");
    CAction action;
    action.FromString(m_settings.actions[selected]);
    dialog.SetAction(action);
    if (dialog.DoModal() != IDOK) return;
    m_settings.actions[selected] = dialog.GetAction().ToString();
    FillActionList(selected);
    SaveSettings();
}

void CPELKARDialog::OnCopy() {
    const int selected = GetCurSel(IDC_ACTION_LIST);
    if (selected < 0) return;
    CActionDialog dialog(this);
    dialog.SetCaption("Copy Action");
    CAction action;
    action.FromString(m_settings.actions[selected]);
    action.SetName("Copy Of " + action.GetName());
    dialog.SetAction(action);
    if (dialog.DoModal() != IDOK) return;
    m_settings.actions.push_back(dialog.GetAction().ToString());
    FillActionList(static_cast<int>(m_settings.actions.size()) - 1);
    SaveSettings();
}

void CPELKARDialog::OnRemove() {
    const int selected = GetCurSel(IDC_ACTION_LIST);
    if (selected < 0) return;
    if (MessageBox("Are you sure you want remove the selected action?", "PELKAR", kConfirmStyle) !=
        IDYES) {
        return;
    }
    m_settings.actions.erase(m_settings.actions.begin() + selected);
    const int count = static_cast<int>(m_settings.actions.size());
    FillActionList(selected < count ? selected : selected - 1);
    SaveSettings();
}

void CPELKARDialog::OnRemoveAll() {
    if (m_settings.actions.empty()) return;
    if (MessageBox("Are you sure you want remove all actions?", "PELKAR", kConfirmStyle) != IDYES) {
        return;
    }
    m_settings.actions.clear();
    FillActionList(0);
    SaveSettings();
}

void CPELKARDialog::OnMoveUp() {
    const int selected = GetCurSel(IDC_ACTION_LIST);
    if (selected <= 0) return;
    std::swap(m_settings.actions[selected - 1], m_settings.actions[selected]);
    FillActionList(selected - 1);
    SaveSettings();
}

void CPELKARDialog::OnMoveDown() {
    const int selected = GetCurSel(IDC_ACTION_LIST);
    if (selected < 0 || selected >= static_cast<int>(m_settings.actions.size()) - 1) return;
    std::swap(m_settings.actions[selected], m_settings.actions[selected + 1]);
    FillActionList(selected + 1);
    SaveSettings();
}

void CPELKARDialog::OnConfiguration() {
    CSettingsDialog dialog(this);
    dialog.SetRtvEditPath(m_settings.rtvEditPath);
    dialog.SetEvtDumpPath(m_settings.evtDumpPath);
    dialog.SetFfmpegPath(m_settings.ffmpegPath);
    dialog.SetTempDirectory(m_settings.tempPath);
    dialog.SetLogging(m_settings.logging);
    dialog.SetLoggingPath(m_settings.loggingPath);
    if (dialog.DoModal() != IDOK) return;
    m_settings.rtvEditPath = dialog.GetRtvEditPath();
    m_settings.evtDumpPath = dialog.GetEvtDumpPath();
    m_settings.ffmpegPath = dialog.GetFfmpegPath();
    m_settings.tempPath = dialog.GetTempDirectory();
    m_settings.logging = dialog.GetLogging();
    m_settings.loggingPath = dialog.GetLoggingPath();
    SaveSettings();
}

// The notice is shown while the clipboard is held open, before it is written.
void CPELKARDialog::OnCopyCommand() {
    if (!OpenClipboard()) return;
    const std::string command = HostCommandProgramPath() + " " + kHostCommandTemplate;
    MessageBox(kCommandCopiedText + command);
    SetClipboardText(command);
    CloseClipboard();
}

void CPELKARDialog::OnAbout() {
    CAboutDialog dialog;
    dialog.DoModal();
}

void CPELKARDialog::OnSysCommand(unsigned nID, long lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

bool CPELKARDialog::OnHelpInfo(HELPINFO*) {
    OpenWebAddress(kProductWebPage);
    return true;
}

// Esc would close the window through the cancel path; the window closes only on purpose.
bool CPELKARDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE) pMsg->wParam = 0;
    return CDialog::PreTranslateMessage(pMsg);
}
