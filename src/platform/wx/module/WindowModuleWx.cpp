// The entry point of the window module: pelkar loads it only for a run that shows a window.

#include "platform/wx/WindowHostWx.h"

extern "C" __attribute__((visibility("default"))) CWindowHost* PelkarCreateWindowHost() {
    return new CWxWindowHost();
}
