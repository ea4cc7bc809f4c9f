#include "ui/AboutDialog.h"

#include "res/ProductInfo.h"

CAboutDialog::CAboutDialog(CDialog* parent) : CDialog(IDD, parent) {}

CAboutDialog::~CAboutDialog() = default;

const std::vector<CDialog::SMessageEntry>& CAboutDialog::GetMessageTable() const {
    static const std::vector<SMessageEntry> table = {
        {IDC_VISIT_WEB_SITE, BN_CLICKED, Bind(&CAboutDialog::OnVisitWebSite)},
        {IDC_CLOSE, BN_CLICKED, Bind(&CDialog::OnOK)},
    };
    return table;
}

// The focus starts on the default button, so that Enter closes the box instead of pressing
// "Visit Web Site", the first in tab order; false, since the focus is set here.
bool CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(kAboutCaption);
    SetDlgItemText(IDC_ABOUT_LINE1, kProductTitle);
    SetDlgItemText(IDC_ABOUT_LINE2, kCopyrightLine);
    GotoDlgCtrl(IDC_CLOSE);
    return false;
}

void CAboutDialog::OnVisitWebSite() {
    OpenWebAddress(kProductWebPage);
}
