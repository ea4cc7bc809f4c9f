#include "platform/wx/DialogViewWx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/log.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <utility>

#include "platform/wx/AppIconWx.h"
#include "platform/wx/ChoosersWx.h"
#include "platform/wx/ControlsWx.h"
#include "platform/wx/DialogUnitsWx.h"
#include "platform/wx/KeysWx.h"
#include "platform/wx/MessageBoxWx.h"
#include "platform/wx/TextWx.h"
#include "ui/toolkit/Dialog.h"
#include "ui/toolkit/ScopedFlag.h"

namespace {

long WindowStyle(const CDialog& dialog) {
    const SDialogTemplate* dialogTemplate = dialog.GetTemplate();
    const unsigned style = dialogTemplate ? dialogTemplate->style : DialogCaption;
    long windowStyle = 0;
    if (style & DialogCaption) windowStyle |= wxCAPTION;
    if (style & DialogSystemMenu) windowStyle |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (style & DialogMinimizeBox) windowStyle |= wxMINIMIZE_BOX;
    if (dialog.HasMaximizeBox()) windowStyle |= wxMAXIMIZE_BOX;
    return windowStyle;
}

void ShowLabel(wxWindow& window, const std::string& text) {
    const wxString label = ToWx(text);
    if (window.GetLabel() != label) window.SetLabel(label);
}

}  // namespace

CWxDialogView::CWxDialogView(CDialog& dialog, wxWindow* owner)
    : m_dialog(dialog),
      m_window(new wxDialog(owner, wxID_ANY, ToWx(dialog.GetWindowText()), wxDefaultPosition,
                            wxDefaultSize, WindowStyle(dialog))) {
    m_window->SetFont(DialogFont());
    if (const SDialogTemplate* dialogTemplate = dialog.GetTemplate()) {
        CreateControls(*dialogTemplate);
        for (const auto& control : m_controls) ShowControlState(control.first);
        LayOut(*dialogTemplate);
        const wxIconBundle icons = WindowIconsWx(dialogTemplate->iconId);
        if (!icons.IsEmpty()) m_window->SetIcons(icons);
    }
    BindWindowInput();
    m_window->Centre();
}

CWxDialogView::~CWxDialogView() {
    // Whatever the toolkit reports while the window goes is no input of the user.
    m_showingState = true;
    delete m_window;
}

wxWindow* CWxDialogView::FindControlWindow(int controlId) const {
    const auto found = m_controls.find(controlId);
    return found == m_controls.end() ? nullptr : found->second.window;
}

void CWxDialogView::CreateControls(const SDialogTemplate& dialogTemplate) {
    for (const SControlTemplate& control : dialogTemplate.controls) {
        if (IsFrameKind(control.kind)) AddControl(control);
    }
    for (const SControlTemplate& control : dialogTemplate.controls) {
        if (!IsFrameKind(control.kind)) AddControl(control);
    }
}

void CWxDialogView::AddControl(const SControlTemplate& control) {
    wxWindow* window = CreateControlWx(m_window, control);
    if (!window) return;
    m_allControls.push_back({&control, window});
    if (control.id <= 0) return;
    m_controls[control.id] = {&control, window};
    BindControlInput(control.id, control.kind, window);
}

// The desktop's font may need more room for a text than the template's font did; then the
// whole layout widens evenly, so the controls keep their places relative to each other.
void CWxDialogView::LayOut(const SDialogTemplate& dialogTemplate) {
    CWxDialogUnits units = CWxDialogUnits::OfFont(*m_window);
    for (const SShownControl& control : m_allControls) {
        units = units.WidenedToHold(NeededWidthWx(*control.window, *control.source),
                                    control.source->rect.width);
    }
    for (const SShownControl& control : m_allControls) {
        PlaceControlWx(*control.window, *control.source, units);
    }
    m_window->SetClientSize(units.ToPixels(dialogTemplate.width, dialogTemplate.height));
}

void CWxDialogView::BindControlInput(int id, EControlKind kind, wxWindow* window) {
    window->Bind(wxEVT_SET_FOCUS, [this, id, window](wxFocusEvent& event) {
        event.Skip();
        // A focus event that arrives after the focus moved on is stale.
        if (!m_windowOpen || wxWindow::FindFocus() != window) return;
        ReportInput(id, [this, id] { m_dialog.UserSetFocus(id); });
    });
    switch (kind) {
        case EControlKind::PushButton:
            window->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) {
                ReportInput(id, [this, id] { m_dialog.UserClick(id); });
            });
            break;
        case EControlKind::CheckBox:
            window->Bind(wxEVT_CHECKBOX, [this, id](wxCommandEvent&) {
                ReportInput(id, [this, id] { m_dialog.UserClick(id); });
            });
            break;
        case EControlKind::Edit: {
            auto* edit = static_cast<wxTextCtrl*>(window);
            edit->Bind(wxEVT_TEXT, [this, id, edit](wxCommandEvent&) { ReportTyping(id, *edit); });
            break;
        }
        case EControlKind::ListBox:
            window->Bind(wxEVT_LISTBOX, [this, id](wxCommandEvent& event) {
                const int index = event.GetSelection();
                ReportInput(id, [this, id, index] { m_dialog.UserSelectItem(id, index); });
            });
            window->Bind(wxEVT_LISTBOX_DCLICK, [this, id](wxCommandEvent& event) {
                const int index = event.GetSelection();
                ReportInput(id, [this, id, index] { m_dialog.UserDoubleClickItem(id, index); });
            });
            break;
        case EControlKind::ComboBox:
            window->Bind(wxEVT_CHOICE, [this, id](wxCommandEvent& event) {
                const int index = event.GetSelection();
                ReportInput(id, [this, id, index] { m_dialog.UserSelectItem(id, index); });
            });
            break;
        default:
            break;
    }
}

