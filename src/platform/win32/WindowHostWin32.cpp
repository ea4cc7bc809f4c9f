#include "platform/WindowHost.h"

std::unique_ptr<CWindowHost> CreateWindowHost() {
    return nullptr;
}
