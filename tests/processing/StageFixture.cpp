#include "StageFixture.h"

#include <sys/stat.h>

#include "ProfileBuilder.h"
#include "app/LogLine.h"
#include "platform/Process.h"

RecordingSink::RecordingSink(const std::string& logPath) {
    m_logFile.Open(logPath, nullptr);
}

void RecordingSink::Log(const std::string& text) {
    m_logFile.Write(FormatLogLine(LocalTimeNow(), CurrentProcessId(), text));
}

StageTest::StageTest()
    : sink(home.File("pelkar.log")),
      runner(std::make_unique<CActionRunner>(SToolSettings{"", "", "", home.Path() + "/"}, sink)) {}

std::string StageTest::WriteTool(const std::string& name, const std::string& body) {
    const std::string path = home.File(name);
    WriteWholeFile(path,
                   "#!/bin/sh\n{ for a in \"$@\"; do printf '%s\\n' \"$a\"; done; "
                   "echo ---; } >> '" +
                       Calls(name) + "'\n" + body + "\n");
    chmod(path.c_str(), 0755);
    return path;
}

std::vector<std::vector<std::string>> StageTest::CallsOf(const std::string& name) const {
    std::vector<std::vector<std::string>> calls(1);
    for (const std::string& line : SplitLines(ReadWholeFile(Calls(name)))) {
        if (line == "---") {
            calls.emplace_back();
        } else {
            calls.back().push_back(line);
        }
    }
    calls.pop_back();
    return calls;
}

std::vector<std::string> StageTest::LogTexts() const {
    return ::LogTexts(ReadWholeFile(home.File("pelkar.log")));
}

std::vector<std::string> EntryLines(const std::string& text) {
    return SplitLines(text + "\n");
}
