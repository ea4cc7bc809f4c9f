#include "app/Profile.h"

#include "app/IniText.h"
#include "model/Text.h"

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

CProfile::CProfile(const std::string& path) : m_path(path) {
    m_read = ReadProfileText(path, &m_text, &m_readError);
}

CProfile CProfile::OfText(std::string text) {
    CProfile profile;
    profile.m_text = std::move(text);
    return profile;
}

const CProfile::SectionValues& CProfile::Section(const std::string& section) const {
    const std::string name = ToLower(section);
    auto found = m_sections.find(name);
    if (found == m_sections.end())
        found = m_sections.emplace(name, ReadIniSection(m_text, section)).first;
    return found->second;
}

std::string CProfile::GetProfileString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const {
    const SectionValues& values = Section(section);
    const auto found = values.find(ToLower(Trim(key)));
    return found == values.end() ? defaultValue : found->second;
}

int CProfile::GetProfileInt(const std::string& section, const std::string& key,
                            int defaultValue) const {
    const SectionValues& values = Section(section);
    const auto found = values.find(ToLower(Trim(key)));
    return found == values.end() ? defaultValue : DecimalValue(found->second);
}

void CProfile::WriteProfileString(const std::string& section, const std::string& key,
                                  const std::string& value) {
    m_writes.push_back({section, key, value});
}

void CProfile::WriteProfileInt(const std::string& section, const std::string& key, int value) {
    WriteProfileString(section, key, std::to_string(value));
}

std::string CProfile::ApplyWrites(std::string text) const {
    std::vector<SectionWrites> groups;
    for (const PendingWrite& write : m_writes) {
        GroupFor(groups, write.section).values.emplace_back(write.key, write.value);
    }
    for (const SectionWrites& group : groups) {
        text = SetIniValues(text, group.section, group.values);
    }
    return text;
}

EProfileSave CProfile::Commit(EMissingProfile ifMissing, std::string* error) {
    if (m_writes.empty()) return EProfileSave::Saved;
    std::string committed;
    const EProfileSave saved = UpdateProfileText(
        m_path,
        [&](std::string current) {
            committed = ApplyWrites(std::move(current));
            return committed;
        },
        ifMissing, error);
    if (saved != EProfileSave::Saved) return saved;
    m_text = committed;
    m_sections.clear();
    m_writes.clear();
    return saved;
}

EProfileSave CProfile::Rewrite(
    const std::string& path,
    const std::function<void(const CProfile& current, CProfile& writes)>& writesFor,
    EMissingProfile ifMissing, std::string* error) {
    return UpdateProfileText(
        path,
        [&](std::string current) {
            CProfile currentProfile = OfText(std::move(current));
            CProfile writes;
            writesFor(currentProfile, writes);
            return writes.ApplyWrites(std::move(currentProfile.m_text));
        },
        ifMissing, error);
}
