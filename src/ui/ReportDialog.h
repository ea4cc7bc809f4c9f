#pragma once

#include <string>
#include <vector>

#include "res/Resource.h"
#include "ui/toolkit/Dialog.h"

// A long text, read-only, in a window that scrolls instead of growing past the screen.
class CReportDialog : public CDialog {
public:
    enum { IDD = IDD_REPORT };

    explicit CReportDialog(const std::string& report, CDialog* parent = nullptr);
    ~CReportDialog() override;

    bool OnInitDialog() override;

protected:
    const std::vector<SMessageEntry>& GetMessageTable() const override;

private:
    std::string m_report;
};

// Shows a report to the user who asked for it: printed on the console the program was started
// from where there is one (on Linux always standard output), otherwise in the report window;
// without any window, as a line on standard error. False, with the system's reason in error
// (when given), when the console would not take all of it.
bool ShowReport(const std::string& report, std::string* error = nullptr);
