#pragma once

#include <string>

#include "model/DVAFlags.h"

// The texts at the head of an action's stored text.
enum class EActionHeadText { Name, OutputDirectory, OutputFilename };

// Whether the text, held as that head text of an action, reads back unchanged from the action's
// stored text. The stored text has no escape for "|": a bar that makes a separator with the one
// before or after the text ("a||b", "a|", or "|a" after the name) splits it in the wrong place.
bool SurvivesStoredText(EActionHeadText where, const std::string& text);

// The same for the pattern of a filter entry.
bool PatternSurvivesStoredText(EDVAField entry, const std::string& pattern);

// The text the store keeps of a stored action text that reads as a complete action: the
// canonical form that ToString gives, unless that would read back as another action or an
// incomplete one (trimming can bring a bar next to a separator, a pattern " <NULL>" becomes
// "<NULL>"); then the text as it was stored, so that no save changes a kept action.
std::string KeptActionText(const std::string& stored);
