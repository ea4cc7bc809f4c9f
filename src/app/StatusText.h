#pragma once

#include <string>

// Fits a notification text ("Action: ...\nSource: ...\n\nStatus: ...") into a number of bytes.
// The lines from "Status: " on say how far the work has come, so they always show whole: a
// text that is too long first loses the beginning of the recording's path (its end, the file
// name, stays, behind "..."), then the end of the action's name. No UTF-8 character is ever
// cut in half.
std::string FitStatusText(const std::string& text, std::string::size_type limit);
