#include <cstdio>

#include "ScratchProfile.h"
#include "platform/Paths.h"

struct ScratchProfile::Saved {};

ScratchProfile::ScratchProfile() {
    std::remove(GetProfilePath().c_str());
}

ScratchProfile::~ScratchProfile() {
    std::remove(GetProfilePath().c_str());
}

std::string ScratchProfile::Path() const {
    return GetProfilePath();
}
