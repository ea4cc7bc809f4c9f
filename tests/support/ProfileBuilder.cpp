#include "ProfileBuilder.h"


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

namespace {

bool IsDigits(const std::string& text, size_t from, size_t count) {
    if (from + count > text.size()) return false;
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

bool IsOneOf(const std::string& word, const std::string& choices) {
    return word.size() == 3 && choices.find(word) != std::string::npos && choices.find(word) % 4 == 0;
}

}  // namespace

// "Www Mmm dd hh:mm:ss AM yyyy <pid>: "
size_t LogPrefixLength(const std::string& line) {
    if (line.size() < 32 || !IsOneOf(line.substr(0, 3), "Sun Mon Tue Wed Thu Fri Sat") ||
        !IsOneOf(line.substr(4, 3), "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec"))
        return 0;
    const std::string shape = line.substr(0, 29);
    for (size_t at : {3, 7, 10, 19, 22, 27})
        if (shape[at] != ' ') return 0;
    if (shape[13] != ':' || shape[16] != ':' || shape[28] != '<') return 0;
    if (!IsDigits(shape, 8, 2) || !IsDigits(shape, 11, 2) || !IsDigits(shape, 14, 2) ||
        !IsDigits(shape, 17, 2) || !IsDigits(shape, 23, 4))
        return 0;
    const int hour = std::stoi(shape.substr(11, 2));
    const std::string half = shape.substr(20, 2);
    if (hour < 1 || hour > 12 || (half != "AM" && half != "PM")) return 0;
    size_t end = 29;
    while (IsDigits(line, end, 1)) ++end;
    if (end == 29 || line.compare(end, 3, ">: ") != 0) return 0;
    return end + 3;
}

std::vector<std::string> LogTexts(const std::string& logText) {
    std::vector<std::string> texts;
    for (const std::string& line : SplitLines(logText)) {
        texts.push_back(line.substr(LogPrefixLength(line)));
    }
    return texts;
}
