// Stored action and filter texts. The text the store keeps of a stored text (ToString after
// FromString, for an action that is complete) is a fixed point: read again, it gives itself.
// An action built the way the action editor builds it, once the editor accepts it, reads
// back from its stored text equal.

#include "FuzzInput.h"
#include "model/Action.h"

namespace {

CAction Read(const std::string& stored) {
    CAction action;
    action.FromString(stored);
    return action;
}

bool Equal(const CAction& a, const CAction& b) {
    if (a.GetName() != b.GetName() || a.GetOutputDirectory() != b.GetOutputDirectory() ||
        a.GetOutputFilename() != b.GetOutputFilename() || a.GetAudioOnly() != b.GetAudioOnly() ||
        a.GetStripCommercials() != b.GetStripCommercials() || a.GetTwoPass() != b.GetTwoPass() ||
        a.GetRemoveSource() != b.GetRemoveSource()) {
        return false;
    }
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = EDVAField(i);
        const CDVAFlags& x = a.GetFilter();
        const CDVAFlags& y = b.GetFilter();
        const bool sameText = field == FieldDCat ? x.GetDCat() == y.GetDCat()
                                                 : x.GetText(field) == y.GetText(field);
        if (x.GetFlag(field) != y.GetFlag(field) || !sameText) return false;
    }
    return true;
}

void CheckStoredText(const std::string& stored) {
    const CAction action = Read(stored);
    if (!action.IsValid()) return;
    const std::string kept = action.ToString();
    FUZZ_CHECK(Read(kept).ToString() == kept, "kept " + kept + " reads back as " +
                                                  Read(kept).ToString());
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

bool EditorAccepts(const CAction& action) {
    return action.IsValid();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckStoredText(CFuzzInput(data, size).Rest());
    CFuzzInput input(data, size);
    const CAction edited = EditedAction(input);
    if (EditorAccepts(edited)) {
        FUZZ_CHECK(Equal(Read(edited.ToString()), edited),
                   edited.ToString() + " reads back as " + Read(edited.ToString()).ToString());
    }
    return 0;
}
