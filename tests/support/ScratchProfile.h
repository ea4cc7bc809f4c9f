#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupport.h"

// The profile of one test: while the object lives, the program reads and writes a fresh,
// empty profile of its own. On POSIX XDG_CONFIG_HOME points into a fresh folder; on Windows
// the profile stays where it belongs, in the Windows directory (named after the test
// program), and is removed before and after.
class ScratchProfile {
public:
    ScratchProfile();
    ~ScratchProfile();
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

    // Where the program reads and writes its profile now.
    std::string Path() const;
    bool Exists() const { return FileExists(Path()); }
    void Write(const ProfileBuilder& profile) const;
    // A value of the PELKAR section; empty when missing.
    std::string StoredValue(const std::string& key) const;
    // The names of the stored actions, slot by slot up to the first empty slot.
    std::vector<std::string> StoredActionNames() const;

private:
    struct Saved;  // what the platform's part restores at the end
    std::unique_ptr<Saved> m_saved;
};
