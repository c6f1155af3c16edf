#include <gtest/gtest.h>

#include <QImage>
#include <QMovie>
#include <filesystem>

#include "TestSupport.h"

namespace {

TEST(ProgramFolder, HoldsTheAnimatedServerPictureAndTheRulesFolder) {
    QMovie movie(QString::fromStdString(testsupport::BuildDir() + "/Server.gif"));
    ASSERT_TRUE(movie.isValid());
    EXPECT_GE(movie.frameCount(), 2);
    ASSERT_TRUE(movie.jumpToFrame(0));
    const QImage first = movie.currentImage();
    ASSERT_TRUE(movie.jumpToNextFrame());
    EXPECT_EQ(first.size(), QSize(32, 32));
    EXPECT_NE(first, movie.currentImage()) << "the frames do not move";
    EXPECT_TRUE(std::filesystem::is_directory(testsupport::BuildDir() + "/rules"));
}

}  // namespace
