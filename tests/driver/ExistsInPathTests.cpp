#include <gtest/gtest.h>

#include <filesystem>

#include "driver/MainForm.h"
#include "driver/Doubles.h"

namespace Logic {
namespace {

using namespace Logic::Testing;

class ExistsInPathTest : public ::testing::Test {
protected:
    TemporaryFolder mFolder;
    std::string mFirst = mFolder / "first";
    std::string mSecond = mFolder / "second";
    void SetUp() override {
        std::filesystem::create_directories(mFirst);
        std::filesystem::create_directories(mSecond);
        Touch(mSecond + "/tool");
    }
};

TEST_F(ExistsInPathTest, SearchesEveryPieceOfPath) {
    ScopedVariable lPath("PATH", mFirst + ":" + mSecond);
    EXPECT_TRUE(MainForm::ExistsInPath("tool"));
    EXPECT_FALSE(MainForm::ExistsInPath("other"));
}

TEST_F(ExistsInPathTest, EmptyPiecesAndTrailingSeparatorsDoNotStopTheSearch) {
    ScopedVariable lPath("PATH", "::" + mFirst + "::" + mSecond + "/:");
    EXPECT_TRUE(MainForm::ExistsInPath("tool"));
    ScopedVariable lOnlyEmpty("PATH", ":");
    EXPECT_FALSE(MainForm::ExistsInPath("tool"));
}

TEST_F(ExistsInPathTest, EmptyPieceMeansTheCurrentDirectory) {
    ScopedCurrentDirectory lHere(mSecond);
    ScopedVariable lPath("PATH", mFirst + ":");
    EXPECT_TRUE(MainForm::ExistsInPath("tool"));
    ScopedVariable lUnset("PATH", std::nullopt);
    EXPECT_TRUE(MainForm::ExistsInPath("tool"));
    EXPECT_FALSE(MainForm::ExistsInPath("other"));
}

TEST_F(ExistsInPathTest, ANameWithADirectoryPartIsNeverSearchedFor) {
    Touch(mSecond + "/bin/tool");
    ScopedVariable lPath("PATH", mSecond);
    EXPECT_FALSE(MainForm::ExistsInPath("bin/tool"));
    EXPECT_TRUE(MainForm::ExistsInPath(mSecond + "/bin/tool"));
    EXPECT_FALSE(MainForm::ExistsInPath("/"));
}

TEST_F(ExistsInPathTest, DirectoriesDoNotCount) {
    std::filesystem::create_directories(mFirst + "/tool2");
    ScopedVariable lPath("PATH", mFirst);
    EXPECT_FALSE(MainForm::ExistsInPath("tool2"));
    EXPECT_FALSE(MainForm::ExistsInPath(mFirst));
}

TEST_F(ExistsInPathTest, ExpandsVariablesThatAreSet) {
    ScopedVariable lSet("QUENDRAL_TEST_DIR", mSecond);
    ScopedVariable lUnset("QUENDRAL_TEST_UNSET", std::nullopt);
    ScopedVariable lPath("PATH", "");
    EXPECT_TRUE(MainForm::ExistsInPath("%QUENDRAL_TEST_DIR%/tool"));
    EXPECT_FALSE(MainForm::ExistsInPath("%QUENDRAL_TEST_UNSET%/tool"));
    EXPECT_EQ(MainForm::ExpandEnvironmentVariables("%QUENDRAL_TEST_UNSET%%QUENDRAL_TEST_DIR%"),
              "%QUENDRAL_TEST_UNSET%" + mSecond);
    EXPECT_EQ(MainForm::ExpandEnvironmentVariables("a%%b%"), "a%%b%");
    EXPECT_EQ(MainForm::ExpandEnvironmentVariables("50%"), "50%");
}

} // namespace
} // namespace Logic
