#include "app/Profile.h"

#include "app/IniText.h"
#include "model/Text.h"
#include "platform/ProfileFile.h"

namespace {

using IniValues = std::vector<std::pair<std::string, std::string>>;

// The writes gathered per section, sections in the order of their first write.
struct SectionWrites {
    std::string section;
    IniValues values;
};

SectionWrites& GroupFor(std::vector<SectionWrites>& groups, const std::string& section) {
    for (SectionWrites& group : groups) {
        if (ToLower(group.section) == ToLower(section)) return group;
    }
    groups.push_back(SectionWrites{section, {}});
    return groups.back();
}

}  // namespace

CProfile::CProfile(const std::string& path) : m_path(path), m_text(ReadProfileText(path)) {}

std::string CProfile::GetProfileString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    std::string value;
    return FindIniValue(m_text, section, key, &value) ? value : defaultValue;
}

int CProfile::GetProfileInt(const std::string& section, const std::string& key,
                            int defaultValue) const {
    std::string value;
    if (!FindIniValue(m_text, section, key, &value)) return defaultValue;
    return DecimalValue(value);
}

void CProfile::WriteProfileString(const std::string& section, const std::string& key,
                                  const std::string& value) {
    m_writes.push_back({section, key, value});
}

void CProfile::WriteProfileInt(const std::string& section, const std::string& key, int value) {
    WriteProfileString(section, key, std::to_string(value));
}

bool CProfile::Commit() {
    if (m_writes.empty()) return true;
    std::vector<SectionWrites> groups;
    for (const PendingWrite& write : m_writes) {
        GroupFor(groups, write.section).values.emplace_back(write.key, write.value);
    }
    std::string committed;
    const bool replaced = UpdateProfileText(m_path, [&](const std::string& current) {
        committed = current;
        for (const SectionWrites& group : groups) {
            committed = SetIniValues(committed, group.section, group.values);
        }
        return committed;
    });
    if (!replaced) return false;
    m_text = committed;
    m_writes.clear();
    return true;
}
