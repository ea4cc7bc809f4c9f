#pragma once

#include <memory>

#include "ui/toolkit/DialogView.h"

// The window host of this build, or null when no window can be shown (no display, or a build
// without one); then message boxes become console lines and the window does not open. Making
// the host opens nothing yet: that waits for the first window or box.
std::unique_ptr<CWindowHost> CreateWindowHost();
