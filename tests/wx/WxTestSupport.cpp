#include "WxTestSupport.h"

#include <dlfcn.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
// Only after the desktop's own box, whose declarations it builds on.
#include <wx/generic/msgdlgg.h>

#include <algorithm>
#include <memory>

#include "platform/wx/WindowHostWx.h"

namespace {

class CWxEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_host = std::make_unique<CWxWindowHost>();
        m_started = m_host->Start();
        if (m_started) SetWindowHost(m_host.get());
    }
    // The toolkit shuts down here, before the program's static objects go.
    void TearDown() override {
        SetWindowHost(nullptr);
        m_host.reset();
    }
    bool Started() const { return m_started; }

private:
    std::unique_ptr<CWxWindowHost> m_host;
    bool m_started = false;
};

CWxEnvironment* const g_environment =
    static_cast<CWxEnvironment*>(::testing::AddGlobalTestEnvironment(new CWxEnvironment()));

// The desktop toolkit's responses of a Yes and an OK button.
constexpr int kDesktopYes = -8;
constexpr int kDesktopOk = -5;

void SendCommand(wxWindow& control, wxEventType type, int index) {
    wxCommandEvent event(type, control.GetId());
    event.SetEventObject(&control);
    event.SetInt(index);
    control.ProcessWindowEvent(event);
}

// A function of the desktop's toolkit, which wxWidgets has loaded.
template <class TFunction>
TFunction DesktopFunction(const char* name) {
    return reinterpret_cast<TFunction>(dlsym(RTLD_DEFAULT, name));
}

// The desktop's own box: Esc runs its "close" key binding, the close box asks it to close as
// the window manager would, and a button answers with its response.
void LeaveDesktopBox(void* box, EBoxExit exit) {
    switch (exit) {
        case EBoxExit::Escape:
            DesktopFunction<void (*)(void*, const char*, ...)>("g_signal_emit_by_name")(box,
                                                                                        "close");
            break;
        case EBoxExit::CloseBox:
            DesktopFunction<void (*)(void*)>("gtk_window_close")(box);
            break;
        case EBoxExit::YesButton:
            DesktopFunction<void (*)(void*, int)>("gtk_dialog_response")(box, kDesktopYes);
            break;
        case EBoxExit::OkButton:
            DesktopFunction<void (*)(void*, int)>("gtk_dialog_response")(box, kDesktopOk);
            break;
    }
}

}  // namespace

void WxTest::SetUp() {
    if (!g_environment->Started()) GTEST_SKIP() << "no display to open windows on";
}

namespace {

// Runs the script in the window's own modal loop. A box said as the window opens comes first;
// a timer, unlike a queued call, lets that box's loop go on while it waits.
class CScriptOnceModal : public wxTimer {
public:
    CScriptOnceModal(CDialog& dialog, const std::function<void(CWxDialogView& view)>& script)
        : m_dialog(dialog), m_script(script) {}

    void Notify() override {
        auto* view = dynamic_cast<CWxDialogView*>(m_dialog.GetView());
        if (!view || !view->GetWindow()->IsModal()) return;
        Stop();
        m_script(*view);
        if (!m_dialog.HasEnded()) view->GetWindow()->Close();
    }

private:
    CDialog& m_dialog;
    std::function<void(CWxDialogView& view)> m_script;
};

}  // namespace

int RunInWindow(CDialog& dialog, const std::function<void(CWxDialogView& view)>& script) {
    CScriptOnceModal runner(dialog, script);
    runner.Start(10);
    return dialog.DoModal();
}

void PrintTo(const wxPoint& point, std::ostream* out) {
    *out << "(" << point.x << ", " << point.y << ")";
}

void ClickButton(wxWindow& button) {
    SendCommand(button, wxEVT_BUTTON, 0);
}

void ToggleCheckBox(wxWindow& checkBox) {
    auto& check = static_cast<wxCheckBox&>(checkBox);
    check.SetValue(!check.GetValue());
    SendCommand(checkBox, wxEVT_CHECKBOX, check.GetValue() ? 1 : 0);
}

