#include <gtest/gtest.h>

#include "app/PELKARDialog.h"

namespace {

std::string Replace(const std::string& path, const std::string& extension) {
    return CPELKARDialog::ReplaceExtension(path, extension);
}

TEST(ReplaceExtensionTest, ExtensionIsReplaced) {
    EXPECT_EQ(Replace("/videos/News.avi", ".mp4"), "/videos/News.mp4");
}

TEST(ReplaceExtensionTest, PathWithoutDotGetsTheExtensionAppended) {
    EXPECT_EQ(Replace("/videos/News", ".mp3"), "/videos/News.mp3");
}

TEST(ReplaceExtensionTest, EverythingAfterTheLastDotIsReplaced) {
    EXPECT_EQ(Replace("/videos/Mr. Smith", ".mp4"), "/videos/Mr.mp4");
}

TEST(ReplaceExtensionTest, DotInADirectoryCutsThere) {
    EXPECT_EQ(Replace("/My.Videos/News", ".mp4"), "/My.mp4");
}

TEST(ReplaceExtensionTest, OnlyTheLastOfSeveralExtensionsIsReplaced) {
    EXPECT_EQ(Replace("/tmp/show.part.mpg", ".evt"), "/tmp/show.part.evt");
}

TEST(ReplaceExtensionTest, TrailingDotIsReplaced) {
    EXPECT_EQ(Replace("/videos/News.", ".mp3"), "/videos/News.mp3");
}

}  // namespace
