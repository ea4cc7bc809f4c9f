#include "platform/Platform.h"

// A Windows program of this kind has no console to print on; the caller shows its help box.
bool WriteUsageToConsole(const std::string&) {
    return false;
}
