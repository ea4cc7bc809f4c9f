#pragma once

#include <functional>
#include <string>

// The profile file as a whole text; the core parses and edits it.

// The file's text; a missing file reads as empty. False, with the system's reason, when the
// file exists but cannot be read (a folder, no permission): it must then not be replaced.
bool ReadProfileText(const std::string& path, std::string* text, std::string* error);

enum class EProfileSave {
    Saved,
    Busy,    // another instance held the lock for longer than a save may wait
    Failed,  // the file could not be read or replaced
};

// Replaces the file in one atomic step: under a lock that every saver takes (on POSIX an
// advisory lock on a lock file beside it, on Windows a named mutex), re-reads the current text,
// passes it to update, writes update's result to a temporary file in the same folder and
// renames it over the profile. Concurrent savers never leave a torn file, and the last one to
// save decides. The lock is waited for a bounded time only. On POSIX a profile that is a
// symbolic link is saved to the link's target, so the link stays; on Windows the file is
// written with CR LF line ends.
EProfileSave UpdateProfileText(const std::string& path,
                               const std::function<std::string(std::string current)>& update);
