#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "res/DialogTemplates.h"
#include "ui/toolkit/DialogView.h"
#include "ui/toolkit/Object.h"

// Results of a modal run and of a message box.
enum { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Message-box styles: buttons and icon.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNO = 0x04,
    MB_ICONSTOP = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40
};

// The answer that changes nothing (OK, No or Cancel): that of a message box nobody sees, and of
// one the user leaves with Esc or its close box on every host, so a question with Yes and No
// can never be cancelled into a Yes.
int AnswerThatChangesNothing(unsigned style);

enum : unsigned { WM_KEYDOWN = 0x0100 };

// Key codes. Letters and digits are their upper-case ASCII codes ('A', '7').
enum : unsigned {
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,  // Page Up
    VK_NEXT = 0x22,   // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_F1 = 0x70
};

// Notifications a control sends to its dialog.
enum : int {
    BN_CLICKED = 0,
    BN_SETFOCUS = 6,
    BN_KILLFOCUS = 7,
    EN_SETFOCUS = 0x100,
    EN_KILLFOCUS = 0x200,
    EN_CHANGE = 0x300,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    LBN_SETFOCUS = 4,
    LBN_KILLFOCUS = 5,
    CBN_SELCHANGE = 1,
    CBN_SETFOCUS = 3,
    CBN_KILLFOCUS = 4,
    CBN_DROPDOWN = 7,
    CBN_CLOSEUP = 8
};

// Commands of the system menu.
enum : unsigned { SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060 };

// A message on its way to the dialog; only key-down messages pass through the dialog.
struct MSG {
    unsigned message;
    unsigned wParam;  // the key code
    long lParam;
};

// What the help key was pressed on.
struct HELPINFO {
    int iCtrlId;  // the control with the focus, 0 for none
};

// An entry of the window's system menu; a separator has command id 0 and no text.
struct SSystemMenuItem {
    unsigned commandId;
    std::string text;
};

