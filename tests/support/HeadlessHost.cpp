#include "HeadlessHost.h"

#include <utility>

#include "ui/toolkit/Dialog.h"

namespace {

template <class TAnswer>
TAnswer TakeFront(std::deque<TAnswer>& queue) {
    if (queue.empty()) return TAnswer();
    TAnswer front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

// The window of one modal run: runs the dialog's script and hands everything else to the host.
class CHeadlessHost::CView : public CDialogView {
public:
    CView(CHeadlessHost& host, CDialog& dialog) : m_host(host), m_dialog(dialog) {}

    void RunModal() override {
        Script script = m_host.TakeScript(m_dialog.GetTemplateId());
        if (script) script(m_dialog);
        if (!m_dialog.HasEnded()) m_dialog.UserClose();
    }
    void ControlChanged(int) override {}
    void FocusChanged(int) override {}
    void CaptionChanged() override {}
    void Ended() override {}

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override {
        return m_host.MessageBox(text, caption, style);
    }
    bool ChooseFile(const SFileChooserRequest& request, std::string* path) override {
        return m_host.ChooseFile(request, path);
    }
    bool ChooseFolder(const SFolderChooserRequest& request, std::string* path) override {
        return m_host.ChooseFolder(request, path);
    }
    bool OpenClipboard() override { return m_host.OpenClipboard(); }
    void SetClipboardText(const std::string& text) override { m_host.SetClipboardText(text); }
    void CloseClipboard() override { m_host.CloseClipboard(); }
    void OpenWebAddress(const std::string& address) override { m_host.OpenWebAddress(address); }

private:
    CHeadlessHost& m_host;
    CDialog& m_dialog;
};

CHeadlessHost::CHeadlessHost() : m_previousHost(GetWindowHost()) {
    SetWindowHost(this);
}

CHeadlessHost::~CHeadlessHost() {
    SetWindowHost(m_previousHost);
}

void CHeadlessHost::OnDialog(int templateId, Script script) {
    m_scripts[templateId].push_back(std::move(script));
}

void CHeadlessHost::AnswerMessageBox(int answer) {
    m_messageBoxAnswers.push_back([answer](const SShownMessageBox&) { return answer; });
}

void CHeadlessHost::PressEscapeOnMessageBox() {
    LeaveMessageBoxWithoutButton();
}

void CHeadlessHost::CloseMessageBox() {
    LeaveMessageBoxWithoutButton();
}

// Neither Esc nor the close box presses a button: the box answers what changes nothing.
void CHeadlessHost::LeaveMessageBoxWithoutButton() {
    m_messageBoxAnswers.push_back(
        [](const SShownMessageBox& box) { return AnswerThatChangesNothing(box.style); });
}

void CHeadlessHost::OnMessageBox(MessageBoxAnswer answer) {
    m_messageBoxAnswers.push_back(std::move(answer));
}

void CHeadlessHost::AnswerFileChooser(const std::string& path) {
    m_fileAnswers.push_back(path);
}

void CHeadlessHost::CancelFileChooser() {
    m_fileAnswers.push_back(std::nullopt);
}

void CHeadlessHost::AnswerFolderChooser(const std::string& path) {
    m_folderAnswers.push_back(path);
}

void CHeadlessHost::CancelFolderChooser() {
    m_folderAnswers.push_back(std::nullopt);
}

std::unique_ptr<CDialogView> CHeadlessHost::CreateView(CDialog& dialog) {
    m_dialogsRun.push_back(dialog.GetTemplateId());
    return std::make_unique<CView>(*this, dialog);
}

CHeadlessHost::Script CHeadlessHost::TakeScript(int templateId) {
    auto found = m_scripts.find(templateId);
    return found == m_scripts.end() ? Script() : TakeFront(found->second);
}

int CHeadlessHost::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    m_messageBoxes.push_back({text, caption, style});
    MessageBoxAnswer answer = TakeFront(m_messageBoxAnswers);
    return answer ? answer(m_messageBoxes.back()) : AnswerThatChangesNothing(style);
}

bool CHeadlessHost::ChooseFile(const SFileChooserRequest& request, std::string* path) {
    m_fileRequests.push_back(request);
    const std::optional<std::string> answer = TakeFront(m_fileAnswers);
    if (!answer) return false;
    *path = *answer;
    return true;
}

bool CHeadlessHost::ChooseFolder(const SFolderChooserRequest& request, std::string* path) {
    m_folderRequests.push_back(request);
    const std::optional<std::string> answer = TakeFront(m_folderAnswers);
    if (!answer) return false;
    *path = *answer;
    return true;
}

bool CHeadlessHost::OpenClipboard() {
    if (!m_clipboardAvailable || m_clipboardOpen) return false;
    m_clipboardOpen = true;
    return true;
}

void CHeadlessHost::SetClipboardText(const std::string& text) {
    if (m_clipboardOpen) m_clipboardText = text;
}

void CHeadlessHost::CloseClipboard() {
    m_clipboardOpen = false;
}

void CHeadlessHost::OpenWebAddress(const std::string& address) {
    m_openedAddresses.push_back(address);
}
