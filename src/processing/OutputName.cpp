#include "processing/OutputName.h"

#include <algorithm>
#include <vector>

#include "model/DVAFlags.h"
#include "platform/Paths.h"

namespace {

std::string SafeValue(std::string value) {
    for (char& c : value) {
        if (IsUnsafeInFileName(c)) c = '_';
    }
    return value;
}

CDVAFlags WithSafeTexts(const CDVAFlags& recording) {
    CDVAFlags safe = recording;
    for (int field = 0; field < DVAFieldCount; ++field) {
        const EDVAField entry = static_cast<EDVAField>(field);
        safe.SetText(entry, SafeValue(recording.GetText(entry)));
    }
    return safe;
}

// The template's parts between its separators; each but the last keeps its separator.
std::vector<std::string> SplitAfterSeparators(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        parts.back() += c;
        if (IsPathSeparator(c)) parts.emplace_back();
    }
    return parts;
}

// An extension is a last "." with no placeholder after it.
std::string WithoutLiteralExtension(const std::string& name) {
    const std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos || name.find('%', dot) != std::string::npos) return name;
    return name.substr(0, dot);
}

bool IsDotsOnly(const std::string& part) {
    return part == "." || part == "..";
}

// A device's name before the extension gets a "_", so the tool writes a file, not to the device.
std::string WithoutDeviceName(std::string part) {
    if (IsDeviceName(part)) part.insert(std::min(part.find('.'), part.size()), "_");
    return part;
}

// Windows drops a name's trailing dots and blanks ("..." names no folder at all).
bool EndsInDroppedCharacter(const std::string& name) {
    return !name.empty() && IsDroppedAtNameEnd(name.back());
}

// A part that the values alone turned into "." or ".." would climb out of the output folder,
// and one they turned into a device's name would lose the output. A folder's name that they,
// not the template, end in a dropped character gets a "_" after it; a file's name ends in its
// extension.
std::string FillPart(const std::string& part, const CDVAFlags& safe) {
    std::string separator;
    std::string text = part;
    if (!text.empty() && IsPathSeparator(text.back())) {
        separator = text.back();
        text.pop_back();
    }
    std::string filled = safe.ReplacePlaceholders(text);
    if (filled != text && IsDotsOnly(filled)) filled.assign(filled.size(), '_');
    if (filled != text) filled = WithoutDeviceName(filled);
    if (filled != text && !separator.empty() && EndsInDroppedCharacter(filled) &&
        !EndsInDroppedCharacter(text)) {
        filled += '_';
    }
    return filled + separator;
}

}  // namespace

std::string BuildOutputPath(const std::string& outputDirectory, const std::string& filenameTemplate,
                            const CDVAFlags& recording, const std::string& extension) {
    const CDVAFlags safe = WithSafeTexts(recording);
    std::vector<std::string> parts = SplitAfterSeparators(filenameTemplate);
    parts.back() = WithoutLiteralExtension(parts.back());
    std::string path = outputDirectory + PathSeparator();
    for (const std::string& part : parts) path += FillPart(part, safe);
    return path + extension;
}
