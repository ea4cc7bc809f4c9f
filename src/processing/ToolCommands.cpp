#include "processing/ToolCommands.h"

#include "processing/ReplaceExtension.h"
#include "model/Action.h"
#include "model/DVAFlags.h"
#include "model/Text.h"
#include "processing/OutputName.h"
#include "processing/QuotedArgument.h"

std::string ActionDestination(const CAction& action, const CDVAFlags& recording) {
    return BuildOutputPath(action.GetOutputDirectory(), action.GetOutputFilename(), recording,
                           action.GetAudioOnly() ? ".mp3" : ".mp4");
}

std::vector<int> VideoPasses(const CAction& action) {
    if (action.GetAudioOnly()) return {};
    if (action.GetTwoPass()) return {1, 2};
    return {0};
}

std::string EvtDumpCommand(const std::string& evtDumpPath, const std::string& recording) {
    return QuotedProgram(evtDumpPath) + " " +
           QuotedArgument(ReplaceExtension(recording, ".evt"));
}

std::string RtvEditCommand(const std::string& rtvEditPath) {
    return QuotedProgram(rtvEditPath);
}

std::string RtvEditInput(const std::string& strippedFile, const std::string& evtDumpOutput) {
    return "T" + strippedFile + "\n" + evtDumpOutput + "\n";
}

std::string AudioCommand(const std::string& ffmpegPath, const std::string& source,
                         const std::string& destination) {
    return QuotedProgram(ffmpegPath) + " -y -i " + QuotedArgument(source) +
           " -acodec mp3 -ac 2 -ab 48 -ar 24000 -vol 130 " + QuotedArgument(destination);
}

std::string VideoCommand(const std::string& ffmpegPath, const std::string& source,
                         const std::string& destination, int pass) {
    std::string command = QuotedProgram(ffmpegPath) + " -y -i " + QuotedArgument(source);
    if (pass > 0) command += FormatText(" -pass %d", pass);
    command += " -bitexact -vcodec xvid -s 320x240 -b 384";
    command += " -minrate 32 -maxrate 400 -bt 16 -r 29.97";
    command += " -acodec aac -ac 2 -ab 48 -ar 24000 -vol 130 -f psp " + QuotedArgument(destination);
    return command;
}
