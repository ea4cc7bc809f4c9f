#pragma once

#include <ctime>
#include <string>

// One log line: "%s <%d>: " from the time stamp ("%a %b %d %I:%M:%S %p %Y", English names
// whatever the locale) and the process id, then the text unchanged, then a line feed.
std::string FormatLogLine(const std::tm& localTime, int processId, const std::string& text);
