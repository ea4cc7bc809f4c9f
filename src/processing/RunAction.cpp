#include "app/PELKARDialog.h"
#include "model/Action.h"
#include "model/DVAFlags.h"
#include "platform/Platform.h"

void CPELKARDialog::RunAction(const CAction& action, const CDVAFlags& recording) {
    const std::string csAction = action.GetName();
    const std::string csMpeg = recording.GetMpeg();
    std::string source = csMpeg;

    bool stripped = false;
    if (action.GetStripCommercials()) {
        std::string tempName;
        if (MakeTempFileName(tempPath, "mst", &tempName)) {
            // Only the unique name is wanted; the tools create the files themselves.
            RemoveFile(tempName);
            const std::string strippedFile = ReplaceExtension(tempName, ".mpg");
            StripCommercials(csAction, csMpeg, source, strippedFile);
            source = strippedFile;
            stripped = true;
        } else {
            Log("RunAction(): No temporary file name could be made in " + tempPath +
                ", converting without stripping commercials");
        }
    }

    const std::string destination = action.GetOutputDirectory() + PathSeparator() +
                                    recording.ReplacePlaceholders(action.GetOutputFilename());
    if (action.GetAudioOnly()) {
        ProcessAudio(csAction, csMpeg, source, ReplaceExtension(destination, ".mp3"));
    } else {
        const std::string csDest = ReplaceExtension(destination, ".mp4");
        if (action.GetTwoPass()) {
            ProcessVideo(csAction, csMpeg, source, csDest, 1);
            ProcessVideo(csAction, csMpeg, source, csDest, 2);
        } else {
            ProcessVideo(csAction, csMpeg, source, csDest, 0);
        }
    }

    if (stripped) {
        RemoveFile(ReplaceExtension(source, ".mpg"));
        RemoveFile(ReplaceExtension(source, ".ndx"));
        RemoveFile(ReplaceExtension(source, ".evt"));
    }
}

std::string CPELKARDialog::ReplaceExtension(std::string path, std::string extension) {
    const std::string::size_type dot = path.rfind('.');
    if (dot != std::string::npos) path.erase(dot);
    return path + extension;
}
