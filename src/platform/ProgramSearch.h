#pragma once

#include <string>

// Whether a program named so would be found when it is started: a name with a folder as it
// is, a bare name beside the running executable and then on PATH, as the system looks for it.
bool IsProgramFound(const std::string& name);