void CWxDialogView::BindWindowInput() {
    m_window->Bind(wxEVT_CHAR_HOOK, &CWxDialogView::OnCharHook, this);
    m_window->Bind(wxEVT_CLOSE_WINDOW, &CWxDialogView::OnCloseWindow, this);
    m_window->Bind(wxEVT_CONTEXT_MENU, &CWxDialogView::OnContextMenu, this);
}

// The dialog chose its first focus before the window existed. While the window opens, the
// desktop gives the focus to a control of its own choosing; that is not the user's doing.
void CWxDialogView::RunModal() {
    if (m_dialog.HasEnded()) return;
    ShowFocus();
    m_window->CallAfter([this] {
        m_windowOpen = true;
        ShowFocus();
    });
    m_window->ShowModal();
}

void CWxDialogView::ControlChanged(int controlId) {
    ShowControlState(controlId);
}

void CWxDialogView::FocusChanged(int) {
    ShowFocus();
}

void CWxDialogView::CaptionChanged() {
    m_window->SetTitle(ToWx(m_dialog.GetWindowText()));
}

void CWxDialogView::Ended() {
    if (m_window->IsModal()) m_window->EndModal(wxID_OK);
}

// The desktop's rows are higher than the template's lines, so the window counts them itself.
int CWxDialogView::VisibleItemCount(int controlId) const {
    const auto* list = dynamic_cast<const wxListBox*>(FindControlWindow(controlId));
    return list ? std::max(0, list->GetCountPerPage()) : 0;
}

void CWxDialogView::ShowControlState(int id) {
    const auto found = m_controls.find(id);
    if (found == m_controls.end()) return;
    const CScopedFlag showing(m_showingState);
    wxWindow& window = *found->second.window;
    const bool enabled = m_dialog.IsDlgItemEnabled(id);
    if (window.IsThisEnabled() != enabled) window.Enable(enabled);
    switch (found->second.source->kind) {
        case EControlKind::Edit:
            ShowEditState(id, static_cast<wxTextCtrl&>(window));
            break;
        case EControlKind::ListBox:
        case EControlKind::ComboBox:
            ShowItems(id, static_cast<wxControlWithItems&>(window), found->second.source->kind);
            break;
        case EControlKind::CheckBox: {
            ShowLabel(window, m_dialog.GetDlgItemText(id));
            auto& check = static_cast<wxCheckBox&>(window);
            const bool checked = m_dialog.IsDlgButtonChecked(id) != 0;
            if (check.GetValue() != checked) check.SetValue(checked);
            break;
        }
        case EControlKind::EtchedLine:
            break;
        default:
            ShowLabel(window, m_dialog.GetDlgItemText(id));
            break;
    }
}

void CWxDialogView::ShowEditState(int id, wxTextCtrl& edit) {
    const std::string text = m_dialog.GetDlgItemText(id);
    const wxString shown = ToWx(text);
    const bool textChanged = edit.GetValue() != shown;
    if (textChanged) edit.ChangeValue(shown);

    SEditSelection selection = {0, 0};
    m_dialog.GetEditSel(id, &selection.start, &selection.end);
    const auto last = m_shownSelections.find(id);
    const bool selectionChanged = last == m_shownSelections.end() ||
                                  last->second.start != selection.start ||
                                  last->second.end != selection.end;
    m_shownSelections[id] = selection;
    if (id == m_typingControlId || (!textChanged && !selectionChanged)) return;
    edit.SetSelection(CharacterOffset(text, selection.start), CharacterOffset(text, selection.end));
}

