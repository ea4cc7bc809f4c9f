#pragma once

#include <memory>
#include <string>

class CDialog;

// What the file chooser is asked for.
struct SFileChooserRequest {
    std::string title;
    // Pairs of description and pattern, each part ended by a bar and the whole by two bars:
    // "FFMPEG executable|*.exe||". A pattern may list several globs separated by ";".
    std::string filter;
    // The name the chooser starts with: a bare file name or a full path.
    std::string initialName;
};

// What the folder chooser is asked for.
struct SFolderChooserRequest {
    std::string title;
    // The folder the chooser opens on; empty for the chooser's own choice.
    std::string initialFolder;
};

// A window on screen for one modal dialog. The dialog's state lives in CDialog (built from
// its template); the view shows it and reports what the user does through CDialog's User...
// entry points. One view exists per modal run of a dialog.
class CDialogView {
public:
    virtual ~CDialogView() = default;

    // Shows the window and returns once the dialog has ended (Ended was called). If the window
    // is closed some other way, the view first reports it with CDialog::UserClose.
    virtual void RunModal() = 0;
    // The state of a control changed in the model: text, check, enabled state, items,
    // selection or edit caret.
    virtual void ControlChanged(int controlId) = 0;
    // The keyboard focus moved to another control (0 when no control has it).
    virtual void FocusChanged(int controlId) = 0;
    virtual void CaptionChanged() = 0;
    // The dialog has ended: RunModal is to return.
    virtual void Ended() = 0;
    // How many items of the list box the window shows at once; 0 leaves it to the dialog,
    // which reckons it from the template.
    virtual int VisibleItemCount(int) const { return 0; }

    // A message box owned by this window; style holds the MB_ flags. Returns IDOK, IDCANCEL,
    // IDYES or IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned style) = 0;
    // False when the user cancelled.
    virtual bool ChooseFile(const SFileChooserRequest& request, std::string* path) = 0;
    virtual bool ChooseFolder(const SFolderChooserRequest& request, std::string* path) = 0;

    // The clipboard is held open from OpenClipboard to CloseClipboard; OpenClipboard is false
    // when another program holds it.
    virtual bool OpenClipboard() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual void CloseClipboard() = 0;

    // Asks the desktop to open the address (a web page) with its usual program.
    virtual void OpenWebAddress(const std::string& address) = 0;
};

// Makes the windows of one platform. The program's entry point (or a test) registers one;
// without one, or when it cannot make a view, no window can be shown.
class CWindowHost {
public:
    virtual ~CWindowHost() = default;

    // A view for the dialog, or null when no window can be shown (no display).
    virtual std::unique_ptr<CDialogView> CreateView(CDialog& dialog) = 0;
};

// Registers the host (null: none); the caller keeps it alive while it is registered.
void SetWindowHost(CWindowHost* host);
CWindowHost* GetWindowHost();
