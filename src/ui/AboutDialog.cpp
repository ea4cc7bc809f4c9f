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

bool CAboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(kAboutCaption);
    SetDlgItemText(IDC_ABOUT_LINE1, kProductTitle);
    SetDlgItemText(IDC_ABOUT_LINE2, kCopyrightLine);
    return true;
}

void CAboutDialog::OnVisitWebSite() {
    OpenWebAddress(kProductWebPage);
}
