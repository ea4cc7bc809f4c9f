#include "ui/toolkit/Dialog.h"

#include <algorithm>

#include "model/ProcessArguments.h"
#include "platform/Console.h"
#include "ui/toolkit/ControlState.h"
#include "ui/toolkit/WinApp.h"

namespace {

constexpr std::size_t kPathBufferSize = 260;

bool FitsPathBuffer(const std::string& path) {
    return path.size() < kPathBufferSize;
}

}  // namespace

int AnswerThatChangesNothing(unsigned style) {
    switch (style & 0x0F) {
        case MB_YESNO:
            return IDNO;
        case MB_OKCANCEL:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

CDialog::CDialog(int templateId, CDialog* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    CreateControls();
    m_ended = false;
    m_result = IDCANCEL;
    m_boxesOnceOpen.clear();
    if (OnInitDialog() && !m_ended) SetInitialFocus();
    if (m_ended) {
        ShowBoxesOnceOpen();
        return m_result;
    }

    CWindowHost* host = GetWindowHost();
    m_view = host ? host->CreateView(*this) : nullptr;
    ShowBoxesOnceOpen();
    if (!m_view) {
        WriteConsoleMessage(GetApplicationTitle(),
                            IsDisplayAvailable()
                                ? "No window host is available, so the window cannot open."
                                : "No display is available, so the window cannot open.");
        m_ended = true;
        return IDCANCEL;
    }
    m_view->RunModal();
    m_view.reset();
    return m_ended ? m_result : IDCANCEL;
}

void CDialog::CreateControls() {
    m_template = FindDialogTemplate(m_templateId);
    m_controls.clear();
    m_systemMenu.clear();
    m_focusId = 0;
    m_openComboId = 0;
    m_caption.clear();
    m_maximizeBox = false;
    if (!m_template) return;
    m_caption = m_template->caption;
    m_maximizeBox = (m_template->style & DialogMaximizeBox) != 0;
    m_controls.reserve(m_template->controls.size());
    for (const SControlTemplate& control : m_template->controls) m_controls.emplace_back(control);
}

bool CDialog::OnInitDialog() {
    return true;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_ended = true;
    m_result = result;
    if (m_view) m_view->Ended();
}

bool CDialog::PreTranslateMessage(MSG*) {
    return false;
}

void CDialog::OnSysCommand(unsigned nID, long) {
    if ((nID & 0xFFF0) == SC_CLOSE) Notify(IDCANCEL, BN_CLICKED);
}

bool CDialog::OnHelpInfo(HELPINFO*) {
    return false;
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    const std::string title = caption.empty() ? GetApplicationTitle() : caption;
    if (m_view) return m_view->MessageBox(text, title, style);
    // Before the window exists a box becomes a line on standard error, so a run without a
    // window never waits for a click nor loads the window toolkit.
    WriteConsoleMessage(title, text);
    return AnswerThatChangesNothing(style);
}

void CDialog::MessageBoxOnceOpen(const std::string& text, unsigned style) {
    if (m_view) {
        MessageBox(text, std::string(), style);
    } else {
        m_boxesOnceOpen.emplace_back(text, style);
    }
}

void CDialog::ShowBoxesOnceOpen() {
    const auto boxes = std::move(m_boxesOnceOpen);
    m_boxesOnceOpen.clear();
    for (const auto& box : boxes) MessageBox(box.first, std::string(), box.second);
}

CDialog* CDialog::GetOwner() const {
    if (m_parent) return m_parent;
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd != this ? app->m_pMainWnd : nullptr;
}

const std::vector<CDialog::SMessageEntry>& CDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> none;
    return none;
}

void CDialog::Notify(int id, int notification) {
    for (const SMessageEntry& entry : GetMessageTable()) {
        if (entry.controlId == id && entry.notification == notification) {
            (this->*entry.handler)();
            return;
        }
    }
    if (notification != BN_CLICKED) return;
    if (id == IDOK) OnOK();
    if (id == IDCANCEL) OnCancel();
}

CDialog::SControlState* CDialog::FindControl(int id) {
    if (id <= 0) return nullptr;
    for (SControlState& control : m_controls) {
        if (control.Id() == id) return &control;
    }
    return nullptr;
}

const CDialog::SControlState* CDialog::FindControl(int id) const {
    return const_cast<CDialog*>(this)->FindControl(id);
}

void CDialog::ControlChanged(int id) {
    if (m_view) m_view->ControlChanged(id);
}

std::string CDialog::GetDlgItemText(int id) const {
    const SControlState* control = FindControl(id);
    if (!control) return std::string();
    // A drop-down list shows its selected item.
    if (control->Kind() == EControlKind::ComboBox) return GetItemText(id, control->selection);
    return control->text;
}

int CDialog::IsDlgButtonChecked(int id) const {
    const SControlState* control = FindControl(id);
    return control ? control->check : 0;
}

bool CDialog::IsDlgItemEnabled(int id) const {
    const SControlState* control = FindControl(id);
    return control && control->enabled;
}

int CDialog::GetCount(int id) const {
    const SControlState* control = FindControl(id);
    return control ? control->Count() : 0;
}

std::string CDialog::GetItemText(int id, int index) const {
    const SControlState* control = FindControl(id);
    if (!control || index < 0 || index >= control->Count()) return std::string();
    return control->items[index];
}

int CDialog::GetCurSel(int id) const {
    const SControlState* control = FindControl(id);
    return control ? control->selection : -1;
}

void CDialog::GetEditSel(int id, int* start, int* end) const {
    const SControlState* control = FindControl(id);
    *start = control ? control->selectionStart : 0;
    *end = control ? control->selectionEnd : 0;
}

bool CDialog::HasSystemMenu() const {
    return m_template && (m_template->style & DialogSystemMenu) != 0;
}

bool CDialog::HasMaximizeBox() const {
    return m_maximizeBox;
}

void CDialog::SetWindowText(const std::string& caption) {
    m_caption = caption;
    if (m_view) m_view->CaptionChanged();
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    SControlState* control = FindControl(id);
    if (!control) return;
    control->text = text;
    control->selectionStart = control->selectionEnd = 0;
    ControlChanged(id);
    if (control->IsEdit()) Notify(id, EN_CHANGE);
}

void CDialog::CheckDlgButton(int id, int check) {
    SControlState* control = FindControl(id);
    if (!control) return;
    control->check = check;
    ControlChanged(id);
}

// A disabled control takes no keys, so the focus it held moves on before it goes grey.
void CDialog::EnableDlgItem(int id, bool enable) {
    SControlState* control = FindControl(id);
    if (!control || control->enabled == enable) return;
    control->enabled = enable;
    if (!enable && id == m_focusId) SetInitialFocus();
    ControlChanged(id);
}

void CDialog::GotoDlgCtrl(int id) {
    if (IsDlgItemEnabled(id)) FocusAsDialog(id);
}

void CDialog::ResetContent(int id) {
    SControlState* control = FindControl(id);
    if (!control) return;
    control->items.clear();
    control->selection = -1;
    ControlChanged(id);
}

void CDialog::AddString(int id, const std::string& text) {
    SControlState* control = FindControl(id);
    if (!control) return;
    control->items.push_back(text);
    ControlChanged(id);
}

void CDialog::SetCurSel(int id, int index) {
    SControlState* control = FindControl(id);
    if (!control) return;
    control->selection = index >= 0 && index < control->Count() ? index : -1;
    ControlChanged(id);
}

void CDialog::SetEditSel(int id, int start, int end) {
    SControlState* control = FindControl(id);
    if (!control) return;
    const int length = static_cast<int>(control->text.size());
    if (start < 0) {
        control->selectionStart = control->selectionEnd;
    } else {
        control->selectionStart = std::min(start, length);
        control->selectionEnd = end < 0 ? length : std::min(end, length);
    }
    ControlChanged(id);
}

void CDialog::ScrollCaret(int id) {
    ControlChanged(id);
}

void CDialog::RemoveSystemMenuMaximize() {
    m_maximizeBox = false;
}

void CDialog::AppendSystemMenuSeparator() {
    m_systemMenu.push_back({0, std::string()});
}

void CDialog::AppendSystemMenuItem(unsigned commandId, const std::string& text) {
    m_systemMenu.push_back({commandId, text});
}

bool CDialog::ChooseFile(const SFileChooserRequest& request, std::string* path) {
    std::string chosen;
    if (!m_view || !m_view->ChooseFile(request, &chosen) || !FitsPathBuffer(chosen)) return false;
    *path = chosen;
    return true;
}

bool CDialog::ChooseFolder(const SFolderChooserRequest& request, std::string* path) {
    std::string chosen;
    if (!m_view || !m_view->ChooseFolder(request, &chosen) || !FitsPathBuffer(chosen)) {
        return false;
    }
    *path = chosen;
    return true;
}

bool CDialog::OpenClipboard() {
    return m_view && m_view->OpenClipboard();
}

void CDialog::SetClipboardText(const std::string& text) {
    if (m_view) m_view->SetClipboardText(text);
}

void CDialog::CloseClipboard() {
    if (m_view) m_view->CloseClipboard();
}

void CDialog::OpenWebAddress(const std::string& address) {
    if (m_view) m_view->OpenWebAddress(address);
}
