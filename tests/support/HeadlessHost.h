#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/toolkit/DialogView.h"

// A message box as it was shown.
struct SShownMessageBox {
    std::string text;
    std::string caption;
    unsigned style;
};

// Stands in for the person at the screen and for the desktop, so tests can run the real
// dialogs without a display. While it exists it is the registered window host.
//
// Each modal run of a dialog takes the next script queued for its template id (nested dialogs
// included, as a handler opens them) and the script drives the dialog through its User...
// entry points. A dialog still open when its script returns is closed through its close box;
// a dialog without a script is closed that way at once. Message boxes and the file and folder
// choosers take their queued answers; without one a box answers what changes nothing (OK, No
// or Cancel), as a box left with Esc or its close box does, and a chooser is cancelled. The
// clipboard and the opened web addresses are recorded.
class CHeadlessHost : public CWindowHost {
public:
    using Script = std::function<void(CDialog& dialog)>;
    using MessageBoxAnswer = std::function<int(const SShownMessageBox& box)>;

    CHeadlessHost();
    ~CHeadlessHost() override;
    CHeadlessHost(const CHeadlessHost&) = delete;
    CHeadlessHost& operator=(const CHeadlessHost&) = delete;

    void OnDialog(int templateId, Script script);
    void AnswerMessageBox(int answer);
    // The next box is left with Esc, or with its close box, instead of a button.
    void PressEscapeOnMessageBox();
    void CloseMessageBox();
    // The answer is computed when the box shows, so the script can look around at that moment.
    void OnMessageBox(MessageBoxAnswer answer);
    void AnswerFileChooser(const std::string& path);
    void CancelFileChooser();
    void AnswerFolderChooser(const std::string& path);
    void CancelFolderChooser();
    // While unavailable, opening the clipboard fails as if another program held it.
    void SetClipboardAvailable(bool available) { m_clipboardAvailable = available; }

    // Template ids of the dialogs that ran modally, in the order they opened.
    const std::vector<int>& DialogsRun() const { return m_dialogsRun; }
    const std::vector<SShownMessageBox>& MessageBoxes() const { return m_messageBoxes; }
    const std::vector<SFileChooserRequest>& FileRequests() const { return m_fileRequests; }
    const std::vector<SFolderChooserRequest>& FolderRequests() const { return m_folderRequests; }
    const std::string& ClipboardText() const { return m_clipboardText; }
    bool IsClipboardOpen() const { return m_clipboardOpen; }
    const std::vector<std::string>& OpenedAddresses() const { return m_openedAddresses; }

    std::unique_ptr<CDialogView> CreateView(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned style);

private:
    class CView;

    Script TakeScript(int templateId);
    void LeaveMessageBoxWithoutButton();
    bool ChooseFile(const SFileChooserRequest& request, std::string* path);
    bool ChooseFolder(const SFolderChooserRequest& request, std::string* path);
    bool OpenClipboard();
    void SetClipboardText(const std::string& text);
    void CloseClipboard();
    void OpenWebAddress(const std::string& address);

    CWindowHost* m_previousHost;
    std::map<int, std::deque<Script>> m_scripts;
    std::deque<MessageBoxAnswer> m_messageBoxAnswers;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::deque<std::optional<std::string>> m_folderAnswers;
    bool m_clipboardAvailable = true;
    bool m_clipboardOpen = false;
    std::string m_clipboardText;
    std::vector<int> m_dialogsRun;
    std::vector<SShownMessageBox> m_messageBoxes;
    std::vector<SFileChooserRequest> m_fileRequests;
    std::vector<SFolderChooserRequest> m_folderRequests;
    std::vector<std::string> m_openedAddresses;
};
