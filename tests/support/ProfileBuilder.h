#pragma once

#include <string>
#include <vector>

#include "model/Action.h"

// Builds the text of a profile file the way a user's settings would look, for tests that
// run the program against it.
class ProfileBuilder {
public:
    ProfileBuilder& Action(const CAction& action);
    ProfileBuilder& Raw(const std::string& key, const std::string& value);
    std::string Text() const;

private:
    std::vector<std::string> m_lines;
    int m_nextSlot = 0;
};

// A complete action that converts to mp3 (or mp4) into outputDirectory, whose filter tests
// only the title against titlePattern.
CAction MakeTitleAction(const std::string& name, const std::string& outputDirectory,
                        const std::string& titlePattern, bool audioOnly = true);

// The host's command line for a recording, all thirteen options, program path first.
std::vector<std::string> HostArguments(const std::string& recording, const std::string& title,
                                       const std::string& episode = "4");

// The length of the "time <pid>: " prefix that starts every log entry; 0 when the line has none.
size_t LogPrefixLength(const std::string& line);

// The log's lines with the prefix removed (continuation lines stay as they are).
std::vector<std::string> LogTexts(const std::string& logText);
