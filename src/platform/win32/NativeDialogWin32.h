#pragma once

#include <memory>
#include <string>
#include <vector>

#include "res/DialogTemplates.h"

// The seam between the dialog toolkit and the native Win32 windows. The toolkit's headers and
// <windows.h> define the same names (IDOK, MB_OK, VK_*, MSG...), so no file includes both:
// the toolkit side implements CNativeDialogModel, the system side implements
// CNativeDialogWindow, and only this header, with neutral types, sits between them. Codes
// that cross it (key codes, message-box styles and answers, system commands, notification
// ids) have the same values on both sides, since the toolkit took them from the system.

// One control of the running dialog, as the toolkit holds it.
struct SNativeControlState {
    std::string text;
    int check = 0;
    bool enabled = true;
    std::vector<std::string> items;
    int selection = -1;
    // An edit's selection, in characters.
    int selectionStart = 0;
    int selectionEnd = 0;
    bool listOpen = false;
};

// An entry the dialog added to its system menu; a separator has command id 0.
struct SNativeMenuItem {
    unsigned commandId;
    std::string text;
};

// The dialog as the native window sees it: its state, and where the user's input goes. Each
// input runs through the toolkit, which decides everything.
class CNativeDialogModel {
public:
    virtual ~CNativeDialogModel() = default;

    virtual SNativeControlState ControlState(int controlId) const = 0;
    virtual std::string Caption() const = 0;
    // The control with the keyboard focus, 0 for none.
    virtual int FocusId() const = 0;
    virtual bool HasEnded() const = 0;
    virtual bool HasMaximizeBox() const = 0;
    virtual std::vector<SNativeMenuItem> SystemMenuItems() const = 0;

    virtual void Click(int controlId) = 0;
    virtual void TypeText(int controlId, const std::string& text) = 0;
    virtual void SelectItem(int controlId, int index) = 0;
    virtual void DoubleClickItem(int controlId, int index) = 0;
    virtual void OpenComboList(int controlId) = 0;
    virtual void FocusControl(int controlId) = 0;
    // A key press, through the dialog's PreTranslateMessage and its keyboard handling; true
    // when the dialog took it (the focused control is not to see it).
    virtual bool KeyDown(unsigned key, bool shift) = 0;
    // A key press that only PreTranslateMessage sees (the help key, which the window turns
    // into WM_HELP); true when it was taken or its code replaced by 0.
    virtual bool PreTranslateKey(unsigned key) = 0;
    virtual void Help(int controlId) = 0;
    virtual void SystemCommand(unsigned commandId) = 0;
    // The close box, or the system menu's Close.
    virtual void Close() = 0;
};

// A native modal dialog window built in memory from the dialog's template.
class CNativeDialogWindow {
public:
    // The owner is disabled while this window runs; null for a window of its own.
    CNativeDialogWindow(const SDialogTemplate& dialogTemplate, CNativeDialogModel& model,
                        CNativeDialogWindow* owner);
    ~CNativeDialogWindow();
    CNativeDialogWindow(const CNativeDialogWindow&) = delete;
    CNativeDialogWindow& operator=(const CNativeDialogWindow&) = delete;

    // False when the system could not make the window.
    bool IsCreated() const;
    // Shows the window and runs its message loop until the dialog has ended.
    void RunModal();

    // How many items of the list box the window shows at once.
    int VisibleItemCount(int controlId) const;

    void ShowControl(int controlId);
    void ShowFocus();
    void ShowCaption();
    // The dialog has ended: the loop is to stop.
    void End();

    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style);
    // The filter as "description|pattern||"; false when the user cancelled.
    bool ChooseFile(const std::string& title, const std::string& filter,
                    const std::string& initialName, std::string* path);
    bool ChooseFolder(const std::string& title, const std::string& initialFolder,
                      std::string* path);
    bool OpenClipboard();
    void SetClipboardText(const std::string& text);
    void CloseClipboard();
    void OpenWebAddress(const std::string& address);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};
