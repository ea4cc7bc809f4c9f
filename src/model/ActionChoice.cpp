#include "model/ActionChoice.h"

std::vector<SActionTrial> TryActions(const std::vector<std::string>& storedActions,
                                     const CDVAFlags& recording) {
    std::vector<SActionTrial> trials;
    for (const std::string& stored : storedActions) {
        SActionTrial trial;
        trial.action.FromString(stored);
        trial.complete = trial.action.IsValid();
        trial.matches = trial.complete && trial.action.GetFilter().Matches(recording);
        trials.push_back(trial);
        if (trial.matches) break;
    }
    return trials;
}
