#include "model/Action.h"

#include <vector>

#include "model/StoredFields.h"
#include "model/Text.h"

namespace {

const char* const kHeadEnd = "|||";
const std::size_t kHeadFieldCount = 7;

}  // namespace

void CAction::SetName(const std::string& name) {
    m_name = Trim(name);
}

void CAction::SetOutputDirectory(const std::string& directory) {
    m_outputDirectory = Trim(directory);
}

void CAction::SetOutputFilename(const std::string& filename) {
    m_outputFilename = Trim(filename);
}

// Head texts are written as held; the format has no escape for the bar character.
std::string CAction::ToString() const {
    const std::string separator = kStoredFieldSeparator;
    return m_name + separator + m_outputDirectory + separator + m_outputFilename + separator +
           std::to_string(m_audioOnly) + separator + std::to_string(m_stripCommercials) +
           separator + std::to_string(m_twoPass) + separator + std::to_string(m_removeSource) +
           kHeadEnd + m_filter.ToString();
}

void CAction::FromString(const std::string& stored) {
    const std::string::size_type headEnd = stored.find(kHeadEnd);
    if (headEnd == std::string::npos) {
        return;
    }
    // The separator appended to the head lets its last field count like the others.
    const std::vector<std::string> head =
        SplitStoredFields(stored.substr(0, headEnd) + kStoredFieldSeparator, kHeadFieldCount);
    SetName(head[0]);
    SetOutputDirectory(head[1]);
    SetOutputFilename(head[2]);
    m_audioOnly = DecimalValue(head[3]);
    m_stripCommercials = DecimalValue(head[4]);
    m_twoPass = DecimalValue(head[5]);
    m_removeSource = DecimalValue(head[6]);
    m_filter.FromString(stored.substr(headEnd + std::string(kHeadEnd).size()));
}

bool CAction::IsValid() const {
    return !m_name.empty() && !m_outputDirectory.empty() && !m_outputFilename.empty() &&
           m_filter.IsValid();
}
