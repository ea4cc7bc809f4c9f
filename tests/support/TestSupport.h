#pragma once

#include <chrono>
#include <map>
#include <string>
#include <thread>
#include <vector>

// Helpers shared by the tests: scratch folders, whole-file reads and writes, the environment,
// and running build/pelkar or a tool the way the host would.

// A fresh folder under the system's temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Path(), the system's separator and name.
    std::string File(const std::string& name) const;

private:
    std::string m_path;
};

std::string ReadWholeFile(const std::string& path);
// The bytes of a text file of that text as the system writes one: on Windows each line feed
// has a carriage return before it.
std::string SystemText(const std::string& text);
void WriteWholeFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);

// Sets or removes a variable of this process's environment, which programs it starts inherit.
void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

// build/pelkar and the test tools built beside it.
std::string PelkarPath();
std::string ToolPath(const std::string& name);

struct ProcessResult {
    int exitStatus = -1;
    std::string standardOutput;
    std::string standardError;
};

// Runs a program with the given arguments (arguments[0] is the program) and extra
// environment variables, without a display, and waits for it.
ProcessResult RunProgram(const std::vector<std::string>& arguments,
                         const std::map<std::string, std::string>& environment = {});

// A text whose bytes are Latin-1 characters in UTF-16LE, without a byte-order mark: "\xF6" is ö.
std::string Utf16LeOfLatin1(const std::string& text);
// The same characters in UTF-16BE with its byte-order mark: a profile PELKAR cannot read.
std::string MarkedUtf16BeOfLatin1(const std::string& text);
// The other way; false when the size is odd or a character is beyond Latin-1.
bool Latin1OfUtf16Le(const std::string& bytes, std::string* text);

// Lines of a text split at "\n" (a trailing empty piece is dropped).
std::vector<std::string> SplitLines(const std::string& text);

// Polls the condition every 10 ms until it holds or the time is up; whether it came to hold.
template <typename Condition>
bool BecomesTrueWithin(unsigned milliseconds, Condition condition) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
