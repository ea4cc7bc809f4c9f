// The window host of a build without one: no window can be shown.

#include "platform/WindowHost.h"

std::unique_ptr<CWindowHost> CreateWindowHost() {
    return nullptr;
}
