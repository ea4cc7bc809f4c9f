#include "processing/QuotedArgument.h"

std::string QuotedArgument(const std::string& path) {
    std::string quoted = "\"";
    std::string::size_type backslashes = 0;
    for (char c : path) {
        if (c == '\\') {
            ++backslashes;
        } else {
            if (c == '"') quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        }
        quoted += c;
    }
    quoted.append(backslashes, '\\');
    quoted += '"';
    return quoted;
}

std::string QuotedProgram(const std::string& path) {
    const bool alreadyQuoted = path.size() >= 2 && path.front() == '"' && path.back() == '"';
    if (alreadyQuoted || path.find_first_of(" \t") == std::string::npos) return path;
    return '"' + path + '"';
}
