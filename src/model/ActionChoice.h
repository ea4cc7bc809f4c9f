#pragma once

#include <string>
#include <vector>

#include "model/Action.h"
#include "model/DVAFlags.h"

// One stored action as a post-download run tries it.
struct SActionTrial {
    CAction action;
    bool complete = false;  // the action passes IsValid
    bool matches = false;   // complete, and its filter matches the recording
};

// Tries the stored actions in list order against the recording, as a post-download run
// does: up to and including the first complete action whose filter matches, which is then
// the last trial. No later action is tried.
std::vector<SActionTrial> TryActions(const std::vector<std::string>& storedActions,
                                     const CDVAFlags& recording);
