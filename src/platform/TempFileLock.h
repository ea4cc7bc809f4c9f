#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A run's hold on its temporary name (from MakeTempFileName): the empty file stays open and
// locked while the hold lasts, and the system lets go of it when the process ends, however it
// ends. A later run can so tell the files of a run still going from those a killed run left.
class CTempFileLock {
public:
    CTempFileLock() = default;
    ~CTempFileLock();
    CTempFileLock(const CTempFileLock&) = delete;
    CTempFileLock& operator=(const CTempFileLock&) = delete;

    // Opens and locks the file; false when it is gone meanwhile or another process holds it.
    bool Lock(const std::string& path);
    // Lets go of the file, which can then be deleted.
    void Unlock();

private:
    // The open file: a descriptor or a handle.
    std::intptr_t m_file = -1;
};

// A file that an abandoned run left, and why it could not be removed (empty when it was).
struct SLeftFile {
    std::string path;
    std::string error;
};
