#pragma once

#include <string>
#include <vector>

#include "processing/QuotedArgument.h"

// The command line that CreateProcess takes, built so that the C runtime of the started program
// splits it back into the same arguments.

// An argument is quoted when it is empty or holds a blank or a quote. Inside quotes, a quote is
// escaped with a backslash, and the backslashes right before a quote (or before the closing
// quote) are doubled; all other backslashes stay as they are, as in a path.
inline std::string QuoteWindowsArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    return QuotedArgument(argument);
}

// The program's name comes first and is only put in quotes: its backslashes are never escapes.
inline std::string JoinWindowsCommandLine(const std::vector<std::string>& arguments) {
    std::string line;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool plainName = argument.find_first_of(" \t") == std::string::npos;
        if (i == 0)
            line += plainName && !argument.empty() ? argument : "\"" + argument + "\"";
        else
            line += " " + QuoteWindowsArgument(argument);
    }
    return line;
}
