#include <optional>

#include "ScratchProfile.h"
#include "platform/Paths.h"

struct ScratchProfile::Saved {
    TempDir home;
    std::optional<std::string> configHome;
};

ScratchProfile::ScratchProfile() : m_saved(std::make_unique<Saved>()) {
    if (const char* configHome = getenv("XDG_CONFIG_HOME")) m_saved->configHome = configHome;
    SetEnvironment("XDG_CONFIG_HOME", m_saved->home.Path());
}

ScratchProfile::~ScratchProfile() {
    if (m_saved->configHome) {
        SetEnvironment("XDG_CONFIG_HOME", *m_saved->configHome);
    } else {
        UnsetEnvironment("XDG_CONFIG_HOME");
    }
}

std::string ScratchProfile::Path() const {
    return GetProfilePath();
}
