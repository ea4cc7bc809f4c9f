#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// INI text read and edited by the Windows private-profile rules: section and key names match
// without regard to case, blanks around a value are removed, a value wrapped in matching
// quotes loses them, and the first occurrence of a section or key wins. A carriage return, a
// line feed or both end a line, and a value ends at a NUL.

// A UTF-8 byte-order mark at the start of the text is not part of its first line, and it is
// kept when the text is rewritten.

// Every key of the section with its value, keys lower-cased, read in one pass over the text.
std::unordered_map<std::string, std::string> ReadIniSection(const std::string& text,
                                                            const std::string& section);

// The key's value in the section; false when the section or the key is missing.
bool FindIniValue(const std::string& text, const std::string& section, const std::string& key,
                  std::string* value);

// The text with the given keys of the section set, in the given order: an existing key's
// value is replaced in place, a new key is added at the end of its section, a missing section
// is added at the end. Every other line, ours or not, is kept as it was.
std::string SetIniValues(const std::string& text, const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& values);
