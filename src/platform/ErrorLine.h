#pragma once

#include <string>

// One line "CAPTION: TEXT" on standard error and never a box, for a run that nobody may be
// watching.
void WriteErrorLine(const std::string& caption, const std::string& text);
