#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "res/DialogTemplates.h"
#include "ui/toolkit/DialogView.h"

class wxCloseEvent;
class wxContextMenuEvent;
class wxControlWithItems;
class wxDialog;
class wxKeyEvent;
class wxPoint;
class wxTextCtrl;
class wxWindow;

// The window of one modal run of a dialog, made with wxWidgets from the dialog's template.
//
// It shows the dialog's state and reports what the user does through the dialog's User...
// entry points, which decide everything (keys included: they reach the dialog before any
// control sees them). A change the dialog makes itself is shown without being reported back,
// and after each input the touched control shows again what the dialog holds, so a refused
// input does not stay on screen.
class CWxDialogView : public CDialogView {
public:
    // The owner is the window of the dialog's owner, or null for a window of its own in the
    // task bar.
    CWxDialogView(CDialog& dialog, wxWindow* owner);
    ~CWxDialogView() override;
    CWxDialogView(const CWxDialogView&) = delete;
    CWxDialogView& operator=(const CWxDialogView&) = delete;

    wxDialog* GetWindow() const { return m_window; }
    // The window that shows the control, or null.
    wxWindow* FindControlWindow(int controlId) const;

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
    struct SShownControl {
        const SControlTemplate* source;
        wxWindow* window;
    };
    struct SEditSelection {
        int start;
        int end;
    };

    void CreateControls(const SDialogTemplate& dialogTemplate);
    void AddControl(const SControlTemplate& control);
    // Places the controls and sizes the window, in units wide enough for every text.
    void LayOut(const SDialogTemplate& dialogTemplate);
    void BindControlInput(int id, EControlKind kind, wxWindow* window);
    void BindWindowInput();

    void ShowControlState(int id);
    void ShowEditState(int id, wxTextCtrl& edit);
    void ShowItems(int id, wxControlWithItems& list, EControlKind kind);
    void ShowFocus();

    // Runs one input of the user through the dialog, unless it is the echo of a change shown
    // from the dialog, then shows the control's state again.
    void ReportInput(int controlId, const std::function<void()>& input);
    void ReportTyping(int id, wxTextCtrl& edit);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    wxPoint WindowMenuPosition(const wxPoint& screenPosition) const;

    CDialog& m_dialog;
    wxDialog* m_window;
    // Every control, and those the dialog addresses by id.
    std::vector<SShownControl> m_allControls;
    std::map<int, SShownControl> m_controls;
    // The edit selections last shown, so a selection is only set when the dialog changed it.
    std::map<int, SEditSelection> m_shownSelections;
    // Set while the dialog's state is being shown: the toolkit's events are then echoes.
    bool m_showingState = false;
    // Set once the window has opened and shows the dialog's first focus.
    bool m_windowOpen = false;
    // The edit being typed into: its caret stays where the user puts it.
    int m_typingControlId = 0;
};
