#include <windows.h>

#include <cctype>
#include <utility>

#include "platform/ProfileEncoding.h"
#include "platform/HoldsBytes.h"
#include "platform/ProfileFile.h"
#include "platform/win32/SystemErrorWin32.h"

// The profile is kept by the portable store, not by WritePrivateProfileString: that call
// rewrites the file once per key, so two instances that save at the same time would leave a
// mix of both, and a reader could meet a half-written file. Here a save is one replacement of
// the whole file, made under a lock that every saver takes.

namespace {

// Savers may wait this long for one another before giving up.
const DWORD kLockWaitMilliseconds = 10000;
// A reader of another program may hold the file for a moment without letting it be replaced.
const int kReplaceAttempts = 50;
const DWORD kReplaceRetryMilliseconds = 20;

class CHandle {
public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() {
        if (IsValid()) CloseHandle(m_handle);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool IsValid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

// One lock per profile path, shared by every process of the session.
std::string LockName(const std::string& path) {
    std::string name = "PELKAR profile ";
    for (char c : path) {
        name += c == '\\' ? '/' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name.substr(0, MAX_PATH - 1);
}

class CProfileLock {
public:
    explicit CProfileLock(const std::string& path)
        : m_mutex(CreateMutexA(nullptr, FALSE, LockName(path).c_str())) {
        if (!m_mutex.IsValid()) return;
        m_waited = WaitForSingleObject(m_mutex.Get(), kLockWaitMilliseconds);
    }
    ~CProfileLock() {
        if (IsHeld()) ReleaseMutex(m_mutex.Get());
    }
    CProfileLock(const CProfileLock&) = delete;
    CProfileLock& operator=(const CProfileLock&) = delete;

    // A saver that died while holding the lock left no half-written profile behind.
    bool IsHeld() const { return m_waited == WAIT_OBJECT_0 || m_waited == WAIT_ABANDONED; }
    bool TimedOut() const { return m_waited == WAIT_TIMEOUT; }

private:
    CHandle m_mutex;
    DWORD m_waited = WAIT_FAILED;
};

// Far above what the most actions a profile holds take; a larger file is not a profile.
const std::size_t kMostProfileBytes = 16 * 1024 * 1024;

// Failed, with the system's error code, only when the file exists but cannot be read, so that
// an update never replaces a profile it could not see. A folder of that name cannot be opened
// as a file at all.
EProfileRead ReadWholeBytes(const std::string& path, std::string* bytes, DWORD* error) {
    bytes->clear();
    CHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        *error = GetLastError();
        const bool missing = *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND;
        return missing ? EProfileRead::Missing : EProfileRead::Failed;
    }
    char buffer[16384];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file.Get(), buffer, sizeof buffer, &count, nullptr)) {
            *error = GetLastError();
            return EProfileRead::Failed;
        }
        if (count == 0) return EProfileRead::Read;
        bytes->append(buffer, count);
        if (bytes->size() > kMostProfileBytes) {
            bytes->clear();
            *error = ERROR_FILE_TOO_LARGE;
            return EProfileRead::Failed;
        }
    }
}

// The file's text and the encoding it is written in.
EProfileRead ReadWholeText(const std::string& path, std::string* text, EProfileEncoding* encoding,
                           DWORD* error) {
    std::string bytes;
    const EProfileRead read = ReadWholeBytes(path, &bytes, error);
    return DecodeProfile(read, bytes, encoding, text);
}

// Every line ends in a carriage return and a line feed, as in the system's own INI files.
std::string WithWindowsLineEnds(const std::string& text) {
    std::string converted;
    converted.reserve(text.size() + text.size() / 16);
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) converted += '\r';
        converted += text[i];
    }
    return converted;
}

bool WriteWholeFile(const std::string& path, const std::string& text) {
    CHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && FlushFileBuffers(file.Get());
}

bool MoveOver(const std::string& from, const std::string& to) {
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (MoveFileExA(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return false;
        Sleep(kReplaceRetryMilliseconds);
    }
    return false;
}

// The new text goes to a file of its own in the same folder and then takes the profile's name
// in one step, so no reader ever sees a half-written profile. Saves take turns under the lock,
// so one name serves them all, and a save that was killed before its rename leaves only that
// file, which the next save takes over.
bool ReplaceWholeFile(const std::string& path, const std::string& text) {
    const std::string savePath = path + ".save";
    if (!WriteWholeFile(savePath, text) || !MoveOver(savePath, path)) {
        DeleteFileA(savePath.c_str());
        return false;
    }
    return true;
}

EProfileSave Unsaved(std::string* error, const std::string& reason) {
    *error = reason;
    return EProfileSave::Failed;
}

EProfileSave UpdateFile(const std::string& path,
                        const std::function<std::string(std::string current)>& update,
                        EMissingProfile ifMissing, std::string* error) {
    const CProfileLock lock(path);
    if (lock.TimedOut()) {
        *error = "another PELKAR holds its lock";
        return EProfileSave::Busy;
    }
    if (!lock.IsHeld()) return Unsaved(error, SystemErrorText(GetLastError()));
    std::string current, bytes;
    EProfileEncoding encoding;
    DWORD failure = 0;
    const EProfileRead read = ReadWholeText(path, &current, &encoding, &failure);
    if (!IsUpdatable(read, ifMissing))
        return Unsaved(error, UnsavableReason(read, SystemErrorText(failure)));
    const std::string text = WithWindowsLineEnds(update(std::move(current)));
    if (!ProfileBytesOf(text, encoding, &bytes))
        return Unsaved(error, "its text cannot be written in the file's encoding");
    if (read == EProfileRead::Read && HoldsBytes(path, bytes)) return EProfileSave::Saved;
    if (!ReplaceWholeFile(path, bytes)) return Unsaved(error, SystemErrorText(GetLastError()));
    return EProfileSave::Saved;
}

}  // namespace

EProfileRead ReadProfileText(const std::string& path, std::string* text, std::string* error) {
    EProfileEncoding encoding;
    DWORD failure = 0;
    const EProfileRead read = ReadWholeText(path, text, &encoding, &failure);
    if (read == EProfileRead::Failed) *error = SystemErrorText(failure);
    return read;
}

EProfileSave UpdateProfileText(const std::string& path,
                               const std::function<std::string(std::string current)>& update,
                               EMissingProfile ifMissing, std::string* error) {
    std::string reason;
    const EProfileSave saved = UpdateFile(path, update, ifMissing, &reason);
    if (error) *error = reason;
    return saved;
}
