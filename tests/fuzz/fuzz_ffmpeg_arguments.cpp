// The FFMPEG front end's option translation, fed the command lines the stages write with any
// file names, split as the runner splits them. Today's arguments begin with -nostdin, keep the
// source after -i and the destination last, each the same file (a file named "-b" is "./-b"), no
// classic option is left, a pass keeps its pass log, and the Windows launcher's command line
// splits back into the same arguments.

#include "FfmpegArguments.h"
#include "FuzzInput.h"
#include "PassLog.h"
#include "WindowsCommandLine.h"
#include "processing/CommandLineSplit.h"
#include "processing/ToolCommands.h"

namespace {

const char* const kClassicOptions[] = {"-vcodec", "-acodec", "-b", "-ab", "-vol"};

std::string Joined(const std::vector<std::string>& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "]";
    return text;
}

bool IsClassicOption(const std::string& argument) {
    for (const char* option : kClassicOptions) {
        if (argument == option) return true;
    }
    return false;
}

void CheckTranslation(const std::vector<std::string>& modern, const std::string& source,
                      const std::string& destination, int pass) {
    const std::string what = Joined(modern);
    FUZZ_CHECK(modern.size() > 3 && modern.front() == "-nostdin", what);
    FUZZ_CHECK(modern.back() == FileArgument(destination), "destination lost: " + what);
    std::size_t sourceAt = 0;
    for (std::size_t i = 1; i + 1 < modern.size() && sourceAt == 0; ++i) {
        if (modern[i] == "-i") sourceAt = i + 1;
    }
    FUZZ_CHECK(sourceAt != 0 && modern[sourceAt] == FileArgument(source), "source lost: " + what);
    for (std::size_t i = 1; i + 1 < modern.size(); ++i) {
        FUZZ_CHECK(i == sourceAt || !IsClassicOption(modern[i]), "classic option left: " + what);
    }
    const SPassLog passLog = FindPassLog(modern);
    FUZZ_CHECK(passLog.pass == pass && (pass == 0 || !passLog.prefix.empty()),
               "pass log: " + what);
}

// What the Windows launcher hands to CreateProcess is split back by the started program.
void CheckLauncherLine(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().find('"') != std::string::npos) return;
    const std::string line = JoinWindowsCommandLine(arguments);
    const std::vector<std::string> split = SplitWindowsCommandLine(line);
    FUZZ_CHECK(split == arguments, Joined(arguments) + " became " + Joined(split) + " via " + line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::string ffmpegPath = input.Next();
    const std::string source = input.Next();
    const std::string destination = input.Next();
    const unsigned choices = input.Small();
    const std::vector<std::string> others = input.All();
    if (ffmpegPath.empty() || ffmpegPath.find('"') != std::string::npos) return 0;

    const bool video = choices & 1;
    const int pass = video ? static_cast<int>((choices >> 1) % 3) : 0;
    const std::string line = video ? VideoCommand(ffmpegPath, source, destination, pass)
                                   : AudioCommand(ffmpegPath, source, destination);
    std::vector<std::string> classic = SplitWindowsCommandLine(line);
    FUZZ_CHECK(!classic.empty() && classic.front() == ffmpegPath, line);
    classic.erase(classic.begin());
    const auto hasEncoder = [choices](const std::string& encoder) {
        return encoder == "libxvid" ? (choices & 8) != 0 : (choices & 16) != 0;
    };
    std::vector<std::string> modern = TranslateArguments(classic, hasEncoder, "/tmp", 1);
    CheckTranslation(modern, source, destination, pass);

    modern.insert(modern.begin(), ffmpegPath);
    CheckLauncherLine(modern);
    CheckLauncherLine(others);
    return 0;
}
