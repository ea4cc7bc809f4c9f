#pragma once

#include <string>

// Whether two paths name one file: the same file where both exist (on Linux the device and
// inode, on Windows the volume and file index), else the same path once normalised (".",
// "..", doubled separators; on Windows also case and "/").
bool IsSameFile(const std::string& first, const std::string& second);

// Why the path could not be examined, in the system's words; empty when it could, or when
// nothing is there.
std::string ExaminationError(const std::string& path);

// Whether the path starts at a root ("/"; on Windows a drive's root or a network share).
bool IsAbsolutePath(const std::string& path);

// The absolute path without ".", ".." or doubled separators, worked out from the text alone;
// on Windows in one case and with "\" only.
std::string NormalizedPath(const std::string& path);
