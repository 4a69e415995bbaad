// Every input that a fuzz target found to crash, leak, hang or run out of memory is kept in
// fuzz/regressions/ and replayed here on every road, together with the seed documents: each
// must end in a result or in one of the system's own failures.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/FuzzRoads.h"

namespace Logic {
namespace {

std::vector<std::filesystem::path> FilesIn(const std::string& aFolder) {
    std::vector<std::filesystem::path> lFiles;
    for (const auto& lEntry :
         std::filesystem::directory_iterator(std::string(QUENDRAL_SOURCE_DIR) + "/" + aFolder)) {
        lFiles.push_back(lEntry.path());
    }
    return lFiles;
}

std::string Slurp(const std::filesystem::path& aPath) {
    std::ifstream lFile(aPath, std::ios::binary);
    std::ostringstream lText;
    lText << lFile.rdbuf();
    return lText.str();
}

TEST(FuzzRegressions, EveryFoundInputEndsOnEveryRoad) {
    const std::vector<std::filesystem::path> lFound = FilesIn("fuzz/regressions");
    ASSERT_FALSE(lFound.empty());
    for (const auto& lFile : lFound) {
        SCOPED_TRACE(lFile.filename().string());
        const std::string lText = Slurp(lFile);
        FuzzRoads::Decide(lText);
        FuzzRoads::Coefficients(lText);
        FuzzRoads::GraphvizDOT(lText);
        FuzzRoads::Prover9Input(lText);
        FuzzRoads::DecideOnEveryPath(lText);
        FuzzRoads::TextFormRoundTrip(lText);
        FuzzRoads::Highlight(lText);
    }
}

TEST(FuzzRegressions, TheSeedsGiveResultsWithinTheWorkLimits) {
    // The work limits must leave room for ordinary documents, or the fuzz targets would only
    // ever see the limit.
    int lDecided = 0;
    int lDrawn = 0;
    int lWrittenBack = 0;
    const std::vector<std::filesystem::path> lSeeds = FilesIn("fuzz/seeds");
    for (const auto& lFile : lSeeds) {
        const std::string lText = Slurp(lFile);
        lDecided += FuzzRoads::Decide(lText) ? 1 : 0;
        lDrawn += FuzzRoads::GraphvizDOT(lText) ? 1 : 0;
        lWrittenBack += FuzzRoads::TextFormRoundTrip(lText) ? 1 : 0;
    }
    EXPECT_GE(lDecided, static_cast<int>(lSeeds.size()) * 3 / 4);
    EXPECT_GE(lDrawn, static_cast<int>(lSeeds.size()) * 3 / 4);
    EXPECT_GE(lWrittenBack, static_cast<int>(lSeeds.size()) * 3 / 4);
    EXPECT_TRUE(FuzzRoads::Coefficients("p&q|~r"));
    EXPECT_FALSE(FuzzRoads::Decide("x,((Fx|~Fx|xLx)&(Gx|~Gx)&(Hx|~Hx)&(Ix|~Ix)&(Jx|~Jx))")) << "a decision beyond the work limit is stopped";
}

} // namespace
} // namespace Logic
