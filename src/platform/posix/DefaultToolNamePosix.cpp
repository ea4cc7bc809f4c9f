#include "platform/Platform.h"

std::string DefaultToolName(const std::string& baseName) { return baseName; }
