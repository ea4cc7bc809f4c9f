#pragma once

#include <string>

// True when the whole text matches the whole pattern. "*" stands for any run of bytes, "?"
// for exactly one byte; every other byte stands for itself, case-sensitively.
bool WildcardMatch(const std::string& text, const std::string& pattern);
