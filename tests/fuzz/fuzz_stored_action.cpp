// Stored action and filter texts. The text the store keeps of a stored text (the canonical
// ToString after FromString where that reads back the same) is a fixed point: read again, it
// gives the same action, and the store keeps it as it is.
// An action built the way the action editor builds it, once the editor accepts it, reads
// back from its stored text equal, as stored: a pattern "<NULL>" is stored as an empty one,
// and dcat is stored trimmed.

#include "FuzzInput.h"
#include "model/Action.h"
#include "model/StoredTextCheck.h"

namespace {

CAction Read(const std::string& stored) {
    CAction action;
    action.FromString(stored);
    return action;
}

// What the store keeps of a complete action reads back as that action, complete, and is kept
// as it is at the next load.
void CheckStoredText(const std::string& stored) {
    const CAction action = Read(stored);
    if (!action.IsValid()) return;
    const std::string kept = KeptActionText(stored);
    const CAction readBack = Read(kept);
    FUZZ_CHECK(readBack.IsValid() && readBack.ToString() == action.ToString(),
               "kept " + kept + " reads back as " + readBack.ToString());
    FUZZ_CHECK(KeptActionText(kept) == kept, "kept " + kept + " changes at the next load");
}

// The editor's way: every text through its setter, dcat as typed, options as check boxes.
CAction EditedAction(CFuzzInput& input) {
    CAction action;
    action.SetName(input.Next());
    action.SetOutputDirectory(input.Next());
    action.SetOutputFilename(input.Next());
    const unsigned options = input.Small();
    action.SetAudioOnly(options & 1);
    action.SetStripCommercials((options >> 1) & 1);
    action.SetTwoPass((options >> 2) & 1);
    action.SetRemoveSource((options >> 3) & 1);
    const unsigned flags = input.Small() | input.Small() << 8;
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = EDVAField(i);
        action.GetFilter().SetFlag(field, (flags >> i) & 1);
        if (field == FieldDCat) {
            action.GetFilter().SetDCat(input.Next());
        } else {
            action.GetFilter().SetText(field, input.Next());
        }
    }
    return action;
}

// The editor's OK: a complete action whose every text survives the stored text.
bool EditorAccepts(const CAction& action) {
    if (!action.IsValid() || !SurvivesStoredText(EActionHeadText::Name, action.GetName()) ||
        !SurvivesStoredText(EActionHeadText::OutputDirectory, action.GetOutputDirectory()) ||
        !SurvivesStoredText(EActionHeadText::OutputFilename, action.GetOutputFilename())) {
        return false;
    }
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = EDVAField(i);
        if (!PatternSurvivesStoredText(field, action.GetFilter().GetText(field))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckStoredText(CFuzzInput(data, size).Rest());
    CFuzzInput input(data, size);
    const CAction edited = EditedAction(input);
    if (EditorAccepts(edited)) {
        const std::string stored = edited.ToString();
        FUZZ_CHECK(Read(stored).ToString() == stored,
                   stored + " reads back as " + Read(stored).ToString());
    }
    return 0;
}
