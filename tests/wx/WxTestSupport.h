#pragma once

#include <gtest/gtest.h>
#include <wx/gdicmn.h>
#include <wx/modalhook.h>
#include <wx/string.h>

#include <functional>
#include <ostream>
#include <vector>

#include "platform/wx/DialogViewWx.h"
#include "ui/toolkit/Dialog.h"

class wxMenuEvent;
class wxWindow;

// The wxWidgets host, registered and started once for the whole test program; tests that need
// a window are skipped when no display can be opened.
class WxTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Runs the dialog modally in a window; the script runs inside the modal loop with the dialog's
// view, and a dialog still open afterwards is closed through its close box. Returns DoModal's
// result.
int RunInWindow(CDialog& dialog, const std::function<void(CWxDialogView& view)>& script);

// Points read as "(x, y)" in failure messages.
void PrintTo(const wxPoint& point, std::ostream* out);

// What the user does to a control, as the toolkit reports it.
void ClickButton(wxWindow& button);
void ToggleCheckBox(wxWindow& checkBox);
void TypeText(wxWindow& edit, const wxString& text);
void PickListItem(wxWindow& list, int index);
void DoubleClickListItem(wxWindow& list, int index);
// A key pressed while the window has the focus; true when the window consumed it.
bool PressKey(wxWindow& window, int keyCode);

// How the user leaves a message box.
enum class EBoxExit { Escape, CloseBox, YesButton, OkButton };

// While it exists, every message box that opens is left the way given, through the real box:
// the one wxWidgets draws gets the key or the close request as wxWidgets would pass them on,
// the desktop's own gets them as the desktop's toolkit would.
class CMessageBoxLeaver : public wxModalDialogHook {
public:
    explicit CMessageBoxLeaver(EBoxExit exit);
    ~CMessageBoxLeaver() override;
    CMessageBoxLeaver(const CMessageBoxLeaver&) = delete;
    CMessageBoxLeaver& operator=(const CMessageBoxLeaver&) = delete;

    int BoxesShown() const { return static_cast<int>(m_messages.size()); }
    // The texts of the boxes shown, in order.
    const std::vector<wxString>& Messages() const { return m_messages; }

protected:
    int Enter(wxDialog* dialog) override;
    void Exit(wxDialog* dialog) override;

private:
    bool IsOpen(const wxDialog* dialog) const;
    void Leave(wxDialog& box) const;

    EBoxExit m_exit;
    // The boxes being shown; a box drawn by wxWidgets enters twice, once as a dialog.
    std::vector<wxDialog*> m_open;
    std::vector<wxString> m_messages;
};

// Sees where the desktop shows the window's next popup menu on the screen, and closes that menu
// again at once, as Esc would.
class CPopupMenuWatcher {
public:
    explicit CPopupMenuWatcher(wxWindow& window);
    ~CPopupMenuWatcher();
    CPopupMenuWatcher(const CPopupMenuWatcher&) = delete;
    CPopupMenuWatcher& operator=(const CPopupMenuWatcher&) = delete;

    // The menu's top left corner on the screen; wxDefaultPosition while none has opened.
    wxPoint ShownAt() const { return m_shownAt; }

private:
    void OnMenuOpen(wxMenuEvent& event);

    wxWindow& m_window;
    wxPoint m_shownAt = wxDefaultPosition;
};

// A context-menu request as the toolkit passes it to the window: from a right click at the
// point on the screen, or from the keyboard (Shift+F10, the Menu key) with no position.
void RequestContextMenu(wxWindow& window, const wxPoint& screenPosition = wxDefaultPosition);
