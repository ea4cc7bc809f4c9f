#include "ui/toolkit/WinApp.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    InitInstance();
    return m_exitCode;
}

CWinApp* AfxGetApp() { return g_app; }
