// Placeholder replacement and the output name. Replacement goes in one pass and never scans an
// inserted value again. The output name stays inside the output folder whatever the
// recording's fields hold: it begins with the folder, has exactly the template's own
// separators, no value makes a path part "." or "..", and it ends in the extension.

#include "FuzzInput.h"
#include "model/DVAFlags.h"
#include "processing/OutputName.h"

namespace {

// Left to right, the first placeholder at each position; what a value brings is not read again.
std::string ReferenceReplace(const std::string& pattern, const CDVAFlags& recording) {
    std::string text;
    std::string::size_type at = 0;
    while (at < pattern.size()) {
        std::string::size_type taken = 0;
        for (int i = 0; i < DVAFieldCount && taken == 0; ++i) {
            const std::string placeholder = DVAFieldPlaceholder(EDVAField(i));
            if (pattern.compare(at, placeholder.size(), placeholder) != 0) continue;
            text += recording.GetText(EDVAField(i));
            taken = placeholder.size();
        }
        if (taken == 0) text += pattern[at++];
        at += taken;
    }
    return text;
}

std::vector<std::string> PathParts(const std::string& path) {
    std::vector<std::string> parts(1);
    for (char c : path) {
        if (c == '/') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

bool IsDotsOnly(const std::string& part) {
    return part == "." || part == "..";
}

void CheckOutputPath(const std::string& directory, const std::string& filenameTemplate,
                     const CDVAFlags& recording, const std::string& extension) {
    const std::string path = BuildOutputPath(directory, filenameTemplate, recording, extension);
    const std::string what = directory + " + " + filenameTemplate + " gave " + path;
    const std::string folder = directory + "/";
    FUZZ_CHECK(path.compare(0, folder.size(), folder) == 0, "outside the folder: " + what);
    FUZZ_CHECK(path.size() >= folder.size() + extension.size() &&
                   path.compare(path.size() - extension.size(), extension.size(), extension) == 0,
               "no extension: " + what);
    const std::vector<std::string> templateParts = PathParts(filenameTemplate);
    const std::vector<std::string> parts = PathParts(
        path.substr(folder.size(), path.size() - folder.size() - extension.size()));
    FUZZ_CHECK(parts.size() == templateParts.size(), "a separator from a value: " + what);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        FUZZ_CHECK(!IsDotsOnly(parts[i]) || parts[i] == templateParts[i],
                   "a value makes a folder climb: " + what);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const std::string directory = input.Next();
    const std::string filenameTemplate = input.Next();
    const std::string extension = input.Small() % 2 ? ".mp3" : ".mp4";
    CDVAFlags recording;
    for (int i = 0; i < DVAFieldCount; ++i) recording.SetText(EDVAField(i), input.Next());

    const std::string replaced = recording.ReplacePlaceholders(filenameTemplate);
    FUZZ_CHECK(replaced == ReferenceReplace(filenameTemplate, recording),
               filenameTemplate + " gave " + replaced);
    CheckOutputPath(directory, filenameTemplate, recording, extension);
    return 0;
}
