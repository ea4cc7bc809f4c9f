#include "processing/AbandonedTempFiles.h"

#include "platform/TempFileLock.h"
#include "platform/TempNameSweep.h"

namespace {

// Every temporary name ends so (on Windows in any case).
const std::string kTempExtension = ".tmp";

}  // namespace

std::vector<SLeftFile> RemoveAbandonedTempFiles(const std::string& directory,
                                                const std::string& prefix,
                                                const std::vector<std::string>& extensions) {
    std::vector<SLeftFile> found;
    for (const std::string& path : TempNamePathsIn(directory, prefix)) {
        CUnheldTempName name(path);
        if (!name.IsOpen()) continue;
        const std::string stem = path.substr(0, path.size() - kTempExtension.size());
        if (HasFilesNamedLike(stem, extensions) || !name.IsYoung()) {
            // The temporary name goes last: while it stays, no other run can take it.
            for (const std::string& extension : extensions)
                RemoveLeftFile(stem + extension, &found);
            name.Remove(&found);
        }
    }
    return found;
}
