#pragma once

#include <string>

#include "platform/SystemError.h"

// Files and folders: whether they exist, their stamps, making and removing them. Declared portably,
// defined in posix/ or win32/.

// Whether the path names an existing file that is not a folder.
bool IsExistingFile(const std::string& path);

// What tells one state of a file from another: its size and its last change, in the system's
// own units. Only a regular file has a stamp; a missing path, a folder or a device has none.
struct SFileStamp {
    bool isRegularFile = false;
    long long size = 0;
    long long modified = 0;

    bool operator==(const SFileStamp& other) const {
        return isRegularFile == other.isRegularFile && size == other.size &&
               modified == other.modified;
    }
};

// The file's stamp. On Windows a path longer than the classic limit is fine too.
SFileStamp GetFileStamp(const std::string& path);

// Whether the path names an existing folder.
bool IsExistingFolder(const std::string& path);

// Makes one folder in an existing one; false, with the system's reason, when it cannot be made
// or already exists.
bool MakeFolder(const std::string& path, std::string* error);

// Creates a new, empty, uniquely named file in the directory, its name beginning with the
// prefix, and returns the name; false, with the system's reason, when no such file can be made.
bool MakeTempFileName(const std::string& directory, const std::string& prefix, std::string* name,
                      SSystemError* error);

// Deletes a file; a missing file is not an error worth reporting. When the file stays, the
// system's reason goes to error (when given).
bool RemoveFile(const std::string& path, std::string* error = nullptr);
