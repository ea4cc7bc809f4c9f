#pragma once

#include <string>
#include <vector>

#include "ProfileBuilder.h"
#include "TestSupport.h"

// The profile of one test: while the object lives, XDG_CONFIG_HOME points into a fresh folder,
// so the program reads and writes its profile (named after a program called "pelkar") there.
class ScratchProfile {
public:
    ScratchProfile();
    ~ScratchProfile();
    ScratchProfile(const ScratchProfile&) = delete;
    ScratchProfile& operator=(const ScratchProfile&) = delete;

    std::string Path() const { return m_home.File("pelkar.ini"); }
    bool Exists() const { return FileExists(Path()); }
    void Write(const ProfileBuilder& profile) const;
    // A value of the PELKAR section; empty when missing.
    std::string StoredValue(const std::string& key) const;
    // The names of the stored actions, slot by slot up to the first empty slot.
    std::vector<std::string> StoredActionNames() const;

private:
    TempDir m_home;
    std::string m_previousConfigHome;
    bool m_hadConfigHome;
};
