// The user's input into a running dialog: the controls' own reactions and the standard dialog
// keyboard handling, shared by every window host and by the scripted tests.

#include <algorithm>
#include <cctype>

#include "ui/toolkit/ControlState.h"
#include "ui/toolkit/Dialog.h"

namespace {

int SetFocusNotification(EControlKind kind) {
    switch (kind) {
        case EControlKind::Edit:
            return EN_SETFOCUS;
        case EControlKind::ListBox:
            return LBN_SETFOCUS;
        case EControlKind::ComboBox:
            return CBN_SETFOCUS;
        default:
            return BN_SETFOCUS;
    }
}

int KillFocusNotification(EControlKind kind) {
    switch (kind) {
        case EControlKind::Edit:
            return EN_KILLFOCUS;
        case EControlKind::ListBox:
            return LBN_KILLFOCUS;
        case EControlKind::ComboBox:
            return CBN_KILLFOCUS;
        default:
            return BN_KILLFOCUS;
    }
}

bool IsLetterOrDigit(unsigned key) {
    return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
}

}  // namespace

bool CDialog::AcceptsInput(const SControlState* control) const {
    return control && control->enabled && !m_ended;
}

bool CDialog::UserTypeText(int id, const std::string& text) {
    SControlState* control = FindControl(id);
    if (!AcceptsInput(control) || !control->IsEdit()) return false;
    MoveFocus(id);
    control->text = text;
    control->selectionStart = control->selectionEnd = static_cast<int>(text.size());
    ControlChanged(id);
    Notify(id, EN_CHANGE);
    return true;
}

bool CDialog::UserClick(int id) {
    SControlState* control = FindControl(id);
    if (!AcceptsInput(control) || !control->IsButtonOrCheck()) return false;
    MoveFocus(id);
    // Losing the focus may have made another control's handler disable this one.
    if (!AcceptsInput(control)) return false;
    if (control->Kind() == EControlKind::CheckBox) {
        control->check = control->check ? 0 : 1;
        ControlChanged(id);
    }
    Notify(id, BN_CLICKED);
    return true;
}

bool CDialog::UserSelectItem(int id, int index) {
    SControlState* control = FindControl(id);
    if (!AcceptsInput(control) || !control->IsListOrCombo()) return false;
    if (index < 0 || index >= control->Count()) return false;
    MoveFocus(id);
    ChangeSelection(*control, index);
    if (m_openComboId == id) CloseComboList();
    return true;
}

bool CDialog::UserDoubleClickItem(int id, int index) {
    SControlState* control = FindControl(id);
    if (!control || control->Kind() != EControlKind::ListBox) return false;
    if (!UserSelectItem(id, index)) return false;
    if (!m_ended) Notify(id, LBN_DBLCLK);
    return true;
}

bool CDialog::UserOpenComboList(int id) {
    SControlState* control = FindControl(id);
    if (!AcceptsInput(control) || control->Kind() != EControlKind::ComboBox) return false;
    MoveFocus(id);
    m_openComboId = id;
    ControlChanged(id);
    Notify(id, CBN_DROPDOWN);
    return true;
}

bool CDialog::UserSetFocus(int id) {
    SControlState* control = FindControl(id);
    if (!AcceptsInput(control) || !control->CanTakeFocus()) return false;
    MoveFocus(id);
    return true;
}

bool CDialog::UserKeyDown(unsigned key, bool shift) {
    if (m_ended) return false;
    MSG msg = {WM_KEYDOWN, key, 0};
    if (PreTranslateMessage(&msg) || m_ended) return true;
    return HandleDialogKey(msg.wParam, shift);
}

void CDialog::UserSystemCommand(unsigned commandId) {
    if (!m_ended) OnSysCommand(commandId, 0);
}

void CDialog::UserClose() {
    UserSystemCommand(SC_CLOSE);
}

bool CDialog::HandleDialogKey(unsigned key, bool shift) {
    SControlState* focused = FindControl(m_focusId);
    switch (key) {
        case 0:  // a key that PreTranslateMessage took away
            return true;
        case VK_TAB:
            CloseComboList();
            return TabToNextControl(shift);
        case VK_RETURN:
            return PressEnter();
        case VK_ESCAPE:
            if (m_openComboId != 0) {
                CloseComboList();
            } else {
                Notify(IDCANCEL, BN_CLICKED);
            }
            return true;
        case VK_F1: {
            HELPINFO info = {m_focusId};
            OnHelpInfo(&info);
            return true;
        }
        case VK_SPACE:
            // In a list, Space selects the row it is on, which is the selected one already.
            if (focused && focused->Kind() == EControlKind::ListBox) return true;
            if (!focused || !focused->IsButtonOrCheck()) return false;
            UserClick(m_focusId);
            return true;
        default:
            if (!focused || !focused->IsListOrCombo()) return false;
            return MoveSelectionByKey(*focused, key) || SelectItemByLetter(*focused, key);
    }
}

