#pragma once

#include <string>

// The process's whole command line, with keyword lookups the way the host's options need.
class CCommandLine {
public:
    // Takes the process's own command line.
    CCommandLine();
    explicit CCommandLine(const std::string& commandLine);
    virtual ~CCommandLine() = default;

    // Keywords are given in lower case, such as "--gui"; the line matches in any case.
    bool HasOption(const std::string& keyword) const;
    // The option's raw value (not trimmed, not decoded), or empty when absent.
    std::string GetOption(const std::string& keyword) const;

private:
    std::string m_commandLine;
    std::string m_lowerLine;
};
