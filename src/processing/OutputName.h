#pragma once

#include <string>

class CDVAFlags;

// The output file of an action for a recording: the action's output folder, a separator, the
// name its filename template gives, and the extension (such as ".mp3").
//
// The recording's fields come from broadcast data and are not trusted: in a substituted value
// every character that would lead into another folder, or that the platform's file names
// cannot hold, becomes "_", a value that would make a whole path part "." or ".." has its
// dots replaced too, one that would make a part a device's name (on Windows "NUL", "com1.x")
// gets a "_" before its extension, and one that would end a folder's name in "." or a blank
// (which Windows drops) gets a "_" after it. The template's own separators stay, so
// "%title%/%episode%" still makes a folder per title. Only an extension written in the
// template's file-name part is replaced ("%title%.avi" ends in the new extension); a "." in
// the output folder or in a value never cuts the name.
std::string BuildOutputPath(const std::string& outputDirectory, const std::string& filenameTemplate,
                            const CDVAFlags& recording, const std::string& extension);