// Replacing the whole text raises the same change event as typing does.
void TypeText(wxWindow& edit, const wxString& text) {
    static_cast<wxTextCtrl&>(edit).SetValue(text);
}

void PickListItem(wxWindow& list, int index) {
    static_cast<wxListBox&>(list).SetSelection(index);
    SendCommand(list, wxEVT_LISTBOX, index);
}

void DoubleClickListItem(wxWindow& list, int index) {
    PickListItem(list, index);
    SendCommand(list, wxEVT_LISTBOX_DCLICK, index);
}

bool PressKey(wxWindow& window, int keyCode) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = keyCode;
    event.SetEventObject(&window);
    // A skipped key would go on to the control with the focus.
    event.Skip(false);
    window.ProcessWindowEvent(event);
    return !event.GetSkipped();
}

CMessageBoxLeaver::CMessageBoxLeaver(EBoxExit exit) : m_exit(exit) {
    Register();
}

CMessageBoxLeaver::~CMessageBoxLeaver() {
    Unregister();
}

// The box is left once its modal loop runs, and only if it is still shown by then.
int CMessageBoxLeaver::Enter(wxDialog* dialog) {
    const auto* box = dynamic_cast<wxMessageDialogBase*>(dialog);
    if (!box) return wxID_NONE;
    const bool entered = IsOpen(dialog);
    m_open.push_back(dialog);
    if (entered) return wxID_NONE;
    m_messages.push_back(box->GetMessage());
    wxTheApp->CallAfter([this, dialog] {
        if (IsOpen(dialog)) Leave(*dialog);
    });
    return wxID_NONE;
}

void CMessageBoxLeaver::Exit(wxDialog* dialog) {
    const auto found = std::find(m_open.begin(), m_open.end(), dialog);
    if (found != m_open.end()) m_open.erase(found);
}

bool CMessageBoxLeaver::IsOpen(const wxDialog* dialog) const {
    return std::find(m_open.begin(), m_open.end(), dialog) != m_open.end();
}

void CMessageBoxLeaver::Leave(wxDialog& box) const {
    if (!dynamic_cast<wxGenericMessageDialog*>(&box)) {
        LeaveDesktopBox(box.GetHandle(), m_exit);
        return;
    }
    switch (m_exit) {
        case EBoxExit::Escape:
            PressKey(box, WXK_ESCAPE);
            break;
        case EBoxExit::CloseBox:
            box.Close();
            break;
        case EBoxExit::YesButton:
            ClickButton(*box.FindWindow(wxID_YES));
            break;
        case EBoxExit::OkButton:
            ClickButton(*box.FindWindow(wxID_OK));
            break;
    }
}

CPopupMenuWatcher::CPopupMenuWatcher(wxWindow& window) : m_window(window) {
    m_window.Bind(wxEVT_MENU_OPEN, &CPopupMenuWatcher::OnMenuOpen, this);
}

CPopupMenuWatcher::~CPopupMenuWatcher() {
    m_window.Unbind(wxEVT_MENU_OPEN, &CPopupMenuWatcher::OnMenuOpen, this);
}

// The menu is looked at once it shows, from inside its own loop, through the desktop's toolkit.
void CPopupMenuWatcher::OnMenuOpen(wxMenuEvent& event) {
    event.Skip();
    void* menu = event.GetMenu()->m_menu;
    wxTheApp->CallAfter([this, menu] {
        void* toplevel = DesktopFunction<void* (*)(void*)>("gtk_widget_get_toplevel")(menu);
        void* window = DesktopFunction<void* (*)(void*)>("gtk_widget_get_window")(toplevel);
        int x = 0;
        int y = 0;
        DesktopFunction<int (*)(void*, int*, int*)>("gdk_window_get_origin")(window, &x, &y);
        m_shownAt = wxPoint(x, y);
        DesktopFunction<void (*)(void*)>("gtk_menu_shell_cancel")(menu);
    });
}

void RequestContextMenu(wxWindow& window, const wxPoint& screenPosition) {
    wxContextMenuEvent event(wxEVT_CONTEXT_MENU, window.GetId(), screenPosition);
    event.SetEventObject(&window);
    window.ProcessWindowEvent(event);
}
