#include "ui/ReportDialog.h"

#include "platform/Console.h"

CReportDialog::CReportDialog(const std::string& report, CDialog* parent)
    : CDialog(IDD, parent), m_report(report) {}

CReportDialog::~CReportDialog() = default;

const std::vector<CDialog::SMessageEntry>& CReportDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> table = {
        {IDC_REPORT_OK, BN_CLICKED, Bind(&CDialog::OnOK)},
    };
    return table;
}

// The report opens at its first line, with the caret there instead of the whole text selected
// (which would scroll it to its end); false, since the focus is set here.
bool CReportDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetDlgItemText(IDC_REPORT_TEXT, m_report);
    GotoDlgCtrl(IDC_REPORT_TEXT);
    SetEditSel(IDC_REPORT_TEXT, 0, 0);
    return false;
}

bool ShowReport(const std::string& report, std::string* error) {
    const EConsoleWrite written = WriteToStartingConsole(report, error);
    if (written != EConsoleWrite::NoConsole) return written == EConsoleWrite::Written;
    if (!GetWindowHost()) {
        WriteConsoleMessage("PELKAR", report);
        return true;
    }
    CReportDialog dialog(report);
    dialog.DoModal();
    return true;
}
