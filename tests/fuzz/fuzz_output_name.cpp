// Placeholder replacement and the output name. Replacement goes step by step in its fixed
// order and never scans an inserted value again for the same placeholder. The output name
// stays inside the output folder whatever the recording's fields hold: it begins with the
// folder, has exactly the template's own separators, no value makes a path part "." or
// "..", and it ends in the extension.

#include "FuzzInput.h"
#include "model/DVAFlags.h"
#include "processing/OutputName.h"

namespace {

const EDVAField kReplacementOrder[] = {
    FieldTitle, FieldMpeg, FieldEpisode, FieldShowId, FieldStartDate, FieldStartTime, FieldDur,
    FieldDName, FieldDCat, FieldDChan,   FieldRName,  FieldRCat,      FieldRChan};

std::string ReferenceReplace(const std::string& pattern, const CDVAFlags& recording) {
    std::string text = pattern;
    for (EDVAField field : kReplacementOrder) {
        const std::string placeholder = DVAFieldPlaceholder(field);
        std::string replaced;
        std::string::size_type from = 0;
        for (std::string::size_type at; (at = text.find(placeholder, from)) != std::string::npos;
             from = at + placeholder.size()) {
            replaced += text.substr(from, at - from) + recording.GetText(field);
        }
        text = replaced + text.substr(from);
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
