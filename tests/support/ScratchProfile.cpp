#include "ScratchProfile.h"

#include <stdlib.h>

#include "app/IniText.h"
#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/Text.h"

ScratchProfile::ScratchProfile() {
    const char* configHome = getenv("XDG_CONFIG_HOME");
    m_hadConfigHome = configHome != nullptr;
    if (configHome) m_previousConfigHome = configHome;
    setenv("XDG_CONFIG_HOME", m_home.Path().c_str(), 1);
}

ScratchProfile::~ScratchProfile() {
    if (m_hadConfigHome) {
        setenv("XDG_CONFIG_HOME", m_previousConfigHome.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

void ScratchProfile::Write(const ProfileBuilder& profile) const {
    WriteWholeFile(Path(), profile.Text());
}

std::string ScratchProfile::StoredValue(const std::string& key) const {
    std::string value;
    FindIniValue(ReadWholeFile(Path()), "PELKAR", key, &value);
    return value;
}

std::vector<std::string> ScratchProfile::StoredActionNames() const {
    std::vector<std::string> names;
    for (int slot = 0; slot < CPELKARDialog::MaxActions; ++slot) {
        const std::string stored = StoredValue(FormatText("action%02d", slot));
        if (stored.empty()) break;
        CAction action;
        action.FromString(stored);
        names.push_back(action.GetName());
    }
    return names;
}
