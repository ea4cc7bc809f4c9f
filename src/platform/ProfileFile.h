#pragma once

#include <functional>
#include <string>

// The profile file as a whole text; the core parses and edits it.

// The file's text, or empty when it is missing or unreadable.
std::string ReadProfileText(const std::string& path);

// Replaces the file in one atomic step: under a lock that every saver takes (on POSIX an
// advisory lock on a lock file beside it, on Windows a named mutex), re-reads the current text,
// passes it to update, writes update's result to a temporary file in the same folder and
// renames it over the profile. Concurrent savers never leave a torn file, and the last one to
// save decides. On Windows the file is written with CR LF line ends. False when the file could
// not be replaced.
bool UpdateProfileText(const std::string& path,
                       const std::function<std::string(const std::string& current)>& update);
