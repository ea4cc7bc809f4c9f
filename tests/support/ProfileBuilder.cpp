#include "ProfileBuilder.h"

#include <regex>

#include "TestSupport.h"
#include "model/Text.h"

ProfileBuilder& ProfileBuilder::Action(const CAction& action) {
    return Raw(FormatText("action%02d", m_nextSlot++), action.ToString());
}

ProfileBuilder& ProfileBuilder::Raw(const std::string& key, const std::string& value) {
    m_lines.push_back(key + "=" + value);
    return *this;
}

std::string ProfileBuilder::Text() const {
    std::string text = "[PELKAR]\n";
    for (const std::string& line : m_lines) text += line + "\n";
    return text;
}

CAction MakeTitleAction(const std::string& name, const std::string& outputDirectory,
                        const std::string& titlePattern, bool audioOnly) {
    CAction action;
    action.SetName(name);
    action.SetOutputDirectory(outputDirectory);
    action.SetOutputFilename("%title%");
    action.SetAudioOnly(audioOnly ? 1 : 0);
    action.GetFilter().SetTitleFlag(1);
    action.GetFilter().SetTitle(titlePattern);
    return action;
}

std::vector<std::string> HostArguments(const std::string& recording, const std::string& title,
                                       const std::string& episode) {
    return {PelkarPath(), "--mpeg",   recording, "--title",     title,   "--episode",
            episode,      "--startdate", "2011-03-07", "--starttime", "13:00", "--dur",
            "30",         "--showid", "1234",    "--dname",     "Box",   "--dcat",
            "Drama",      "--dchan",  "7",       "--rname",     "Box",   "--rcat",
            "Drama",      "--rchan",  "7"};
}

const std::regex& LogPrefix() {
    static const std::regex prefix(
        "^(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[0-9]{2} (0[1-9]|1[0-2]):[0-5][0-9]:[0-5][0-9] (AM|PM) [0-9]{4} <[0-9]+>: ");
    return prefix;
}

std::vector<std::string> LogTexts(const std::string& logText) {
    std::vector<std::string> texts;
    for (const std::string& line : SplitLines(logText)) {
        std::smatch prefix;
        const bool prefixed = std::regex_search(line, prefix, LogPrefix());
        texts.push_back(prefixed ? line.substr(prefix.length()) : line);
    }
    return texts;
}
