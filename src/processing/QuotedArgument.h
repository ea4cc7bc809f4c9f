#pragma once

#include <string>

// The Windows C runtime's rules for one argument of a command line, written once for PELKAR's
// tool commands and for the programs that PELKAR ships beside it (header only, so that those
// need no more of PELKAR than this).

// A path as one argument of a tool's command line: in double quotes, written so that the
// command-line split (the Windows C runtime's rules) gives back exactly the path. A double
// quote inside it becomes \", so a recording's title cannot end the argument early and
// smuggle options into the command; backslashes are doubled only where they stand before a
// double quote or the closing quote, so ordinary paths are written as they are.
inline std::string QuotedArgument(const std::string& path) {
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

// A tool's path as the program of a command line. A path with a blank is put in quotes, so
// that "C:\Program Files\x.exe" does not run "C:\Program" (the quotes of a program name only
// group); a path without one, or one already in quotes, is written as it is.
inline std::string QuotedProgram(const std::string& path) {
    const bool alreadyQuoted = path.size() >= 2 && path.front() == '"' && path.back() == '"';
    if (alreadyQuoted || path.find_first_of(" \t") == std::string::npos) return path;
    return '"' + path + '"';
}
