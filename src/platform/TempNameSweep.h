#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/TempFileLock.h"

// What RemoveAbandonedTempFiles asks of the system. The shape of our temporary names and the
// path separator are the system's own.

// The paths of the folder's files shaped like the temporary names of the prefix.
std::vector<std::string> TempNamePathsIn(const std::string& directory, const std::string& prefix);

// Whether a file named stem plus one of the extensions exists.
bool HasFilesNamedLike(const std::string& stem, const std::vector<std::string>& extensions);

// Removes the file, unless it is missing or a folder, and adds it to found.
void RemoveLeftFile(const std::string& path, std::vector<SLeftFile>* found);

// A temporary name that no run holds, open for this process alone while this object lives.
class CUnheldTempName {
public:
    explicit CUnheldTempName(const std::string& path);
    ~CUnheldTempName();
    CUnheldTempName(const CUnheldTempName&) = delete;
    CUnheldTempName& operator=(const CUnheldTempName&) = delete;

    // False when a run holds the name or it is gone.
    bool IsOpen() const;
    // Written within the last minute: its run may have made the name and not locked it yet.
    bool IsYoung() const;
    // Removes the name and adds it to found.
    void Remove(std::vector<SLeftFile>* found);

private:
    std::string m_path;
    // The open file: a descriptor or a handle.
    std::intptr_t m_file = -1;
};
