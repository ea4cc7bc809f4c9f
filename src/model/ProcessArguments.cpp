#include "model/ProcessArguments.h"

namespace {

const char* const kDefaultTitle = "pelkar";

std::vector<std::string>& StoredArguments() {
    static std::vector<std::string> arguments{kDefaultTitle};
    return arguments;
}

std::string WithoutDirectory(const std::string& path) {
    // Both separators, so a path given the Windows way loses its folders too.
    const std::string::size_type slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithoutExtension(const std::string& fileName) {
    const std::string::size_type dot = fileName.rfind('.');
    return dot == std::string::npos || dot == 0 ? fileName : fileName.substr(0, dot);
}

}  // namespace

void SetProcessArguments(const std::vector<std::string>& arguments) {
    StoredArguments() = arguments;
}

const std::vector<std::string>& GetProcessArguments() {
    return StoredArguments();
}

int GetProcessArgumentCount() {
    return static_cast<int>(StoredArguments().size());
}

std::string GetProgramPath() {
    const std::vector<std::string>& arguments = StoredArguments();
    return arguments.empty() ? std::string() : arguments.front();
}

std::string GetApplicationTitle() {
    const std::string title = WithoutExtension(WithoutDirectory(GetProgramPath()));
    return title.empty() ? kDefaultTitle : title;
}
