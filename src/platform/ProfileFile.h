#pragma once

#include <functional>
#include <string>

// The profile file as a whole text in the program's code page; the core parses and edits it.
// The file keeps its own encoding (8-bit, UTF-8 or UTF-16LE with a byte-order mark).

enum class EProfileRead {
    Read,
    Missing,          // reads as empty
    Failed,           // the file exists but cannot be read (a folder, a FIFO or device, no
                      // permission, larger than any profile)
    UnknownEncoding,  // the file is in an encoding the program cannot read; reads as empty
};

// The file's text. A file that exists but could not be read (Failed, with the system's reason
// in error, or UnknownEncoding) must then not be replaced.
EProfileRead ReadProfileText(const std::string& path, std::string* text, std::string* error);

enum class EProfileSave {
    Saved,
    Busy,    // another instance held the lock for longer than a save may wait
    Failed,  // the file could not be read or replaced, or was missing where it had to exist
};

// What a save does when it finds no profile: a program that found one at start must not put a
// file of defaults in the place of one that another program is replacing at that moment.
enum class EMissingProfile { Create, LeaveAlone };

// Replaces the file in one atomic step: under a lock that every saver takes (on POSIX an
// advisory lock on a lock file beside it, on Windows a named mutex), re-reads the current text,
// passes it to update, writes update's result to a temporary file in the same folder, in the
// encoding the file had, and renames it over the profile. Concurrent savers never leave a torn
// file, and the last one to save decides. The lock is waited for a bounded time only. A file
// that cannot be read, or cannot be written in its encoding, is left as it is. On POSIX a
// profile that is a symbolic link is saved to the link's target, so the link stays; on Windows
// the file is written with CR LF line ends where the text has lone line feeds. When the save
// fails or is busy, error (when given) says why.
EProfileSave UpdateProfileText(const std::string& path,
                               const std::function<std::string(std::string current)>& update,
                               EMissingProfile ifMissing = EMissingProfile::Create,
                               std::string* error = nullptr);
