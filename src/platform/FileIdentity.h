#pragma once

#include <string>

// Whether two paths name one file: the same file where both exist (on Linux the device and
// inode, on Windows the volume and file index), else the same path once normalised (".",
// "..", doubled separators; on Windows also case and "/").
bool IsSameFile(const std::string& first, const std::string& second);

// The absolute path without ".", ".." or doubled separators, worked out from the text alone;
// on Windows in one case and with "\" only.
std::string NormalizedPath(const std::string& path);
