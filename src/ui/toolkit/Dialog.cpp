#include "ui/toolkit/Dialog.h"

#include "model/ProcessArguments.h"
#include "platform/Platform.h"

CDialog::CDialog(int templateId, CDialog* parent) : m_templateId(templateId), m_parent(parent) {}

CDialog::~CDialog() = default;

int CDialog::DoModal() {
    m_ended = false;
    m_result = IDCANCEL;
    OnInitDialog();
    if (!m_ended) {
        if (!IsDisplayAvailable()) {
            WriteConsoleMessage(GetApplicationTitle(),
                                "No display is available, so the window cannot open.");
        }
        return IDCANCEL;
    }
    return m_result;
}

bool CDialog::OnInitDialog() { return true; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    m_ended = true;
    m_result = result;
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned style) {
    WriteConsoleMessage(caption.empty() ? GetApplicationTitle() : caption, text);
    // A question nobody can see is answered No, so nothing is changed on its account.
    return (style & MB_YESNO) ? IDNO : IDOK;
}
