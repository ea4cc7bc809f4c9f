#pragma once

#include <string>
#include <vector>

#include "platform/TempFileLock.h"

// Removes what runs that ended without cleaning up left in the folder: each temporary name of
// the prefix that no process holds, with the files named like it but with one of the
// extensions. A name without such files stays for its first minute, since its run may not have
// locked it yet; a file not shaped like one of our names is never touched. Says what it found.
std::vector<SLeftFile> RemoveAbandonedTempFiles(const std::string& directory,
                                                const std::string& prefix,
                                                const std::vector<std::string>& extensions);
