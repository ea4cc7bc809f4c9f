#include "app/PELKARApp.h"

#include "app/PELKARDialog.h"

CPELKARApp theApp;

bool CPELKARApp::InitInstance() {
    CPELKARDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    SetExitCode(dialog.ExitStatus());
    m_pMainWnd = nullptr;
    // No message loop follows: the process ends here.
    return false;
}
