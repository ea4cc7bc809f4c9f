// WildcardMatch against a plain recursive matcher on short texts and patterns. Long ones are
// only run: the time limit of the fuzzing run bounds them, where trying every star again
// would grow exponentially.

#include "FuzzInput.h"
#include "model/WildcardMatch.h"

namespace {

// Short inputs only; a run of stars makes it exponential.
const std::size_t kReferenceLimit = 20;

bool ReferenceMatch(const char* text, std::size_t textLeft, const char* pattern,
                    std::size_t patternLeft) {
    if (patternLeft == 0) return textLeft == 0;
    if (*pattern == '*') {
        return ReferenceMatch(text, textLeft, pattern + 1, patternLeft - 1) ||
               (textLeft > 0 && ReferenceMatch(text + 1, textLeft - 1, pattern, patternLeft));
    }
    return textLeft > 0 && (*pattern == '?' || *pattern == *text) &&
           ReferenceMatch(text + 1, textLeft - 1, pattern + 1, patternLeft - 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::string pattern = input.Next();
    const std::string text = input.Rest();
    const bool matched = WildcardMatch(text, pattern);
    if (text.size() + pattern.size() <= kReferenceLimit) {
        FUZZ_CHECK(matched == ReferenceMatch(text.data(), text.size(), pattern.data(),
                                             pattern.size()),
                   "text \"" + text + "\", pattern \"" + pattern + "\"");
    }
    return 0;
}
