#pragma once

#include <string>

// The path with its file name's extension replaced, or the extension appended when the name
// has none. Only the file name's own extension is replaced: a "." in a folder's name never cuts.
std::string ReplaceExtension(std::string path, std::string extension);