void CWxDialogView::ShowItems(int id, wxControlWithItems& list, EControlKind kind) {
    wxArrayString items;
    const int count = m_dialog.GetCount(id);
    for (int i = 0; i < count; ++i) items.Add(ToWx(m_dialog.GetItemText(id, i)));
    if (list.GetStrings() != items) list.Set(items);

    const int selection = m_dialog.GetCurSel(id);
    if (list.GetSelection() == selection) return;
    if (selection >= 0) {
        list.SetSelection(selection);
        if (kind == EControlKind::ListBox) static_cast<wxListBox&>(list).EnsureVisible(selection);
    } else if (kind == EControlKind::ListBox) {
        static_cast<wxListBox&>(list).DeselectAll();
    } else {
        list.SetSelection(wxNOT_FOUND);
    }
}

void CWxDialogView::ShowFocus() {
    wxWindow* control = FindControlWindow(m_dialog.GetFocusId());
    if (!control || wxWindow::FindFocus() == control) return;
    const CScopedFlag showing(m_showingState);
    control->SetFocus();
}

void CWxDialogView::ReportInput(int controlId, const std::function<void()>& input) {
    if (m_showingState || m_dialog.HasEnded()) return;
    input();
    ShowControlState(controlId);
}

void CWxDialogView::ReportTyping(int id, wxTextCtrl& edit) {
    const std::string text = FromWx(edit.GetValue());
    const int previous = std::exchange(m_typingControlId, id);
    ReportInput(id, [this, id, &text] { m_dialog.UserTypeText(id, text); });
    m_typingControlId = previous;
}

// Every key goes to the dialog first, which may take it (Tab, Enter, Esc, a key that changes a
// list's selection); the others go on to the control with the focus.
void CWxDialogView::OnCharHook(wxKeyEvent& event) {
    const unsigned key = VirtualKeyOf(event.GetKeyCode());
    bool consumed = false;
    if (key != 0) {
        ReportInput(0, [this, key, &consumed, &event] {
            consumed = m_dialog.UserKeyDown(key, event.ShiftDown());
        });
    }
    if (!consumed) event.Skip();
}

// The close box: the dialog decides whether and how it ends.
void CWxDialogView::OnCloseWindow(wxCloseEvent& event) {
    ReportInput(0, [this] { m_dialog.UserClose(); });
    if (!m_dialog.HasEnded() && event.CanVeto()) event.Veto();
}

// The desktop draws no system menu of the window's own, so the entries the dialog added to it
// open from the window's context menu, on a click into the window's free space or from the
// keyboard (Shift+F10, the Menu key).
void CWxDialogView::OnContextMenu(wxContextMenuEvent& event) {
    if (event.GetEventObject() != m_window) {
        event.Skip();
        return;
    }
    wxMenu menu;
    for (const SSystemMenuItem& item : m_dialog.GetSystemMenuItems()) {
        if (item.commandId != 0) {
            menu.Append(static_cast<int>(item.commandId), ToWx(item.text));
        } else if (menu.GetMenuItemCount() > 0) {
            menu.AppendSeparator();
        }
    }
    if (menu.GetMenuItemCount() == 0) return;
    const int chosen =
        m_window->GetPopupMenuSelectionFromUser(menu, WindowMenuPosition(event.GetPosition()));
    if (chosen == wxID_NONE) return;
    ReportInput(0, [this, chosen] { m_dialog.UserSystemCommand(static_cast<unsigned>(chosen)); });
}

// A click opens the menu where it was made. The keyboard gives no position: then the menu opens
// at the control with the focus, or else at the client area's top left, and not at the mouse
// pointer, which may be anywhere on the screen.
wxPoint CWxDialogView::WindowMenuPosition(const wxPoint& screenPosition) const {
    if (screenPosition != wxDefaultPosition) return m_window->ScreenToClient(screenPosition);
    const wxWindow* focused = FindControlWindow(m_dialog.GetFocusId());
    return focused ? focused->GetPosition() : wxPoint(0, 0);
}

int CWxDialogView::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    return ShowMessageBoxWx(m_window, text, caption, style);
}

bool CWxDialogView::ChooseFile(const SFileChooserRequest& request, std::string* path) {
    return ChooseFileWx(m_window, request, path);
}

bool CWxDialogView::ChooseFolder(const SFolderChooserRequest& request, std::string* path) {
    return ChooseFolderWx(m_window, request, path);
}

// Held open already, the clipboard cannot be opened again, as when another program holds it.
bool CWxDialogView::OpenClipboard() {
    return !wxTheClipboard->IsOpened() && wxTheClipboard->Open();
}

void CWxDialogView::SetClipboardText(const std::string& text) {
    if (wxTheClipboard->IsOpened()) wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
}

// The text is handed to the desktop's clipboard keeper, where there is one, so it stays on the
// clipboard after the program has ended.
void CWxDialogView::CloseClipboard() {
    if (!wxTheClipboard->IsOpened()) return;
    wxTheClipboard->Close();
    wxTheClipboard->Flush();
}

// The page opens or not; as with the shell's open verb, nothing is reported.
void CWxDialogView::OpenWebAddress(const std::string& address) {
    const wxLogNull quiet;
    wxLaunchDefaultBrowser(ToWx(address));
}
