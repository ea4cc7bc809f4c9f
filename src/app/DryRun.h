#pragma once

#include <string>
#include <vector>

#include "app/StoredSettings.h"

class CDVAFlags;

// What a post-download run would do with a recording, and why, in plain words: the fields as
// the host passed them; each action tried, in list order up to the first match, whether it is
// complete and which tested fields failed their patterns; and for the matching action the
// run's own plan (PlanAction): the output file, the folders the run would make, whether
// commercials are stripped, the exact command lines in order, and under "The run would fail:"
// the plan's refusals, each a check that the run makes before it starts a tool. The actions are
// tried from their stored texts, so that an incomplete one, which loading drops, is named with
// what it lacks; the choice is the same, since an incomplete action is never run.
// ignoredSwitches are the other switches that arrived (such as "--gui"), which a dry run shows
// but does not obey. matched tells whether an action matched.
std::string DryRunReport(const SStoredSettings& settings,
                         const std::vector<std::string>& storedActions, const CDVAFlags& recording,
                         const std::vector<std::string>& ignoredSwitches, bool* matched);

// The report of a dry run that has no actions to try, because the profile cannot be read.
std::string UnreadableProfileReport(const std::string& problem);
