#include "ui/toolkit/DialogView.h"

namespace {
CWindowHost* g_windowHost = nullptr;
}

void SetWindowHost(CWindowHost* host) {
    g_windowHost = host;
}

CWindowHost* GetWindowHost() {
    return g_windowHost;
}
