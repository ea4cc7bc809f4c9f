#include "platform/wx/WindowHostWx.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>

#include "model/ProcessArguments.h"
#include "platform/wx/DialogViewWx.h"
#include "ui/toolkit/Dialog.h"

namespace {

// The window of the dialog's owner, when the owner is shown by this host.
wxWindow* OwnerWindowOf(const CDialog& dialog) {
    const CDialog* owner = dialog.GetOwner();
    const auto* view = owner ? dynamic_cast<const CWxDialogView*>(owner->GetView()) : nullptr;
    return view ? view->GetWindow() : nullptr;
}

}  // namespace

CWxWindowHost::~CWxWindowHost() {
    if (m_state == EToolkitState::Running) wxEntryCleanup();
}

// Only the program's name goes to the toolkit: the program's own options are not the
// toolkit's to read.
bool CWxWindowHost::Start() {
    if (m_state == EToolkitState::NotStarted) {
        m_programName = GetProgramPath();
        char* arguments[] = {m_programName.data(), nullptr};
        int count = 1;
        wxApp::SetInstance(new wxApp());
        m_state =
            wxEntryStart(count, arguments) ? EToolkitState::Running : EToolkitState::Unavailable;
    }
    return m_state == EToolkitState::Running;
}

std::unique_ptr<CDialogView> CWxWindowHost::CreateView(CDialog& dialog) {
    if (!Start()) return nullptr;
    return std::make_unique<CWxDialogView>(dialog, OwnerWindowOf(dialog));
}
