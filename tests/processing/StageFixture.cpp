#include "StageFixture.h"

#include <sys/stat.h>

#include <cstdlib>

#include "ProfileBuilder.h"
#include "model/ProcessArguments.h"

namespace {

class RecordingNotifier : public CStatusNotifier {
public:
    explicit RecordingNotifier(std::shared_ptr<std::vector<std::string>> shown)
        : m_shown(std::move(shown)) {}
    void Show(const std::string& text) override { m_shown->push_back(text); }
    void Remove() override {}

private:
    std::shared_ptr<std::vector<std::string>> m_shown;
};

}  // namespace

StageDialog::StageDialog(const TempDir& home) {
    tempPath = home.Path() + "/";
    logging = 1;
    m_logFile = std::make_unique<CAppendFile>();
    m_logFile->Open(home.File("pelkar.log"), nullptr);
}

std::unique_ptr<CStatusNotifier> StageDialog::CreateStatusNotifier() {
    return std::make_unique<RecordingNotifier>(shown);
}

StageTest::StageTest() {
    if (const char* configHome = std::getenv("XDG_CONFIG_HOME")) m_savedConfigHome = configHome;
    setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
    SetProcessArguments({"pelkar"});
    dialog = std::make_unique<StageDialog>(home);
}

StageTest::~StageTest() {
    dialog.reset();
    if (m_savedConfigHome) {
        setenv("XDG_CONFIG_HOME", m_savedConfigHome->c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}

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
