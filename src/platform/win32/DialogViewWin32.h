#pragma once

#include <memory>

#include "platform/win32/NativeDialogWin32.h"
#include "ui/toolkit/Dialog.h"
#include "ui/toolkit/DialogView.h"

// The toolkit's side of a native Win32 dialog: it hands the dialog's state to the native
// window and the user's input back to the dialog's User... entry points. No system header
// here; the window itself lives behind CNativeDialogWindow.
class CWin32DialogView : public CDialogView, private CNativeDialogModel {
public:
    explicit CWin32DialogView(CDialog& dialog);
    ~CWin32DialogView() override;

    // False when the window could not be made.
    bool IsCreated() const { return m_window && m_window->IsCreated(); }

    void RunModal() override;
    void ControlChanged(int controlId) override;
    void FocusChanged(int controlId) override;
    void CaptionChanged() override;
    void Ended() override;
    int VisibleItemCount(int controlId) const override;

    int MessageBox(const std::string& text, const std::string& caption, unsigned style) override;
    bool ChooseFile(const SFileChooserRequest& request, std::string* path) override;
    bool ChooseFolder(const SFolderChooserRequest& request, std::string* path) override;
    bool OpenClipboard() override;
    void SetClipboardText(const std::string& text) override;
    void CloseClipboard() override;
    void OpenWebAddress(const std::string& address) override;

private:
    SNativeControlState ControlState(int controlId) const override;
    std::string Caption() const override;
    int FocusId() const override;
    bool HasEnded() const override;
    bool HasMaximizeBox() const override;
    std::vector<SNativeMenuItem> SystemMenuItems() const override;

    void Click(int controlId) override;
    void TypeText(int controlId, const std::string& text) override;
    void SelectItem(int controlId, int index) override;
    void DoubleClickItem(int controlId, int index) override;
    void OpenComboList(int controlId) override;
    void FocusControl(int controlId) override;
    bool KeyDown(unsigned key, bool shift) override;
    bool PreTranslateKey(unsigned key) override;
    void Help(int controlId) override;
    void SystemCommand(unsigned commandId) override;
    void Close() override;

    // The native window of the dialog's owner, while the owner runs in this host.
    CNativeDialogWindow* OwnerWindow() const;

    CDialog& m_dialog;
    std::unique_ptr<CNativeDialogWindow> m_window;
};
