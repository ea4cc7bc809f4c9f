#include "model/CommandLine.h"

#include "model/ProcessArguments.h"
#include "platform/ProcessCommandLine.h"
#include "model/Text.h"

CCommandLine::CCommandLine() : CCommandLine(GetProcessCommandLine()) {}

// The appended space lets a keyword at the very end of the line be found like any other.
CCommandLine::CCommandLine(const std::string& commandLine)
    : m_commandLine(TrimRight(commandLine) + " "), m_lowerLine(ToLower(m_commandLine)) {}

bool CCommandLine::HasOption(const std::string& keyword) const {
    return m_lowerLine.find(" " + keyword + " ") != std::string::npos;
}

std::string CCommandLine::GetOption(const std::string& keyword) const {
    const std::string key = " " + keyword + " ";
    const std::string::size_type keyPosition = m_lowerLine.find(key);
    if (keyPosition == std::string::npos) {
        return std::string();
    }
    const std::string::size_type valueStart = keyPosition + key.size();
    // Searching from the space that ends the key finds a next option that follows directly.
    const std::string::size_type valueEnd = m_lowerLine.find(" --", valueStart - 1);
    if (valueEnd == std::string::npos) {
        return m_commandLine.substr(valueStart);
    }
    if (valueEnd < valueStart) {
        return std::string();
    }
    return m_commandLine.substr(valueStart, valueEnd - valueStart);
}
