#include "WxTestSupport.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>

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

void SendCommand(wxWindow& control, wxEventType type, int index) {
    wxCommandEvent event(type, control.GetId());
    event.SetEventObject(&control);
    event.SetInt(index);
    control.ProcessWindowEvent(event);
}

}  // namespace

void WxTest::SetUp() {
    if (!g_environment->Started()) GTEST_SKIP() << "no display to open windows on";
}

int RunInWindow(CDialog& dialog, const std::function<void(CWxDialogView& view)>& script) {
    wxTheApp->CallAfter([&dialog, script] {
        if (auto* view = dynamic_cast<CWxDialogView*>(dialog.GetView())) {
            script(*view);
            if (!dialog.HasEnded()) view->GetWindow()->Close();
        }
    });
    return dialog.DoModal();
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
