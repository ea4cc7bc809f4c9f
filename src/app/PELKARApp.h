#pragma once

#include "ui/toolkit/WinApp.h"

// The application: runs the main dialog once and ends.
class CPELKARApp : public CWinApp {
public:
    bool InitInstance() override;
};

extern CPELKARApp theApp;
