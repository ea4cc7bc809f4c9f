#pragma once

#include "ui/toolkit/Object.h"

class CDialog;

// The application object: exactly one exists, a static object of a derived class.
class CWinApp : public CObject {
public:
    CWinApp();
    ~CWinApp() override;

    // Returns false when no message loop is to follow.
    virtual bool InitInstance() = 0;

    // Runs InitInstance and returns the process's exit status.
    int Run();
    void SetExitCode(int exitCode) { m_exitCode = exitCode; }

    CDialog* m_pMainWnd = nullptr;

private:
    int m_exitCode = 0;
};

CWinApp* AfxGetApp();
