#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The separator between the fields of stored action and filter texts.
extern const char* const kStoredFieldSeparator;

// Splits a stored text into exactly `count` fields. A field counts only when a separator
// follows it, so text after the last separator is dropped; fields that are not found are empty.
std::vector<std::string> SplitStoredFields(const std::string& stored, std::size_t count);
