#include "ScratchProfile.h"

#include "app/IniText.h"
#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/Text.h"

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
