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
