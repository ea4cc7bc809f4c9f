#pragma once

#include <vector>

#include "res/Resource.h"
#include "ui/toolkit/Dialog.h"

// The About box: the program's name and version, a copyright line and the web page.
class CAboutDialog : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    explicit CAboutDialog(CDialog* parent = nullptr);
    ~CAboutDialog() override;

    bool OnInitDialog() override;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override;

    void OnVisitWebSite();
};
