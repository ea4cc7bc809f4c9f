#include "platform/win32/DialogViewWin32.h"

CWin32DialogView::CWin32DialogView(CDialog& dialog) : m_dialog(dialog) {
    if (const SDialogTemplate* dialogTemplate = dialog.GetTemplate()) {
        CNativeDialogModel& model = *this;
        m_window = std::make_unique<CNativeDialogWindow>(*dialogTemplate, model, OwnerWindow());
    }
}

CWin32DialogView::~CWin32DialogView() = default;

CNativeDialogWindow* CWin32DialogView::OwnerWindow() const {
    const CDialog* owner = m_dialog.GetOwner();
    auto* view = owner ? dynamic_cast<CWin32DialogView*>(owner->GetView()) : nullptr;
    return view ? view->m_window.get() : nullptr;
}

void CWin32DialogView::RunModal() {
    m_window->RunModal();
}

void CWin32DialogView::ControlChanged(int controlId) {
    m_window->ShowControl(controlId);
}

void CWin32DialogView::FocusChanged(int) {
    m_window->ShowFocus();
}

void CWin32DialogView::CaptionChanged() {
    m_window->ShowCaption();
}

void CWin32DialogView::Ended() {
    m_window->End();
}

int CWin32DialogView::VisibleItemCount(int controlId) const {
    return m_window->VisibleItemCount(controlId);
}

int CWin32DialogView::MessageBox(const std::string& text, const std::string& caption,
                                 unsigned style) {
    return m_window->ShowMessageBox(text, caption, style);
}

bool CWin32DialogView::ChooseFile(const SFileChooserRequest& request, std::string* path) {
    return m_window->ChooseFile(request.title, request.filter, request.initialName, path);
}

bool CWin32DialogView::ChooseFolder(const SFolderChooserRequest& request, std::string* path) {
    return m_window->ChooseFolder(request.title, request.initialFolder, path);
}

bool CWin32DialogView::OpenClipboard() {
    return m_window->OpenClipboard();
}

void CWin32DialogView::SetClipboardText(const std::string& text) {
    m_window->SetClipboardText(text);
}

void CWin32DialogView::CloseClipboard() {
    m_window->CloseClipboard();
}

void CWin32DialogView::OpenWebAddress(const std::string& address) {
    m_window->OpenWebAddress(address);
}

SNativeControlState CWin32DialogView::ControlState(int controlId) const {
    SNativeControlState state;
    state.text = m_dialog.GetDlgItemText(controlId);
    state.check = m_dialog.IsDlgButtonChecked(controlId);
    state.enabled = m_dialog.IsDlgItemEnabled(controlId);
    for (int i = 0; i < m_dialog.GetCount(controlId); ++i) {
        state.items.push_back(m_dialog.GetItemText(controlId, i));
    }
    state.selection = m_dialog.GetCurSel(controlId);
    m_dialog.GetEditSel(controlId, &state.selectionStart, &state.selectionEnd);
    state.listOpen = m_dialog.IsComboListOpen(controlId);
    return state;
}

std::string CWin32DialogView::Caption() const {
    return m_dialog.GetWindowText();
}

int CWin32DialogView::FocusId() const {
    return m_dialog.GetFocusId();
}

bool CWin32DialogView::HasEnded() const {
    return m_dialog.HasEnded();
}

bool CWin32DialogView::HasMaximizeBox() const {
    return m_dialog.HasMaximizeBox();
}

std::vector<SNativeMenuItem> CWin32DialogView::SystemMenuItems() const {
    std::vector<SNativeMenuItem> items;
    for (const SSystemMenuItem& item : m_dialog.GetSystemMenuItems()) {
        items.push_back({item.commandId, item.text});
    }
    return items;
}

void CWin32DialogView::Click(int controlId) {
    m_dialog.UserClick(controlId);
}

void CWin32DialogView::TypeText(int controlId, const std::string& text) {
    m_dialog.UserTypeText(controlId, text);
}

void CWin32DialogView::SelectItem(int controlId, int index) {
    m_dialog.UserSelectItem(controlId, index);
}

void CWin32DialogView::DoubleClickItem(int controlId, int index) {
    m_dialog.UserDoubleClickItem(controlId, index);
}

void CWin32DialogView::OpenComboList(int controlId) {
    m_dialog.UserOpenComboList(controlId);
}

void CWin32DialogView::FocusControl(int controlId) {
    m_dialog.UserSetFocus(controlId);
}

bool CWin32DialogView::KeyDown(unsigned key, bool shift) {
    return m_dialog.UserKeyDown(key, shift);
}

bool CWin32DialogView::PreTranslateKey(unsigned key) {
    MSG message = {WM_KEYDOWN, key, 0};
    return m_dialog.PreTranslateMessage(&message) || message.wParam == 0;
}

void CWin32DialogView::Help(int controlId) {
    HELPINFO info = {controlId};
    m_dialog.OnHelpInfo(&info);
}

void CWin32DialogView::SystemCommand(unsigned commandId) {
    m_dialog.UserSystemCommand(commandId);
}

void CWin32DialogView::Close() {
    m_dialog.UserClose();
}
