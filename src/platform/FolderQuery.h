#pragma once

#include <cstddef>
#include <string>

// What a dry run asks the file system about the folders a run would write into, without
// changing anything. Defined in posix/ or win32/.

// The longest name that an entry of the folder may have, as FileNameLength counts it.
std::size_t MaxFileNameLength(const std::string& folder);

// A name's length as the file system counts it: bytes on Linux, characters on Windows.
std::size_t FileNameLength(const std::string& name);
