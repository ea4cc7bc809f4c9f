#pragma once

#include <string>
#include <utility>
#include <vector>

// The application's private profile. Reads come from the text loaded at construction; writes
// are gathered and go to the file together in one atomic replacement (Commit), so a save by
// another instance is never torn and the last save decides.
class CProfile {
public:
    explicit CProfile(const std::string& path);

    std::string GetProfileString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const;
    // A value that is not a number reads as 0; a missing key gives the default.
    int GetProfileInt(const std::string& section, const std::string& key, int defaultValue) const;

    void WriteProfileString(const std::string& section, const std::string& key,
                            const std::string& value);
    void WriteProfileInt(const std::string& section, const std::string& key, int value);

    // Applies every write made so far onto the file's current text. False on failure.
    bool Commit();

private:
    struct PendingWrite {
        std::string section;
        std::string key;
        std::string value;
    };

    std::string m_path;
    std::string m_text;
    std::vector<PendingWrite> m_writes;
};
