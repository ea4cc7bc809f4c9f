#include "model/ProcessArguments.h"
#include "platform/ProcessCommandLine.h"

// The system hands over an argument vector; joined with single spaces it reads like the line
// the host wrote.
std::string GetProcessCommandLine() {
    const std::vector<std::string>& arguments = GetProcessArguments();
    std::string line;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        line += (i == 0 ? "" : " ") + arguments[i];
    }
    return line;
}
