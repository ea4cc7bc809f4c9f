#pragma once

#include <string>
#include <vector>

#include "app/StoredSettings.h"

class CDVAFlags;

// What a post-download run would do with a recording, and why, in plain words: the fields as
// the host passed them; each action tried, in list order up to the first match, whether it is
// complete and which tested fields failed their patterns; for the matching action the output
// file, the folders the run would make for it, whether commercials are stripped, the exact
// command lines, in order, and the problems the run would meet (a missing recording or output
// directory, a name too long for the file system, a folder that cannot be made, an empty tool
// path). It is worked out by the same functions the run itself uses. The actions are tried
// from their stored texts, so that an incomplete one, which loading drops, is named with what
// it lacks; the choice is the same, since an incomplete action is never run. ignoredSwitches
// are the other switches that arrived (such as "--gui"), which a dry run shows but does not
// obey. matched tells whether an action matched.
std::string DryRunReport(const SStoredSettings& settings,
                         const std::vector<std::string>& storedActions, const CDVAFlags& recording,
                         const std::vector<std::string>& ignoredSwitches, bool* matched);
