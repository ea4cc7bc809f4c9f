#include "processing/CommandLineSplit.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

size_t SkipBlanks(const std::string& line, size_t position) {
    while (position < line.size() && IsBlank(line[position])) ++position;
    return position;
}

std::string ReadProgramName(const std::string& line, size_t* position) {
    std::string name;
    bool quoted = false;
    size_t i = *position;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && IsBlank(c)) {
            break;
        } else {
            name += c;
        }
    }
    *position = i;
    return name;
}

// Handles the backslashes starting at *position and the double quote after them, if any.
void ReadBackslashesAndQuote(const std::string& line, size_t* position, bool* quoted,
                             std::string* argument) {
    size_t i = *position;
    size_t backslashes = 0;
    while (i < line.size() && line[i] == '\\') {
        ++i;
        ++backslashes;
    }
    if (i == line.size() || line[i] != '"') {
        argument->append(backslashes, '\\');
    } else {
        argument->append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
            *argument += '"';
        } else if (*quoted && i + 1 < line.size() && line[i + 1] == '"') {
            *argument += '"';
            ++i;
        } else {
            *quoted = !*quoted;
        }
        ++i;
    }
    *position = i;
}

std::string ReadArgument(const std::string& line, size_t* position) {
    std::string argument;
    bool quoted = false;
    size_t i = *position;
    while (i < line.size() && (quoted || !IsBlank(line[i]))) {
        if (line[i] == '\\' || line[i] == '"') {
            ReadBackslashesAndQuote(line, &i, &quoted, &argument);
        } else {
            argument += line[i++];
        }
    }
    *position = i;
    return argument;
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(const std::string& commandLine) {
    std::vector<std::string> arguments;
    size_t position = SkipBlanks(commandLine, 0);
    if (position == commandLine.size()) return arguments;
    arguments.push_back(ReadProgramName(commandLine, &position));
    for (position = SkipBlanks(commandLine, position); position < commandLine.size();
         position = SkipBlanks(commandLine, position)) {
        arguments.push_back(ReadArgument(commandLine, &position));
    }
    return arguments;
}