void CDialog::MoveFocus(int id) {
    if (id == m_focusId) return;
    const int previous = m_focusId;
    if (m_openComboId != 0 && m_openComboId == previous) CloseComboList();
    m_focusId = id;
    if (m_view) m_view->FocusChanged(id);
    if (const SControlState* lost = FindControl(previous)) {
        Notify(previous, KillFocusNotification(lost->Kind()));
    }
    if (const SControlState* gained = FindControl(id)) {
        Notify(id, SetFocusNotification(gained->Kind()));
    }
}

// Focus given by the dialog itself (Tab, the first focus, GotoDlgCtrl) selects an edit's text.
void CDialog::FocusAsDialog(int id) {
    MoveFocus(id);
    SControlState* control = FindControl(id);
    if (control && control->IsEdit()) SetEditSel(id, 0, -1);
}

// The first control in tab order that takes the focus; without one no control has it.
void CDialog::SetInitialFocus() {
    for (const SControlState& control : m_controls) {
        if (control.IsTabStop() && control.enabled && control.CanTakeFocus()) {
            FocusAsDialog(control.Id());
            return;
        }
    }
    MoveFocus(0);
}

bool CDialog::TabToNextControl(bool backwards) {
    const int count = static_cast<int>(m_controls.size());
    int current = -1;
    for (int i = 0; i < count; ++i) {
        if (m_controls[i].Id() == m_focusId && m_focusId > 0) current = i;
    }
    for (int step = 1; step <= count; ++step) {
        const int start = current < 0 ? (backwards ? count : -1) : current;
        const int index = ((backwards ? start - step : start + step) % count + count) % count;
        const SControlState& candidate = m_controls[index];
        if (candidate.IsTabStop() && candidate.enabled && candidate.CanTakeFocus()) {
            FocusAsDialog(candidate.Id());
            return true;
        }
    }
    return true;
}

// Enter closes an open combo list, else presses the focused push button, else the default
// button when it is enabled. A dialog without a default button ignores Enter elsewhere, so
// Enter never confirms a dialog whose confirming button is disabled or missing.
bool CDialog::PressEnter() {
    if (m_openComboId != 0) {
        CloseComboList();
        return true;
    }
    const SControlState* focused = FindControl(m_focusId);
    if (focused && focused->enabled && focused->Kind() == EControlKind::PushButton) {
        Notify(m_focusId, BN_CLICKED);
        return true;
    }
    for (const SControlState& control : m_controls) {
        if (control.Kind() == EControlKind::PushButton &&
            (control.source->style & StyleDefaultButton) != 0) {
            if (control.enabled) Notify(control.Id(), BN_CLICKED);
            return true;
        }
    }
    return true;
}

bool CDialog::MoveSelectionByKey(SControlState& control, unsigned key) {
    int target = 0;
    if (!NavigationTarget(control, key, &target)) return false;
    if (target >= 0 && target < control.Count() && target != control.selection) {
        ChangeSelection(control, target);
    }
    return true;
}

// Where a key moves the selection: the arrows one item on (from nothing selected, to the first),
// and in a list box Home and End to the ends, Page Up and Page Down a page on, keeping one item
// of the old page in view. False for a key that moves nothing.
bool CDialog::NavigationTarget(const SControlState& control, unsigned key, int* target) const {
    const int from = control.selection;
    if (key == VK_UP || key == VK_LEFT || key == VK_DOWN || key == VK_RIGHT) {
        *target = from < 0 ? 0 : from + (key == VK_UP || key == VK_LEFT ? -1 : 1);
        return true;
    }
    if (control.Kind() != EControlKind::ListBox) return false;
    const int last = control.Count() - 1;
    const int page = std::max(1, ItemsPerPage(control) - 1);
    switch (key) {
        case VK_HOME:
            *target = 0;
            return true;
        case VK_END:
            *target = last;
            return true;
        case VK_PRIOR:
            *target = std::max(0, from - page);
            return true;
        case VK_NEXT:
            *target = std::min(last, std::max(from, 0) + page);
            return true;
        default:
            return false;
    }
}

// Without a window to ask, the template tells: a line of its font is 8 dialog units high, and
// the border takes about 2.
int CDialog::ItemsPerPage(const SControlState& control) const {
    const int shown = m_view ? m_view->VisibleItemCount(control.Id()) : 0;
    return shown > 0 ? shown : (control.source->rect.height - 2) / 8;
}

// A letter or digit selects the next item that begins with it, as list controls do.
bool CDialog::SelectItemByLetter(SControlState& control, unsigned key) {
    if (!IsLetterOrDigit(key)) return false;
    const int count = control.Count();
    for (int step = 1; step <= count; ++step) {
        const int index = (control.selection + step + count) % count;
        const std::string& item = control.items[index];
        if (!item.empty() && std::toupper(static_cast<unsigned char>(item[0])) == int(key)) {
            if (index != control.selection) ChangeSelection(control, index);
            break;
        }
    }
    return true;
}

void CDialog::ChangeSelection(SControlState& control, int index) {
    control.selection = index;
    ControlChanged(control.Id());
    Notify(control.Id(),
           control.Kind() == EControlKind::ListBox ? int(LBN_SELCHANGE) : int(CBN_SELCHANGE));
}

void CDialog::CloseComboList() {
    const int id = m_openComboId;
    if (id == 0) return;
    m_openComboId = 0;
    ControlChanged(id);
    Notify(id, CBN_CLOSEUP);
}
