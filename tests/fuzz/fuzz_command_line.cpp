// Option lookup on arbitrary command lines: a value is always the text that directly follows
// its key, up to the next " --" or the line's end, and every field the recording gets from
// the line is such a value, trimmed.

#include "FuzzInput.h"
#include "model/CommandLine.h"
#include "model/DVAFlags.h"
#include "model/Text.h"

namespace {

void CheckValue(const std::string& line, const std::string& keyword, const std::string& value) {
    const std::string lower = ToLower(line);
    const std::string key = " " + keyword + " ";
    const std::string::size_type keyAt = lower.find(key);
    if (keyAt == std::string::npos) {
        FUZZ_CHECK(value.empty(), "a value without its key: " + keyword);
        return;
    }
    const std::string::size_type start = keyAt + key.size();
    FUZZ_CHECK(line.compare(start, value.size(), value) == 0,
               "the value does not follow its key: " + keyword + " in " + line);
    FUZZ_CHECK(ToLower(value).find(" --") == std::string::npos,
               "a value runs over the next option: " + value);
    const std::string::size_type end = start + value.size();
    FUZZ_CHECK(end == line.size() || lower.compare(end, 3, " --") == 0 ||
                   (value.empty() && lower.compare(start - 1, 3, " --") == 0),
               "a value ends early: " + keyword + " in " + line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::string ownKeyword = ToLower(input.Next());
    const std::string text = input.Rest();
    const CCommandLine commandLine(text);
    // The line as held: white space at the end removed, one space appended.
    const std::string line = TrimRight(text) + " ";

    std::vector<std::string> keywords = {"--gui", "--help", ownKeyword};
    for (int i = 0; i < DVAFieldCount; ++i) keywords.push_back(DVAFieldOption(EDVAField(i)));
    for (const std::string& keyword : keywords) {
        const std::string value = commandLine.GetOption(keyword);
        CheckValue(line, keyword, value);
        FUZZ_CHECK(value.empty() || commandLine.HasOption(keyword), "value without option");
    }

    CDVAFlags recording;
    recording.ParseCommandLine(commandLine);
    for (int i = 0; i < DVAFieldCount; ++i) {
        const EDVAField field = EDVAField(i);
        const std::string& parsed = recording.GetText(field);
        FUZZ_CHECK(parsed.empty() || line.find(parsed) != std::string::npos,
                   "a field that is not in the line: " + parsed);
        FUZZ_CHECK(parsed == Trim(parsed), "an untrimmed field: " + parsed);
        FUZZ_CHECK(recording.GetFlag(field) == 0, "a flag set by the command line");
    }
    return 0;
}
