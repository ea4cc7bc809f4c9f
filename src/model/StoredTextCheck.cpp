#include "model/StoredTextCheck.h"

#include "model/Action.h"

namespace {

// An action whose own texts cannot disturb its stored text, to hold the text tried.
CAction PlainAction() {
    CAction action;
    action.SetName("x");
    action.SetOutputDirectory("x");
    action.SetOutputFilename("x");
    return action;
}

bool ReadsBackUnchanged(const CAction& action) {
    const std::string stored = action.ToString();
    CAction readBack;
    readBack.FromString(stored);
    return readBack.ToString() == stored;
}

}  // namespace

bool SurvivesStoredText(EActionHeadText where, const std::string& text) {
    CAction action = PlainAction();
    switch (where) {
        case EActionHeadText::Name:
            action.SetName(text);
            break;
        case EActionHeadText::OutputDirectory:
            action.SetOutputDirectory(text);
            break;
        case EActionHeadText::OutputFilename:
            action.SetOutputFilename(text);
            break;
    }
    return ReadsBackUnchanged(action);
}

// The dcat pattern is held as typed, as the action editor holds it.
bool PatternSurvivesStoredText(EDVAField entry, const std::string& pattern) {
    CAction action = PlainAction();
    if (entry == FieldDCat) {
        action.GetFilter().SetDCat(pattern);
    } else {
        action.GetFilter().SetText(entry, pattern);
    }
    return ReadsBackUnchanged(action);
}
