#pragma once

#include <string>
#include <vector>

class CAction;
class CDVAFlags;

// What an action does to a recording, worked out the same way for a run and for a dry run:
// the output file, the conversion passes and the command lines of the outside tools.

// The output file: the action's folder and filename template with ".mp3" or ".mp4".
std::string ActionDestination(const CAction& action, const CDVAFlags& recording);

// The passes of the conversion: none for audio only, 1 and 2 with two passes, else 0.
std::vector<int> VideoPasses(const CAction& action);

// EVTDump reads the recording's event file, the recording's path with ".evt".
std::string EvtDumpCommand(const std::string& evtDumpPath, const std::string& recording);
// RTVEdit takes its script on its standard input.
std::string RtvEditCommand(const std::string& rtvEditPath);
// What RTVEdit is given: the file to write, then EVTDump's output.
std::string RtvEditInput(const std::string& strippedFile, const std::string& evtDumpOutput);
std::string AudioCommand(const std::string& ffmpegPath, const std::string& source,
                         const std::string& destination);
// Pass 0 is a single pass.
std::string VideoCommand(const std::string& ffmpegPath, const std::string& source,
                         const std::string& destination, int pass);
