#pragma once

#include <string>

// Whether the file holds exactly these bytes. A save that would write what is there already
// leaves the file alone: no new inode, no new time stamp, no wear on flash storage.
bool HoldsBytes(const std::string& path, const std::string& bytes);
