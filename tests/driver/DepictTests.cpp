#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "driver/MainForm.h"
#include "parser/ParseError.h"
#include "driver/Doubles.h"

namespace Logic {
namespace {

using namespace Logic::Testing;
using Lines = std::vector<std::string>;

constexpr const char* Failed = "Depiction failed for some reason.";

bool IsPng(const std::string& aPath) {
    std::ifstream lFile(aPath, std::ios::binary);
    char lSignature[8] = {};
    lFile.read(lSignature, 8);
    return lFile && std::string(lSignature + 1, 3) == "PNG";
}

size_t TimesListed(const std::string& aPath) {
    return static_cast<size_t>(
        std::count(MainForm::gFilesToDelete.begin(), MainForm::gFilesToDelete.end(), aPath));
}

TEST(ImageFileName, ReplacesTheExtensionOfTheLastPart) {
    EXPECT_EQ(MainForm::ImageFileName("a.txt"), "a.png");
    EXPECT_EQ(MainForm::ImageFileName("a.txt (selected text)"), "a.png");
    EXPECT_EQ(MainForm::ImageFileName("new 1 (selected text)"), "new 1 (selected text).png");
    EXPECT_EQ(MainForm::ImageFileName("x.y.txt"), "x.y.png");
    EXPECT_EQ(MainForm::ImageFileName("x."), "x.png");
    EXPECT_EQ(MainForm::ImageFileName("dir.d/file"), "dir.d/file.png");
    EXPECT_EQ(MainForm::ImageFileName("/tmp/a.b"), "/tmp/a.png");
    EXPECT_EQ(MainForm::ImageFileName(""), "");
}

class DepictTest : public ::testing::Test {
protected:
    TemporaryFolder mTemporary;
    ScopedVariable mTmpDir{"TMPDIR", mTemporary.Path().string()};
    Harness mHarness{[](const std::string&) { return true; }};
    MainForm& Driver() { return *mHarness.mDriver; }
};

TEST_F(DepictTest, DrawsThePictureInTheTemporaryDirectoryAndListsItOnce) {
    std::string lImage = mTemporary / "a.png";
    Driver().DepictWith("a.txt", [] { return std::string("digraph { a -> b }"); });
    Driver().DepictWith("a.txt (selected text)", [] { return std::string("digraph { c }"); });
    EXPECT_TRUE(mHarness.mMessageBox->mTexts.empty()) << mHarness.mMessageBox->mTexts.front();
    EXPECT_EQ(mHarness.mViewer->mOpened, (Lines{lImage, lImage}));
    EXPECT_TRUE(IsPng(lImage));
    EXPECT_EQ(TimesListed(lImage), 1u);
    EXPECT_TRUE(mHarness.mWindow->mCalls.empty());
}

TEST_F(DepictTest, BrokenDotTextFailsWithTheFixedMessage) {
    Driver().DepictWith("broken.txt", [] { return std::string("digraph { a -> "); });
    EXPECT_EQ(mHarness.mMessageBox->mTexts, (Lines{Failed}));
    EXPECT_TRUE(mHarness.mViewer->mOpened.empty());
    EXPECT_EQ(TimesListed(mTemporary / "broken.png"), 0u);
}

TEST_F(DepictTest, MissingDotIsReportedByItsMessage) {
    TemporaryFolder lEmpty;
    ScopedVariable lPath("PATH", lEmpty.Path().string());
    bool lParsed = false;
    Driver().DepictWith("a.txt", [&] {
        lParsed = true;
        return std::string("digraph { a }");
    });
    ASSERT_EQ(mHarness.mMessageBox->mTexts.size(), 1u);
    EXPECT_NE(mHarness.mMessageBox->mTexts[0].find(MainForm::dot), std::string::npos);
    EXPECT_FALSE(lParsed) << "dot is started before the text is parsed";
}

TEST_F(DepictTest, ParseAndViewerFailuresGoToTheMessageBox) {
    Driver().DepictWith("p.txt", []() -> std::string { throw ParseError("No content found."); });
    mHarness.mViewer->mFailure = "no viewer";
    Driver().DepictWith("v.txt", [] { return std::string("digraph { v }"); });
    Driver().DepictWith("", [] { return std::string("digraph { e }"); });
    EXPECT_EQ(mHarness.mMessageBox->mTexts, (Lines{"No content found.", "no viewer", Failed}));
    EXPECT_EQ(TimesListed(mTemporary / "v.png"), 0u);
}

TEST_F(DepictTest, CommandsReadNameThenTextAndLeaveTheWindowAlone) {
    mHarness.mReceiver.mName = "new 1";
    mHarness.mReceiver.mSelectedText = "p & q";
    Driver().DepictSelectedText();
    EXPECT_EQ(mHarness.mReceiver.mReads, (Lines{"Name", "SelectedText"}));
    EXPECT_TRUE(mHarness.mWindow->mCalls.empty());

    mHarness.mReceiver.mReadFailure = "no editor";
    EXPECT_THROW(Driver().DepictActiveBuffer(), std::runtime_error);
}

TEST_F(DepictTest, DepictsADocumentThroughTheWholeChain) {
    mHarness.mReceiver.mName = "new 1";
    mHarness.mReceiver.mSelectedText = "p & q";
    mHarness.mReceiver.mContents = "x, Fx -> Gx\nFa\n.'.\nGa";
    Driver().DepictSelectedText();
    Driver().DepictActiveBuffer();
    EXPECT_TRUE(mHarness.mMessageBox->mTexts.empty()) << mHarness.mMessageBox->mTexts.front();
    EXPECT_EQ(mHarness.mViewer->mOpened,
              (Lines{mTemporary / "new 1 (selected text).png", mTemporary / "new 1.png"}));
    EXPECT_TRUE(IsPng(mTemporary / "new 1.png"));
}

TEST(Cleanup, DeletesEveryListedFileAndSkipsMissingOnes) {
    TemporaryFolder lFolder;
    Lines lSaved = MainForm::gFilesToDelete;
    Touch(lFolder / "one.png");
    Touch(lFolder / "three.png");
    MainForm::gFilesToDelete = {lFolder / "one.png", lFolder / "two.png", lFolder / "three.png"};
    MainForm::Cleanup();
    MainForm::gFilesToDelete = lSaved;
    EXPECT_FALSE(std::filesystem::exists(lFolder / "one.png"));
    EXPECT_FALSE(std::filesystem::exists(lFolder / "three.png"));
}

} // namespace
} // namespace Logic
