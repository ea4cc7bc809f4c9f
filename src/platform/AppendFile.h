#pragma once

#include <memory>
#include <string>

// A file opened for appending, shared with other processes, not inherited by children.
// Each Write goes out as one write at the end of the file, so the lines of processes that log
// to the same file at once never interleave.
class CAppendFile {
public:
    CAppendFile();
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    // Creates the file when missing, never truncates. On failure, error names the file and
    // says what went wrong in the system's own words.
    bool Open(const std::string& path, std::string* error);
    // Appends the bytes; on Windows a "\n" becomes "\r\n" (text mode), elsewhere it stays.
    bool Write(const std::string& bytes);
    void Close();
    bool IsOpen() const;

private:
    struct Handle;
    std::unique_ptr<Handle> m_handle;
};