// A modal dialog built from a dialog template, with its controls addressed by id.
//
// The controls' state (texts, checks, enabled states, items, selections, focus, caption) lives
// here, built from the template when DoModal starts, so a dialog can run its OnInitDialog and
// end without any window. Only when it did not end there does DoModal ask the registered window
// host for a view, which shows the state and feeds the user's input back through the User...
// entry points. Those entry points behave as the controls would: a click on a check box gives
// it the focus and toggles it, typing into an edit raises its change notification, keys pass
// through PreTranslateMessage before the standard dialog keyboard handling.
class CDialog : public CObject {
public:
    explicit CDialog(int templateId, CDialog* parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Creates the controls, runs OnInitDialog and, unless the dialog already ended there, shows
    // it until it ends. Returns the result passed to EndDialog (IDCANCEL when no window could be
    // shown).
    virtual int DoModal();

    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    // Every key-down message passes here before the standard dialog keyboard handling (Tab moves
    // the focus, Enter presses the focused or default button, Esc cancels). An override may
    // change the key code; true means the message is consumed.
    virtual bool PreTranslateMessage(MSG* pMsg);
    // A system-menu command; the toolkit's own handling closes the dialog on SC_CLOSE through
    // the cancel path and leaves other commands to the window host.
    virtual void OnSysCommand(unsigned nID, long lParam);
    // The help key; true when handled.
    virtual bool OnHelpInfo(HELPINFO* pHelpInfo);

    // A message box owned by this dialog. Without a caption the application's title is used.
    // While the dialog has no window it becomes one line "CAPTION: TEXT" on standard error and
    // answers OK, or No to a question.
    int MessageBox(const std::string& text, const std::string& caption = std::string(),
                   unsigned style = MB_OK);
    // A box with only OK, said from OnInitDialog about the window that is to open: shown, under
    // the application's title, once the window is there, so that a desktop user sees it.
    // Should no window open, it becomes a line on standard error like any box without one.
    void MessageBoxOnceOpen(const std::string& text, unsigned style);

    // State, as window hosts and tests read it. A control id that does not exist reads as an
    // empty, unchecked, disabled control without items.
    int GetTemplateId() const { return m_templateId; }
    // The template the dialog was built from, or null when there is none.
    const SDialogTemplate* GetTemplate() const { return m_template; }
    // The parent given at construction, otherwise the application's main window (never this).
    CDialog* GetOwner() const;
    // The view of the running modal loop, or null.
    CDialogView* GetView() const { return m_view.get(); }
    bool HasEnded() const { return m_ended; }
    std::string GetWindowText() const { return m_caption; }
    std::string GetDlgItemText(int id) const;
    int IsDlgButtonChecked(int id) const;
    bool IsDlgItemEnabled(int id) const;
    // The items of a list or combo box.
    int GetCount(int id) const;
    std::string GetItemText(int id, int index) const;
    // The selected item of a list or combo box, -1 for none.
    int GetCurSel(int id) const;
    // The selection of an edit, from start up to end; start == end is a plain caret.
    void GetEditSel(int id, int* start, int* end) const;
    // The control with the keyboard focus, 0 for none.
    int GetFocusId() const { return m_focusId; }
    bool IsComboListOpen(int id) const { return m_openComboId != 0 && m_openComboId == id; }
    bool HasSystemMenu() const;
    bool HasMaximizeBox() const;
    const std::vector<SSystemMenuItem>& GetSystemMenuItems() const { return m_systemMenu; }

    // User input, as a window host or a test script reports it. Each returns false when the
    // input cannot happen (no such control, a disabled control, the dialog has ended).
    // Typing replaces the edit's text; the edit gets the focus first and the caret ends up at
    // the end of the text.
    bool UserTypeText(int id, const std::string& text);
    // A mouse click on a button or a check box.
    bool UserClick(int id);
    // A click on an item of a list box, or a pick from a combo box's list.
    bool UserSelectItem(int id, int index);
    bool UserDoubleClickItem(int id, int index);
    // Clicking a combo box's arrow: the focus goes to it and its list opens.
    bool UserOpenComboList(int id);
    bool UserSetFocus(int id);
    // True when the dialog consumed the key; false leaves it to the focused control (a letter
    // typed into an edit).
    bool UserKeyDown(unsigned key, bool shift = false);
    void UserSystemCommand(unsigned commandId);
    // The close box.
    void UserClose();

    // Handlers bound to control notifications through the dialog's message table.
    using Handler = void (CDialog::*)();
    struct SMessageEntry {
        int controlId;
        int notification;
        Handler handler;
    };

protected:
    template <class TDialog>
    static Handler Bind(void (TDialog::*handler)()) {
        return static_cast<Handler>(handler);
    }
    // The derived dialog's table; one handler may serve several controls. IDOK and IDCANCEL
    // clicks reach OnOK and OnCancel unless the table binds them.
    virtual const std::vector<SMessageEntry>& GetMessageTable() const;

    void SetWindowText(const std::string& caption);
    // Setting an edit's text raises its change notification, as a typed change does.
    void SetDlgItemText(int id, const std::string& text);
    void CheckDlgButton(int id, int check);
    // Disabling the control with the focus moves the focus to the dialog's first control in
    // tab order that can take it (in the main window, the action list), so the focus is never
    // left on a disabled control.
    void EnableDlgItem(int id, bool enable);
    // Gives the focus to the control, unless it is disabled.
    void GotoDlgCtrl(int id);

    // List and combo box items.
    void ResetContent(int id);
    void AddString(int id, const std::string& text);
    // An index outside the items leaves nothing selected.
    void SetCurSel(int id, int index);

    // The edit's selection: start -1 removes the selection, end -1 means the end of the text.
    void SetEditSel(int id, int start, int end);
    // Scrolls the edit so its caret is in view.
    void ScrollCaret(int id);

    // The window's system menu, as OnInitDialog may change it.
    void RemoveSystemMenuMaximize();
    void AppendSystemMenuSeparator();
    void AppendSystemMenuItem(unsigned commandId, const std::string& text);

    // The platform's choosers, clipboard and web browser; without a window they do nothing and
    // report failure. A chosen path must fit the classic 260-character path buffer (259
    // characters and the terminator); a longer one counts as nothing chosen.
    bool ChooseFile(const SFileChooserRequest& request, std::string* path);
    bool ChooseFolder(const SFolderChooserRequest& request, std::string* path);
    bool OpenClipboard();
    void SetClipboardText(const std::string& text);
    void CloseClipboard();
    void OpenWebAddress(const std::string& address);

private:
    struct SControlState;

    void CreateControls();
    SControlState* FindControl(int id);
    const SControlState* FindControl(int id) const;
    bool AcceptsInput(const SControlState* control) const;
    void Notify(int id, int notification);
    void ControlChanged(int id);
    void MoveFocus(int id);
    void FocusAsDialog(int id);
    void SetInitialFocus();
    bool HandleDialogKey(unsigned key, bool shift);
    bool TabToNextControl(bool backwards);
    bool PressEnter();
    bool MoveSelectionByKey(SControlState& control, unsigned key);
    bool NavigationTarget(const SControlState& control, unsigned key, int* target) const;
    int ItemsPerPage(const SControlState& control) const;
    bool SelectItemByLetter(SControlState& control, unsigned key);
    void ChangeSelection(SControlState& control, int index);
    void CloseComboList();
    void ShowBoxesOnceOpen();

    int m_templateId;
    CDialog* m_parent;
    const SDialogTemplate* m_template = nullptr;
    std::vector<SControlState> m_controls;
    std::string m_caption;
    std::vector<SSystemMenuItem> m_systemMenu;
    bool m_maximizeBox = false;
    int m_focusId = 0;
    int m_openComboId = 0;
    std::unique_ptr<CDialogView> m_view;
    std::vector<std::pair<std::string, unsigned>> m_boxesOnceOpen;  // text and style
    bool m_ended = false;
    int m_result = IDCANCEL;
};
